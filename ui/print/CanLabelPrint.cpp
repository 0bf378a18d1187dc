#include "ui/print/CanLabelPrint.h"

#include <climits>
#include <cwchar>

#include "data/catalogue/UnitAndPurpose.h"
#include "journal/CanLabel.h"
#include "ui/shared/GdiHandles.h"
#include "ui/print/Printing.h"

namespace lacqueron {
namespace {

constexpr wchar_t kLabelFace[] = L"Arial";
// A line measured wider than the layout estimated is shrunk; a second try covers rounding.
constexpr int kFitAttempts = 3;

LabelPage ReadLabelPage(HDC dc) noexcept {
    LabelPage page;
    page.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    page.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    page.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    page.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    page.printableWidth = GetDeviceCaps(dc, HORZRES);
    page.printableHeight = GetDeviceCaps(dc, VERTRES);
    page.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    page.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    return page;
}

HFONT CreateLabelFont(int height, bool bold) noexcept {
    LOGFONTW description{};
    description.lfHeight = -height;  // the characters' height, without the leading
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = RUSSIAN_CHARSET;
    std::wcscpy(description.lfFaceName, kLabelFace);
    return CreateFontIndirectW(&description);
}

bool DrawLine(HDC dc, const LabelLine& line) noexcept {
    const wchar_t* text = WinText(line.text);
    const int length = line.text.size() > INT_MAX ? INT_MAX : static_cast<int>(line.text.size());
    int height = line.fontHeight;
    for (int attempt = 0; attempt < kFitAttempts && height > 0; ++attempt) {
        FontHandle font(CreateLabelFont(height, line.bold));
        SelectedObject selected(dc, font.get());
        if (!font || !selected.selected()) return false;
        SIZE extent{};
        if (!GetTextExtentPoint32W(dc, text, length, &extent)) return false;
        if (extent.cx <= line.maxWidth) return TextOutW(dc, line.left, line.top, text, length) != FALSE;
        height = MulDiv(height, line.maxWidth, extent.cx);
    }
    return false;
}

bool DrawLabel(HDC dc, const BatchRecord& batch, WideString& failure) noexcept {
    try {
        const LabelPage page = ReadLabelPage(dc);
        const std::vector<LabelLine> lines = LayOutCanLabel(batch, PurposeName(batch.purpose), page);
        if (lines.empty()) {
            failure = LabelTooSmallMessage(page);
            return false;
        }
        SetBkMode(dc, TRANSPARENT);
        for (const LabelLine& line : lines)
            if (!DrawLine(dc, line)) return false;
        return true;
    } catch (...) {
        return false;  // out of memory for the lines
    }
}

}  // namespace

bool PrintCanLabel(HWND owner, const BatchRecord& batch) noexcept {
    return PrintPage(owner, kCanLabelDocument,
                     [&batch](HDC dc, WideString& failure) { return DrawLabel(dc, batch, failure); });
}

}  // namespace lacqueron
