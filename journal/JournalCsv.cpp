#include "journal/JournalCsv.h"

#include <algorithm>

#include "core/IntegerText.h"
#include "core/Utf8.h"
#include "data/text/TextFold.h"
#include "data/text/TextTools.h"
#include "journal/JournalText.h"

namespace lacqueron {
namespace {

constexpr char kSeparator = ';';
constexpr char kQuote = '"';
constexpr char kCsvLineEnd[] = "\r\n";

const char16_t* const kTitles[] = {
    u"Дата",      u"Код",     u"Название",  u"Назначение", u"Количество", u"Дискретность весов, г",
    u"Статус",    u"Итог, г", u"Коррекции", u"Примечание", u"Компонент",  u"По рецепту, г",
    u"Налито, г",
};

// Last, and only when a batch exported has a round: tables without them stay as they were.
constexpr char16_t kMeasureRoundsTitle[] = u"Поправки по замеру";

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

// Each round on a line of its own inside the one cell, as a spreadsheet wraps it.
WideString MeasureRoundsText(const BatchRecord& batch) {
    WideString text;
    for (std::size_t i = 0; i < batch.measureRounds.size(); ++i)
        text += (i == 0 ? u"" : u"\n") + FormatMeasureRound(batch.measureRounds[i], i + 1, kSpreadsheetDecimalMark);
    return text;
}

WideString CorrectionsText(const BatchRecord& batch) {
    WideString text;
    for (const BatchCorrection& correction : batch.corrections) {
        if (!text.empty()) text += u"; ";
        text += FormatCorrection(correction, kSpreadsheetDecimalMark);
    }
    return text;
}

constexpr char16_t kWideQuote = u'"';
constexpr char16_t kTab = u'\t';
constexpr char16_t kLostCharacter = u'?';
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr int kBitsPerByte = 8;
constexpr char16_t kFirstSurrogate = 0xD800;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastSurrogate = 0xDFFF;

// The row (counted from 1) that the first `length` units of `text` end in.
template <class Unit>
std::size_t RowAt(std::basic_string_view<Unit> text, std::size_t length) {
    std::size_t row = 1;
    for (std::size_t i = 0; i < length && i < text.size(); ++i)
        if (text[i] == Unit('\n') || (text[i] == Unit('\r') && (i + 1 >= text.size() || text[i + 1] != Unit('\n'))))
            ++row;
    return row;
}

// UTF-16 after its byte-order mark; false, with the row, where a character is cut
// short or a surrogate stands alone.
bool DecodeUtf16(std::string_view bytes, bool bigEndian, WideString& text, CsvError& error) {
    text.clear();
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<char16_t>(bigEndian ? first << kBitsPerByte | second : second << kBitsPerByte | first));
    }
    std::size_t bad = bytes.size() % 2 != 0 ? text.size() : WideString::npos;
    for (std::size_t i = 0; i < text.size() && bad == WideString::npos; ++i) {
        if (text[i] < kFirstSurrogate || text[i] > kLastSurrogate) continue;
        const bool paired = text[i] < kFirstLowSurrogate && i + 1 < text.size() && text[i + 1] >= kFirstLowSurrogate &&
                            text[i + 1] <= kLastSurrogate;
        if (paired)
            ++i;
        else
            bad = i;
    }
    if (bad == WideString::npos) return true;
    error = {RowAt(std::u16string_view(text), bad), u"текст в UTF-16 оборван или испорчен"};
    return false;
}

// The table's text in whichever encoding its file is. Windows-1251 Cyrillic practically
// never reads as UTF-8: its letters are bytes 0xC0-0xFF, each of which UTF-8 takes for
// the start of a sequence that wants bytes 0x80-0xBF after it, and letters follow
// instead. So a text that reads as UTF-8 is taken for UTF-8, and any other for 1251.
bool DecodeTable(std::string_view bytes, WideString& text, CsvError& error) {
    if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark))
        return DecodeUtf16(bytes.substr(kUtf16LittleEndianMark.size()), bytes.starts_with(kUtf16BigEndianMark), text,
                           error);
    const std::string_view utf8Mark = kCsvByteOrderMark;
    const bool marked = bytes.starts_with(utf8Mark);
    if (marked) bytes.remove_prefix(utf8Mark.size());
    std::size_t bad = 0;
    if (FromUtf8(bytes, text, &bad)) return true;
    if (!marked) {
        text = Cp1251ToWide(bytes);
        return true;
    }
    error = {RowAt(bytes, bad), u"текст не в UTF-8, хотя файл помечен как UTF-8"};
    return false;
}

