#include "journal/CanLabel.h"

#include <algorithm>
#include <string>

#include "core/IntegerText.h"
#include "journal/JournalText.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kMarginTenthsOfMm = 20;  // kept clear of the sheet's edge
constexpr std::int64_t kTenthsOfMmPerInch = 254;
constexpr std::int64_t kTenthsOfPointPerInch = 720;
// The body text from 12 pt down to 5.5 pt in half points; the title is larger. The
// recipe stays only while the rest can be read at arm's length.
constexpr int kLargestBodyTenthsOfPoint = 120;
constexpr int kSmallestBodyTenthsOfPoint = 55;
constexpr int kSmallestBodyWithRecipe = 70;
constexpr int kBodyStepTenthsOfPoint = 5;
constexpr int kTitlePercent = 140;
constexpr int kDropLevels = 4;  // everything; no recipe; no note either; no purpose either
constexpr char16_t kFirstHighSurrogate = 0xD800;
constexpr char16_t kLastHighSurrogate = 0xDBFF;

struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct Part {
    LabelPart part;
    WideString text;
};

int Scale(std::int64_t value, std::int64_t numerator, std::int64_t denominator) {
    return static_cast<int>((value * numerator + denominator - 1) / denominator);
}

// The whole sheet in device pixels; as far as the printable area reaches when unknown.
int SheetWidth(const LabelPage& page) {
    return page.physicalWidth > 0 ? page.physicalWidth : page.offsetX + page.printableWidth;
}
int SheetHeight(const LabelPage& page) {
    return page.physicalHeight > 0 ? page.physicalHeight : page.offsetY + page.printableHeight;
}

// Device pixels in whole millimetres, rounded.
std::int64_t Millimetres(int pixels, int dpi) {
    return (static_cast<std::int64_t>(pixels) * kTenthsOfMmPerInch + dpi * std::int64_t{5}) / (dpi * std::int64_t{10});
}

WideString SizeText(std::int64_t widthMm, std::int64_t heightMm) {
    return IntegerText(widthMm) + u" × " + IntegerText(heightMm) + u" мм";
}

// The printable area less the margin, in printable-area coordinates.
Area SafeArea(const LabelPage& page) {
    const int sheetWidth = SheetWidth(page);
    const int sheetHeight = SheetHeight(page);
    const int marginX = Scale(kMarginTenthsOfMm, page.dpiX, kTenthsOfMmPerInch);
    const int marginY = Scale(kMarginTenthsOfMm, page.dpiY, kTenthsOfMmPerInch);
    Area area;
    area.left = std::max(page.offsetX, marginX) - page.offsetX;
    area.top = std::max(page.offsetY, marginY) - page.offsetY;
    area.right = std::min(page.offsetX + page.printableWidth, sheetWidth - marginX) - page.offsetX;
    area.bottom = std::min(page.offsetY + page.printableHeight, sheetHeight - marginY) - page.offsetY;
    return area;
}

// 0 for the parts that always stay, else the drop level from which the part is left out.
int DroppedFrom(LabelPart part) {
    switch (part) {
    case LabelPart::Recipe: return 1;
    case LabelPart::Note: return 2;
    case LabelPart::Purpose: return 3;
    default: return 0;
    }
}

std::vector<Part> LabelParts(const BatchRecord& batch, const WideString& purposeName) {
    std::vector<Part> parts;
    parts.push_back({LabelPart::Title, batch.colourName.empty() ? batch.colourCode
                                                                : batch.colourCode + u" " + batch.colourName});
    if (!purposeName.empty()) parts.push_back({LabelPart::Purpose, purposeName});
    parts.push_back({LabelPart::AmountAndDate, FormatCanAmount(batch) + u"   " + FormatBatchTime(batch.time)});
    if (!batch.note.empty()) parts.push_back({LabelPart::Note, batch.note});
    for (const BatchComponent& component : batch.components)
        parts.push_back({LabelPart::Recipe, component.name + u" — " + FormatHundredths(component.recipeWeight) + u" г"});
    return parts;
}

