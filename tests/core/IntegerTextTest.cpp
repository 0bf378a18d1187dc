// Whole numbers as text: sign, padding and the extremes of the type.
#include "core/IntegerText.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/Utf8.h"

namespace lacqueron {
namespace {

struct IntegerCase {
    std::int64_t value;
    std::size_t width;
    const char16_t* text;
};

class IntegerTextTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTextTest, WritesDigitsWithSignAndPadding) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(IntegerText(c.value, c.width), c.text) << ToUtf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerTextTest,
                         ::testing::Values(IntegerCase{0, 1, u"0"}, IntegerCase{7, 1, u"7"}, IntegerCase{1234, 1, u"1234"},
                                         IntegerCase{-1234, 1, u"-1234"}, IntegerCase{7, 2, u"07"},
                                         IntegerCase{2026, 2, u"2026"}, IntegerCase{0, 3, u"000"},
                                         IntegerCase{-5, 3, u"-005"},
                                         IntegerCase{std::numeric_limits<std::int64_t>::max(), 1,
                                                     u"9223372036854775807"},
                                         IntegerCase{std::numeric_limits<std::int64_t>::min(), 1,
                                                     u"-9223372036854775808"}));

}  // namespace
}  // namespace lacqueron