// A title as the table wrote it, or as a Windows-1251 save left it: a spreadsheet puts a
// '?' for each character the code page lacks ("Цена за кг, ?" for the rouble sign).
bool SameTitle(const WideString& wanted, const WideString& read) {
    if (wanted.size() != read.size()) return false;
    NarrowString encoded;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (wanted[i] != read[i] && (read[i] != kLostCharacter || ToCp1251(WideString(1, wanted[i]), encoded)))
            return false;
    return true;
}

// ';', or a tab when the first row has one before any ';' outside quotes, as a
// spreadsheet's "Unicode text" separates its fields.
char16_t FirstRowSeparator(std::u16string_view text) {
    bool quoted = false;
    for (const char16_t c : text) {
        if (c == kWideQuote) quoted = !quoted;
        if (quoted) continue;
        if (c == kTab) return kTab;
        if (c == kSeparator || c == u'\r' || c == u'\n') break;
    }
    return kSeparator;
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
    out += kCsvLineEnd;
}

WideString DescribeCsvError(const CsvError& error) {
    return u"Строка " + IntegerText(static_cast<std::int64_t>(error.row)) + u": " + error.reason;
}

bool ReadCsvRows(std::string_view bytes, std::vector<std::vector<WideString>>& rows, CsvError& error) {
    rows.clear();
    WideString text;
    if (!DecodeTable(bytes, text, error)) return false;
    const char16_t separator = FirstRowSeparator(text);
    std::vector<WideString> fields(1);
    bool quoted = false;
    const auto endRow = [&] {
        rows.push_back(std::move(fields));
        fields.assign(1, {});
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (quoted) {
            if (c != kWideQuote) {
                fields.back() += c;
            } else if (i + 1 < text.size() && text[i + 1] == kWideQuote) {
                fields.back() += kWideQuote;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == kWideQuote) {
            quoted = true;
        } else if (c == separator) {
            fields.emplace_back();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            endRow();
        } else {
            fields.back() += c;
        }
    }
    if (quoted) {
        error = {rows.size() + 1, u"не закрыта кавычка"};
        return false;
    }
    // A last row without its line end.
    if (fields.size() > 1 || !fields.back().empty()) endRow();
    return true;
}

bool ReadCsvTable(std::string_view bytes, const std::vector<WideString>& titles, std::vector<CsvRow>& rows,
                  CsvError& error) {
    std::vector<std::vector<WideString>> read;
    if (!ReadCsvRows(bytes, read, error)) return false;
    if (read.empty() || !std::equal(titles.begin(), titles.end(), read.front().begin(), read.front().end(), SameTitle)) {
        WideString line;
        for (const WideString& title : titles) line += (line.empty() ? u"" : u";") + title;
        error = {1, u"первая строка не заголовок «" + line + u"»"};
        return false;
    }
    std::vector<CsvRow> table;
    for (std::size_t r = 1; r < read.size(); ++r) {
        std::vector<WideString>& fields = read[r];
        const std::size_t number = r + 1;
        if (std::all_of(fields.begin(), fields.end(), [](const WideString& f) { return TrimSpaces(f).empty(); }))
            continue;
        if (fields.size() != titles.size()) {
            error = {number, u"полей " + IntegerText(static_cast<std::int64_t>(fields.size())) + u" вместо " +
                                 IntegerText(static_cast<std::int64_t>(titles.size()))};
            return false;
        }
        table.push_back({number, std::move(fields)});
    }
    rows = std::move(table);
    return true;
}

std::string ExportBatchesCsv(const JournalContents& journal, const std::vector<std::size_t>& order,
                             const PurposeNamer& purposeName, const std::vector<BatchCsvColumn>& more) {
    std::string out = kCsvByteOrderMark;
    std::vector<BatchRecord> batches;
    batches.reserve(order.size());
    for (std::size_t index : order) {
        if (index >= journal.BatchCount()) continue;
        journal.DecodeInto(index, batches.emplace_back());
    }
    const bool rounds = std::any_of(batches.begin(), batches.end(),
                                    [](const BatchRecord& batch) { return !batch.measureRounds.empty(); });
    std::vector<WideString> titles(std::begin(kTitles), std::end(kTitles));
    for (const BatchCsvColumn& column : more) titles.push_back(column.title);
    if (rounds) titles.push_back(kMeasureRoundsTitle);
    AppendCsvRow(out, titles);
    for (const BatchRecord& batch : batches) {
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
        if (rounds) moreColumns.push_back(MeasureRoundsText(batch));
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