bool IsHighSurrogate(char16_t c) { return c >= kFirstHighSurrogate && c <= kLastHighSurrogate; }

// The text in rows of at most maxChars, broken at spaces; a word longer than a row is
// broken inside.
std::vector<WideString> Wrap(const WideString& text, std::size_t maxChars) {
    std::vector<WideString> rows;
    WideString row;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u' ', start);
        if (end == WideString::npos) end = text.size();
        WideString word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        if (!row.empty() && row.size() + 1 + word.size() <= maxChars) {
            row += u' ' + word;
            continue;
        }
        if (!row.empty()) rows.push_back(row);
        while (word.size() > maxChars) {
            // Never between the two halves of a character outside the basic plane.
            const bool splitsPair = maxChars > 1 && IsHighSurrogate(word[maxChars - 1]);
            const std::size_t cut = splitsPair ? maxChars - 1 : maxChars;
            rows.push_back(word.substr(0, cut));
            word.erase(0, cut);
        }
        row = word;
    }
    if (!row.empty()) rows.push_back(row);
    return rows;
}

// The parts kept at the level, in rows at the body size; empty when they do not fit.
std::vector<LabelLine> Place(const std::vector<Part>& parts, int level, int bodyTenths, const LabelPage& page,
                             const Area& area) {
    std::vector<LabelLine> lines;
    int top = area.top;
    const int width = area.right - area.left;
    for (const Part& part : parts) {
        const int dropped = DroppedFrom(part.part);
        if (dropped != 0 && dropped <= level) continue;
        const bool title = part.part == LabelPart::Title;
        const int tenths = title ? bodyTenths * kTitlePercent / 100 : bodyTenths;
        const int fontHeight = Scale(tenths, page.dpiY, kTenthsOfPointPerInch);
        const int charWidth = Scale(static_cast<std::int64_t>(fontHeight) * kLabelCharWidthTenths, page.dpiX,
                                    static_cast<std::int64_t>(page.dpiY) * 10);
        const int rowHeight = Scale(fontHeight, kLabelRowTenths, 10);
        if (charWidth <= 0 || width < charWidth) return {};
        for (WideString& row : Wrap(part.text, static_cast<std::size_t>(width / charWidth))) {
            if (top + rowHeight > area.bottom) return {};
            lines.push_back({std::move(row), part.part, area.left, top, fontHeight, width, title});
            top += rowHeight;
        }
    }
    return lines;
}

}  // namespace

std::vector<LabelLine> LayOutCanLabel(const BatchRecord& batch, const WideString& purposeName,
                                      const LabelPage& page) {
    if (page.dpiX <= 0 || page.dpiY <= 0 || page.printableWidth <= 0 || page.printableHeight <= 0) return {};
    const Area area = SafeArea(page);
    if (area.right <= area.left || area.bottom <= area.top) return {};
    const std::vector<Part> parts = LabelParts(batch, purposeName);
    for (int level = 0; level < kDropLevels; ++level) {
        const int smallest = level == 0 ? kSmallestBodyWithRecipe : kSmallestBodyTenthsOfPoint;
        for (int body = kLargestBodyTenthsOfPoint; body >= smallest; body -= kBodyStepTenthsOfPoint) {
            std::vector<LabelLine> lines = Place(parts, level, body, page, area);
            if (!lines.empty()) return lines;
        }
    }
    return {};
}

WideString LabelTooSmallMessage(const LabelPage& page) {
    if (page.dpiX <= 0 || page.dpiY <= 0 || page.printableWidth <= 0 || page.printableHeight <= 0) return {};
    return u"Этикетка не помещается на бумагу " +
           SizeText(Millimetres(SheetWidth(page), page.dpiX), Millimetres(SheetHeight(page), page.dpiY)) +
           u". Наименьший размер: " + SizeText(kSmallestLabelWidthMm, kSmallestLabelHeightMm) + u".";
}

}  // namespace lacqueron
