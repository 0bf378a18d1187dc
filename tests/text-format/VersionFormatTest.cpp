// The configuration formatter against the C library where a conversion is served,
// and against the literal-copy rule for everything a package could abuse.
#include "data/text/VersionFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace lacqueron {
namespace {

WideString Widen(const std::string& text) { return WideString(text.begin(), text.end()); }

// Formats with three unsigned numbers through the C library and the formatter.
struct NumberCase {
    const char* format;
    unsigned a, b, c;
};

class ServedNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ServedNumbers, MatchesTheCLibrary) {
    const NumberCase& t = GetParam();
    char expected[8192];
    std::snprintf(expected, sizeof expected, t.format, t.a, t.b, t.c);
    EXPECT_EQ(FormatVersion(Widen(t.format), {t.a, t.b, t.c}), Widen(expected)) << t.format;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ServedNumbers,
    ::testing::Values(
        NumberCase{"Lacqueron %u.%u.%u", 1, 1, 20}, NumberCase{"v%d.%i build %u", 1, 1, 20},
        NumberCase{"%x %X %o", 255, 48879, 8}, NumberCase{"%#x %#X %#o", 255, 48879, 8},
        NumberCase{"%#x %#o %.0x", 0, 0, 0}, NumberCase{"%5u|%-5u|%05u", 42, 42, 42},
        NumberCase{"%+d % d %+u", 7, 7, 7}, NumberCase{"%d %i %+d", 0xFFFFFFFFu, 0x80000000u, 0xFFFFFF9Cu},
        NumberCase{"%u %x %o", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, NumberCase{"%.3u %.0u %.0d", 5, 0, 0},
        NumberCase{"%08.3d|%-08d|%+08d", 0xFFFFFFF9u, 12, 12}, NumberCase{"%-+6d|% 6d|%#10.4x", 3, 0xFFFFFFFDu, 26},
        NumberCase{"%hu %hd %hhu", 70000, 40000, 300}, NumberCase{"%hhd %hx %hhx", 200, 0x12345678u, 0x1FFu},
        NumberCase{"100%% %u%%", 99, 0, 0},
        NumberCase{"no conversions at all", 1, 2, 3}, NumberCase{"%4096u", 1, 2, 3},
        NumberCase{"%.4096x", 1, 2, 3}, NumberCase{"%u", 1, 2, 3}, NumberCase{"", 1, 2, 3}));

// The about dialog's version line: two numbers and a build text.
struct MixedCase {
    const char* format;
    const char* text;
};

class ServedText : public ::testing::TestWithParam<MixedCase> {};

TEST_P(ServedText, MatchesTheCLibrary) {
    const MixedCase& t = GetParam();
    char expected[256];
    std::snprintf(expected, sizeof expected, t.format, 1u, 1u, t.text);
    const WideString text = Widen(t.text);
    EXPECT_EQ(FormatVersion(Widen(t.format), {1u, 1u, text}), Widen(expected)) << t.format;
}

INSTANTIATE_TEST_SUITE_P(Table, ServedText,
                         ::testing::Values(MixedCase{"Version %u.%u%s", ".20"}, MixedCase{"%u.%u [%6s]", ".20"},
                                           MixedCase{"%u.%u [%-6s]", ".20"}, MixedCase{"%u.%u [%.2s]", ".20"},
                                           MixedCase{"%u.%u [%s]", ""}, MixedCase{"%u.%u%8.1s|", "abc"}));

// Hostile or unservable conversions are copied as written; each still takes its
// argument, so the conversions after it keep their meaning.
struct LiteralCase {
    const char* format;
    const char* expected;
};

class Literal : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(Literal, CopiesWhatItCannotServe) {
    const LiteralCase& t = GetParam();
    EXPECT_EQ(FormatVersion(Widen(t.format), {1u, 1u, 20u}), Widen(t.expected)) << t.format;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Literal,
    ::testing::Values(LiteralCase{"%s", "%s"}, LiteralCase{"%u.%s.%u", "1.%s.20"},
                      LiteralCase{"%n%n%n", "%n%n%n"}, LiteralCase{"%p %f %c", "%p %f %c"},
                      LiteralCase{"%u %u %u %u %s", "1 1 20 %u %s"}, LiteralCase{"%*u %u", "%*u 1"},
                      LiteralCase{"%1$u %2$u", "%1$u %2$u"}, LiteralCase{"%llu %ju %zu", "%llu %ju %zu"},
                      LiteralCase{"%I64u %lld", "%I64u %lld"}, LiteralCase{"%.*d", "%.*d"},
                      LiteralCase{"%4097u|%.99999999999999999999d", "%4097u|%.99999999999999999999d"},
                      LiteralCase{"end %", "end %"}, LiteralCase{"end %-08.", "end %-08."},
                      LiteralCase{"%5%", "%5%"}, LiteralCase{"%y%u", "%y1"}, LiteralCase{"%ls %hs", "%ls %hs"}));

TEST(VersionFormat, TextWhereANumberIsExpectedIsCopied) {
    EXPECT_EQ(FormatVersion(u"%u-%x-%s", {u"a", u"b", 3u}), u"%u-%x-%s");
}

TEST(VersionFormat, KeepsCyrillicAndOtherUnitsAsTheyAre) {
    EXPECT_EQ(FormatVersion(u"Подбор красок %u.%u \u2116%u \U0001F3A8", {1u, 1u, 20u}),
              u"Подбор красок 1.1 \u211620 \U0001F3A8");
}

// The C rule, which not every C library on Windows follows: '#' makes an octal
// number start with 0, even a zero printed with precision 0.
TEST(VersionFormat, AlternateOctalZeroKeepsItsDigit) {
    EXPECT_EQ(FormatVersion(u"%#.0o|%#.3o|%#o", {0u, 8u, 8u}), u"0|010|010");
}

// "l" is the 32-bit long of the program's platform on every host.
TEST(VersionFormat, LongLengthIsThirtyTwoBits) {
    EXPECT_EQ(FormatVersion(u"%ld %lu %lx", {0xFFFFFFFEu, 0xFFFFFFFFu, 0xABCDEF12u}), u"-2 4294967295 abcdef12");
}

TEST(VersionFormat, WithoutArgumentsEveryConversionIsLiteral) {
    EXPECT_EQ(FormatVersion(u"%u %d %s %%", {}), u"%u %d %s %");
}

}  // namespace
}  // namespace lacqueron
