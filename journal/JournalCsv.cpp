#include "journal/JournalCsv.h"

#include "journal/JournalText.h"
#include "core/Utf8.h"

namespace lacqueron {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kSeparator = ';';
constexpr char kQuote = '"';
constexpr char kLineEnd[] = "\r\n";

const char16_t* const kTitles[] = {
    u"Дата",      u"Код",     u"Название",  u"Назначение", u"Количество", u"Дискретность весов, г",
    u"Статус",    u"Итог, г", u"Коррекции", u"Примечание", u"Компонент",  u"По рецепту, г",
    u"Налито, г",
};

// A text the painter typed, kept as text: a spreadsheet takes a cell that starts with
// one of these for a formula, a phone number "+7 ..." among them. A leading
// apostrophe marks it as text; at worst the apostrophe shows.
WideString AsText(const WideString& text) {
    constexpr std::u16string_view kFormulaStarts = u"=+-@";
    if (!text.empty() && kFormulaStarts.find(text.front()) != std::u16string_view::npos) return u"'" + text;
    return text;
}

void AppendField(std::string& out, const WideString& value) {
    const std::string utf8 = ToUtf8(value);
    if (utf8.find_first_of("\";\r\n") == std::string::npos) {
        out += utf8;
        return;
    }
    out += kQuote;
    for (char c : utf8) {
        if (c == kQuote) out += kQuote;
        out += c;
    }
    out += kQuote;
}

void AppendRow(std::string& out, const std::vector<WideString>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += kSeparator;
        AppendField(out, fields[i]);
    }
    out += kLineEnd;
}

WideString CorrectionsText(const BatchRecord& batch) {
    WideString text;
    for (const BatchCorrection& correction : batch.corrections) {
        if (!text.empty()) text += u"; ";
        text += FormatCorrection(correction, kSpreadsheetDecimalMark);
    }
    return text;
}

}  // namespace

std::string ExportBatchesCsv(const JournalContents& journal, const std::vector<std::size_t>& order,
                             const PurposeNamer& purposeName) {
    std::string out = kByteOrderMark;
    AppendRow(out, std::vector<WideString>(std::begin(kTitles), std::end(kTitles)));
    BatchRecord batch;
    for (std::size_t index : order) {
        if (index >= journal.BatchCount()) continue;
        journal.DecodeInto(index, batch);
        const std::vector<WideString> batchColumns = {
            FormatBatchTime(batch.time),
            AsText(batch.colourCode),
            AsText(batch.colourName),
            purposeName(batch.purpose),
            FormatBatchAmount(batch),
            FormatHundredths(batch.resolution, kSpreadsheetDecimalMark),
            BatchStatusText(batch.status),
            FormatHundredths(batch.finalTotal, kSpreadsheetDecimalMark),
            CorrectionsText(batch),
            AsText(batch.note),
        };
        auto appendWith = [&](std::vector<WideString> componentColumns) {
            std::vector<WideString> row = batchColumns;
            row.insert(row.end(), componentColumns.begin(), componentColumns.end());
            AppendRow(out, row);
        };
        if (batch.components.empty()) appendWith({{}, {}, {}});
        for (const BatchComponent& component : batch.components)
            appendWith(
                {AsText(component.name), FormatHundredths(component.recipeWeight, kSpreadsheetDecimalMark),
                 FormatHundredths(component.poured, kSpreadsheetDecimalMark)});
    }
    return out;
}

}  // namespace lacqueron
