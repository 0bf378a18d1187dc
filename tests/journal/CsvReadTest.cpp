// Tables as Russian spreadsheets save them, read back: every encoding, separator and
// line end they write, and where a broken one is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Utf8.h"
#include "journal/JournalCsv.h"

namespace lacqueron {
namespace {

using Rows = std::vector<std::vector<WideString>>;

// What the spreadsheet's "Unicode text" and its UTF-16 files hold: the byte-order mark,
// then each unit in the file's byte order.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// "Код;Название" and "Бордо" in Windows-1251, a Russian spreadsheet's plain CSV; "Люкс"
// is CB FE EA F1 there.
const std::string kCp1251Titles = "\xCA\xEE\xE4;\xCD\xE0\xE7\xE2\xE0\xED\xE8\xE5";
const std::string kCp1251Bordeaux = "\xC1\xEE\xF0\xE4\xEE";

const Rows kTable = {{u"Код", u"Название"}, {u"0012", u"Бордо \"Люкс\"; 2"}, {u"0013", u""}};

struct ReadCase {
    const char* name;
    std::string bytes;
    Rows rows;
};

class CsvReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(CsvReadTest, ReadsEveryRowAndField) {
    Rows rows;
    CsvError error;
    ASSERT_TRUE(ReadCsvRows(GetParam().bytes, rows, error)) << error.row << " " << ToUtf8(error.reason);
    EXPECT_EQ(rows, GetParam().rows);
}

const ReadCase kReadCases[] = {
    {"Utf8WithMarkCrLf", "\xEF\xBB\xBF" "Код;Название\r\n0012;\"Бордо \"\"Люкс\"\"; 2\"\r\n0013;\r\n", kTable},
    {"Utf8WithoutMarkLf", "Код;Название\n0012;\"Бордо \"\"Люкс\"\"; 2\"\n0013;\n", kTable},
    {"BareCr", "Код;Название\r0012;\"Бордо \"\"Люкс\"\"; 2\"\r0013;\r", kTable},
    {"LastRowWithoutLineEnd", "Код;Название\r\n0012;\"Бордо \"\"Люкс\"\"; 2\"\r\n0013;", kTable},
    {"Windows1251", kCp1251Titles + "\r\n0012;\"" + kCp1251Bordeaux + " \"\"\xCB\xFE\xEA\xF1\"\"; 2\"\r\n0013;\r\n",
     kTable},
    {"Windows1251Symbols", "\xB9;\xAB\xE0\xBB;\xA8\xB8;\x88\r\n", {{u"№", u"«а»", u"Ёё", u"€"}}},
    {"UnicodeTextTabs", Utf16File(u"Код\tНазвание\r\n0012\t\"Бордо \"\"Люкс\"\"; 2\"\r\n0013\t\r\n", false), kTable},
    {"Utf16BigEndian", Utf16File(u"Код;Название\r\n0012;\"Бордо \"\"Люкс\"\"; 2\"\r\n0013;\r\n", true), kTable},
    {"Utf16Pair", Utf16File(u"🚗;a\r\n", false), {{u"🚗", u"a"}}},
    // A cell with a line break is one quoted field; a ';' in the first row's titles
    // makes it the separator even with a tab inside a field.
    {"LineBreakInACell", "a;\"b\r\nc\"\r\n\"x\ty\";z\r\n", {{u"a", u"b\r\nc"}, {u"x\ty", u"z"}}},
    {"Empty", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CsvReadTest, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BrokenCase {
    const char* name;
    std::string bytes;
    std::size_t row;
    const char16_t* reason;
};

class CsvBrokenTest : public testing::TestWithParam<BrokenCase> {};

TEST_P(CsvBrokenTest, NamesTheRowAndReadsNothing) {
    Rows rows;
    CsvError error;
    EXPECT_FALSE(ReadCsvRows(GetParam().bytes, rows, error));
    EXPECT_EQ(error.row, GetParam().row);
    EXPECT_EQ(error.reason, GetParam().reason);
}

const BrokenCase kBrokenCases[] = {
    {"QuoteLeftOpen", "a;b\r\nc;\"d\r\n", 2, u"не закрыта кавычка"},
    {"MarkedUtf8ThatIsNot", "\xEF\xBB\xBF" "a;b\r\n" + kCp1251Titles + "\r\n", 2,
     u"текст не в UTF-8, хотя файл помечен как UTF-8"},
    {"Utf16CutShort", Utf16File(u"a;b\r\nc", false) + "x", 2, u"текст в UTF-16 оборван или испорчен"},
    {"Utf16LoneSurrogate", Utf16File(u"a\r\nb\r\n\xD83D;c", false), 3, u"текст в UTF-16 оборван или испорчен"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CsvBrokenTest, testing::ValuesIn(kBrokenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CsvTable, TitlesBlankRowsAndFieldCounts) {
    const std::vector<WideString> titles = {u"Код", u"Цена"};
    std::vector<CsvRow> rows;
    CsvError error;
    ASSERT_TRUE(ReadCsvTable("Код;Цена\r\n;\r\nA;1\r\n", titles, rows, error));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].number, 3u);
    EXPECT_EQ(rows[0].fields, (std::vector<WideString>{u"A", u"1"}));
    // Saved as Windows-1251, the rouble sign became a question mark; a letter did not.
    EXPECT_TRUE(ReadCsvTable("\xCA\xEE\xE4;\xD6\xE5\xED\xE0, ?\r\n", {u"Код", u"Цена, ₽"}, rows, error));
    EXPECT_FALSE(ReadCsvTable("\xCA\xEE?;\xD6\xE5\xED\xE0, ?\r\n", {u"Код", u"Цена, ₽"}, rows, error));
    EXPECT_FALSE(ReadCsvTable("Код;Название\r\n", titles, rows, error));
    EXPECT_EQ(DescribeCsvError(error), u"Строка 1: первая строка не заголовок «Код;Цена»");
    EXPECT_FALSE(ReadCsvTable("Код;Цена\r\nA;1;2\r\n", titles, rows, error));
    EXPECT_EQ(DescribeCsvError(error), u"Строка 2: полей 3 вместо 2");
}

}  // namespace
}  // namespace lacqueron
