#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "data/text/TextTools.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "tests/support/RunCommand.h"
#endif

namespace lacqueron {
namespace {

constexpr unsigned char kUndefinedByte = 0x98;

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

#ifdef _WIN32
TEST(Cp1251, MatchesWindowsCodePage1251) {
    for (int b = 1; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t reference[2] = {};
        ASSERT_EQ(1, MultiByteToWideChar(1251, 0, &byte, 1, reference, 2)) << b;
        EXPECT_EQ(static_cast<char16_t>(reference[0]), ToWide(Byte(b).c_str()).at(0)) << "byte " << b;
    }
}
#else
// Every defined byte against iconv's own table; 0x98 is ours to decide.
TEST(Cp1251, MatchesIconv) {
    LACQUERON_REQUIRE_TOOL("iconv");
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        if (b != kUndefinedByte) bytes.push_back(static_cast<char>(b));
    const std::string path = test::ScratchPath(testing::TempDir(), "cp1251-bytes.txt");
    std::ofstream(path, std::ios::binary) << bytes;
    const std::string utf16 = test::RunCommand("iconv -f CP1251 -t UTF-16LE " + path).out;
    std::remove(path.c_str());
    ASSERT_EQ(bytes.size() * 2, utf16.size());

    const WideString ours = ToWide(bytes.c_str());
    ASSERT_EQ(bytes.size(), ours.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto reference = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                                     static_cast<unsigned char>(utf16[2 * i + 1]) << 8);
        EXPECT_EQ(reference, ours[i]) << "byte " << (static_cast<unsigned char>(bytes[i]) + 0);
    }
}
#endif

TEST(Cp1251, UndefinedByteDecodesAsItsC1Control) {
    EXPECT_EQ(u"a\u0098b", ToWide("a\x98" "b"));
    NarrowString out;
    EXPECT_FALSE(ToCp1251(u"\u0098", out));
}

TEST(Cp1251, EveryOtherByteRoundTrips) {
    for (int b = 1; b < 256; ++b) {
        if (b == kUndefinedByte) continue;
        NarrowString back;
        ASSERT_TRUE(ToCp1251(ToWide(Byte(b).c_str()), back)) << b;
        EXPECT_EQ(Byte(b), back);
    }
}

TEST(Cp1251, RussianText) {
    EXPECT_EQ(u"Подбор красок ВЕЛМ №1 «Ёё»", ToWide("\xCF\xEE\xE4\xE1\xEE\xF0 \xEA\xF0\xE0\xF1\xEE\xEA "
                                                    "\xC2\xC5\xCB\xCC \xB9" "1 \xAB\xA8\xB8\xBB"));
}

TEST(Cp1251, NullAndEmptyGiveEmpty) {
    EXPECT_EQ(u"", ToWide(nullptr));
    EXPECT_EQ(u"", ToWide(""));
}

TEST(Cp1251, CharactersWithoutAByteAreRefused) {
    NarrowString out;
    for (const char16_t* text : {u"\u00E9", u"\u0100", u"\u4E2D", u"\U0001F600", u"ok\u0080"})
        EXPECT_FALSE(ToCp1251(text, out)) << static_cast<int>(text[0]);
    EXPECT_TRUE(ToCp1251(u"RAL 1000\t\u0411\u0435\u0436\u0435\u0432\u044B\u0439", out));
    EXPECT_EQ("RAL 1000\t\xC1\xE5\xE6\xE5\xE2\xFB\xE9", out);
}

}  // namespace
}  // namespace lacqueron
