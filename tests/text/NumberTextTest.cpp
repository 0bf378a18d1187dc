#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "data/text/TextTools.h"

namespace lacqueron {
namespace {

std::string Show(const char16_t* text) {
    if (text == nullptr) return "<null>";
    std::string out;
    for (; *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
    return out;
}

struct UnsignedCase {
    const char16_t* text;
    std::uint32_t expected;
};

class ParseUnsignedTest : public ::testing::TestWithParam<UnsignedCase> {};

TEST_P(ParseUnsignedTest, Reads) {
    EXPECT_EQ(GetParam().expected, ParseUnsigned(GetParam().text)) << Show(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseUnsignedTest, ::testing::Values(
    UnsignedCase{nullptr, 0}, UnsignedCase{u"", 0}, UnsignedCase{u"abc", 0},
    UnsignedCase{u" 42abc", 42}, UnsignedCase{u"\t\n\v\f\r 7", 7}, UnsignedCase{u"+15", 15},
    UnsignedCase{u"-1", 4294967295u}, UnsignedCase{u"-0", 0}, UnsignedCase{u"-4294967295", 1},
    UnsignedCase{u"4294967295", 4294967295u}, UnsignedCase{u"4294967296", 4294967295u},
    UnsignedCase{u"99999999999999999999999", 4294967295u}, UnsignedCase{u"-4294967296", 4294967295u},
    UnsignedCase{u"000000000000000000012", 12}, UnsignedCase{u"+-3", 0}, UnsignedCase{u"- 3", 0},
    UnsignedCase{u"12 34", 12}, UnsignedCase{u"0x1F", 0}, UnsignedCase{u"\u00A0" u"5", 0},
    UnsignedCase{u"\uFF15", 0}, UnsignedCase{u"250,5", 250}));

struct SignedCase {
    const char16_t* text;
    std::int32_t expected;
};

class ParseSignedTest : public ::testing::TestWithParam<SignedCase> {};

TEST_P(ParseSignedTest, Reads) {
    EXPECT_EQ(GetParam().expected, ParseSigned(GetParam().text)) << Show(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseSignedTest, ::testing::Values(
    SignedCase{nullptr, 0}, SignedCase{u"", 0}, SignedCase{u"x1", 0}, SignedCase{u"  100g", 100},
    SignedCase{u"-250", -250}, SignedCase{u"+7", 7}, SignedCase{u"2147483647", INT32_MAX},
    SignedCase{u"2147483648", INT32_MAX}, SignedCase{u"-2147483648", INT32_MIN},
    SignedCase{u"-2147483649", INT32_MIN}, SignedCase{u"99999999999999999999", INT32_MAX},
    SignedCase{u"-99999999999999999999", INT32_MIN}, SignedCase{u"12.9", 12}, SignedCase{u"--1", 0}));

struct DecimalCase {
    const char16_t* text;
    double expected;
};

class ParseDecimalTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ParseDecimalTest, Reads) {
    const double value = ParseDecimal(GetParam().text);
    EXPECT_EQ(GetParam().expected, value) << Show(GetParam().text);
    EXPECT_EQ(std::signbit(GetParam().expected), std::signbit(value)) << Show(GetParam().text);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Cases, ParseDecimalTest, ::testing::Values(
    DecimalCase{nullptr, 0}, DecimalCase{u"", 0}, DecimalCase{u"abc", 0}, DecimalCase{u"12,5", 12.5},
    DecimalCase{u"12.5", 12.5}, DecimalCase{u"1.234,5", 1.234}, DecimalCase{u"1,234.5", 1.234},
    DecimalCase{u" \t-0,75kg", -0.75}, DecimalCase{u"+3", 3}, DecimalCase{u".5", 0.5},
    DecimalCase{u"5.", 5}, DecimalCase{u".", 0}, DecimalCase{u"-", 0}, DecimalCase{u"-.e1", 0},
    DecimalCase{u"-0", -0.0}, DecimalCase{u"1 250,5", 1}, DecimalCase{u"1e3", 1000},
    DecimalCase{u"2,5E-2", 0.025}, DecimalCase{u"1e+2x", 100}, DecimalCase{u"7e", 7},
    DecimalCase{u"7e+", 7}, DecimalCase{u"7E-x", 7}, DecimalCase{u"0x10", 0}, DecimalCase{u"inf", 0},
    DecimalCase{u"nan", 0}, DecimalCase{u"Infinity", 0}, DecimalCase{u"1e400", kInf},
    DecimalCase{u"-1e400", -kInf}, DecimalCase{u"1e99999999999999999999", kInf},
    DecimalCase{u"1e-400", 0}, DecimalCase{u"-1e-99999999999999999999", -0.0},
    DecimalCase{u"0e99999999999", 0}, DecimalCase{u"4.9406564584124654e-324", 4.9406564584124654e-324},
    DecimalCase{u"1.7976931348623157e308", 1.7976931348623157e308}, DecimalCase{u"1.8e308", kInf},
    DecimalCase{u"0.1", 0.1}, DecimalCase{u"0,3", 0.3}, DecimalCase{u"1.1", 1.1},
    DecimalCase{u"000123.4500", 123.45}, DecimalCase{u"0.000001e6", 1},
    DecimalCase{u"9007199254740993", 9007199254740992.0}, DecimalCase{u"1,5,5", 1.5},
    DecimalCase{u"\u00A0" u"1", 0}, DecimalCase{u"\uFF11", 0}));

// Long and awkward digit strings, rounded correctly: checked against strtod on the same text.
TEST(ParseDecimal, LongDigitStringsAreCorrectlyRounded) {
    std::vector<std::string> texts = {
        std::string(400, '9'),
        "0." + std::string(350, '0') + "123",
        "2.2250738585072011e-308",
        "2.4703282292062328e-324",  // just above half the smallest subnormal
        "9007199254740993.000000000000000000000000000000000000001",
        // A midpoint decided by a digit far beyond any that could make a double.
        "9007199254740993." + std::string(1000, '0') + "1",
        "1" + std::string(308, '0'),
        "1" + std::string(309, '0'),
        "123456789012345678901234567890e-30",
        "0.1000000000000000055511151231257827021181583404541015625",
        "0.1000000000000000055511151231257827021181583404541015626",
    };
    std::string digits;
    for (int i = 0; i < 1000; ++i) digits += static_cast<char>('0' + (i * 7 + 3) % 10);
    texts.push_back(digits);
    texts.push_back("0." + digits + "e-5");
    for (const auto& text : texts) {
        const double reference = std::strtod(text.c_str(), nullptr);
        const std::u16string wide(text.begin(), text.end());
        EXPECT_EQ(reference, ParseDecimal(wide.c_str())) << text.substr(0, 60);
        std::u16string comma = wide;
        if (const auto point = comma.find(u'.'); point != std::u16string::npos) comma[point] = u',';
        EXPECT_EQ(reference, ParseDecimal(comma.c_str())) << text.substr(0, 60);
    }
}

}  // namespace
}  // namespace lacqueron
