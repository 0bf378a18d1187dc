#include "journal/JournalCsv.h"

#include "journal/JournalText.h"
#include "core/Utf8.h"

namespace lacqueron {
namespace {

constexpr char kSeparator = ';';
constexpr char kQuote = '"';
constexpr char kLineEnd[] = "\r\n";

const char16_t* const kTitles[] = {
    u"Дата",      u"Код",     u"Название",  u"Назначение", u"Количество", u"Дискретность весов, г",
    u"Статус",    u"Итог, г", u"Коррекции", u"Примечание", u"Компонент",  u"По рецепту, г",
    u"Налито, г",
};

constexpr std::u16string_view kFormulaStarts = u"=+-@";
constexpr char16_t kTextMark = u'\'';

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

WideString CorrectionsText(const BatchRecord& batch) {
    WideString text;
    for (const BatchCorrection& correction : batch.corrections) {
        if (!text.empty()) text += u"; ";
        text += FormatCorrection(correction, kSpreadsheetDecimalMark);
    }
    return text;
}

}  // namespace

const char kCsvByteOrderMark[] = "\xEF\xBB\xBF";

// A text the painter typed, kept as text: a spreadsheet takes a cell that starts with
// one of these for a formula, a phone number "+7 ..." among them. A leading
// apostrophe marks it as text; at worst the apostrophe shows.
WideString CsvTypedText(const WideString& text) {
    if (!text.empty() && kFormulaStarts.find(text.front()) != std::u16string_view::npos) return kTextMark + text;
    return text;
}

WideString CsvTypedTextBack(const WideString& text) {
    if (text.size() > 1 && text.front() == kTextMark && kFormulaStarts.find(text[1]) != std::u16string_view::npos)
        return text.substr(1);
    return text;
}

void AppendCsvRow(std::string& out, const std::vector<WideString>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += kSeparator;
        AppendField(out, fields[i]);
    }
    out += kLineEnd;
}

bool ReadCsvRows(std::string_view bytes, std::vector<std::vector<WideString>>& rows, std::size_t& badRow) {
    if (bytes.starts_with(kCsvByteOrderMark)) bytes.remove_prefix(std::string_view(kCsvByteOrderMark).size());
    rows.clear();
    std::vector<std::string> fields(1);
    bool quoted = false;
    auto endRow = [&] {
        rows.emplace_back();
        for (const std::string& field : fields) {
            rows.back().emplace_back();
            if (!FromUtf8(field, rows.back().back())) return false;
        }
        fields.assign(1, {});
        return true;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c != kQuote) {
                fields.back() += c;
            } else if (i + 1 < bytes.size() && bytes[i + 1] == kQuote) {
                fields.back() += kQuote;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == kQuote) {
            quoted = true;
        } else if (c == kSeparator) {
            fields.emplace_back();
        } else if (c == '\n') {
            if (!fields.back().empty() && fields.back().back() == '\r') fields.back().pop_back();
            if (!endRow()) return badRow = rows.size(), false;
        } else {
            fields.back() += c;
        }
    }
    if (quoted) return badRow = rows.size() + 1, false;
    // A last row without its line end.
    if (fields.size() > 1 || !fields.back().empty()) {
        if (!endRow()) return badRow = rows.size(), false;
    }
    return true;
}

std::string ExportBatchesCsv(const JournalContents& journal, const std::vector<std::size_t>& order,
                             const PurposeNamer& purposeName, const std::vector<BatchCsvColumn>& more) {
    std::string out = kCsvByteOrderMark;
    std::vector<WideString> titles(std::begin(kTitles), std::end(kTitles));
    for (const BatchCsvColumn& column : more) titles.push_back(column.title);
    AppendCsvRow(out, titles);
    BatchRecord batch;
    for (std::size_t index : order) {
        if (index >= journal.BatchCount()) continue;
        journal.DecodeInto(index, batch);
        const std::vector<WideString> batchColumns = {
            FormatBatchTime(batch.time),
            CsvTypedText(batch.colourCode),
            CsvTypedText(batch.colourName),
            purposeName(batch.purpose),
            FormatBatchAmount(batch),
            FormatHundredths(batch.resolution, kSpreadsheetDecimalMark),
            BatchStatusText(batch.status),
            FormatHundredths(batch.finalTotal, kSpreadsheetDecimalMark),
            CorrectionsText(batch),
            CsvTypedText(batch.note),
        };
        std::vector<WideString> moreColumns;
        for (const BatchCsvColumn& column : more) moreColumns.push_back(column.cell(batch));
        auto appendWith = [&](std::vector<WideString> componentColumns) {
            std::vector<WideString> row = batchColumns;
            row.insert(row.end(), componentColumns.begin(), componentColumns.end());
            row.insert(row.end(), moreColumns.begin(), moreColumns.end());
            AppendCsvRow(out, row);
        };
        if (batch.components.empty()) appendWith({{}, {}, {}});
        for (const BatchComponent& component : batch.components)
            appendWith(
                {CsvTypedText(component.name), FormatHundredths(component.recipeWeight, kSpreadsheetDecimalMark),
                 FormatHundredths(component.poured, kSpreadsheetDecimalMark)});
    }
    return out;
}

}  // namespace lacqueron
