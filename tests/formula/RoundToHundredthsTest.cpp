// RoundToHundredths: halves and near-halves go up, negatives by their own rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "formula/NumberFormat.h"
#include "formula/RecipeText.h"

namespace lacqueron {
namespace {

struct RoundingCase {
    double value;
    const char* expected;  // as "%0.2f" prints the result
};

class RoundToHundredthsCases : public testing::TestWithParam<RoundingCase> {};

TEST_P(RoundToHundredthsCases, PrintsAsExpected) {
    const RoundingCase& c = GetParam();
    EXPECT_EQ(FormatFixed2(RoundToHundredths(c.value), false), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundToHundredthsCases,
    testing::Values(RoundingCase{0.125, "0.13"}, RoundingCase{2.675, "2.68"}, RoundingCase{1.005, "1.01"},
                    RoundingCase{480.7692307, "480.77"}, RoundingCase{-0.125, "-0.12"},
                    RoundingCase{-2.675, "-2.67"}, RoundingCase{-0.12501, "-0.13"},
                    // Plain values below and above a half, and values already on a hundredth.
                    RoundingCase{0.124, "0.12"}, RoundingCase{0.126, "0.13"}, RoundingCase{0.29, "0.29"},
                    RoundingCase{-0.29, "-0.29"}, RoundingCase{500.0, "500.00"}, RoundingCase{0.0, "0.00"},
                    RoundingCase{14.423076923, "14.42"}, RoundingCase{4.8076923, "4.81"},
                    RoundingCase{-14.423076923, "-14.42"}, RoundingCase{-4.8076923, "-4.81"},
                    // A negative value that rounds to zero keeps the sign of zero.
                    RoundingCase{-0.001, "-0.00"}, RoundingCase{-0.005, "-0.00"}, RoundingCase{-0.00501, "-0.01"},
                    RoundingCase{99.995, "100.00"}, RoundingCase{123456789.125, "123456789.13"}));

// An exact-decimal reference for values far from any half-way point: there the
// tolerance cannot matter and the result is the nearest hundredth.
TEST(RoundToHundredths, AwayFromHalvesIsTheNearestHundredth) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> values(-1e6, 1e6);
    for (int i = 0; i < 200000; ++i) {
        const double x = values(random);
        const double scaled = x * 100;
        const double fraction = scaled - std::floor(scaled);
        if (std::fabs(fraction - 0.5) < 1e-3) continue;
        const double rounded = RoundToHundredths(x);
        ASSERT_EQ(FormatFixed2(rounded, false), FormatFixed2(x, false)) << x;
        ASSERT_LE(std::fabs(rounded - x), 0.005 + 1e-9) << x;
    }
}

// Every tie k + 0.5 hundredths, whether a hair above or below in binary, goes up for
// positive values and towards zero for negative ones.
TEST(RoundToHundredths, TiesGoUpOnBothSides) {
    for (std::int64_t tenths = -200000; tenths < 200000; tenths += 10) {
        const std::int64_t halfway = tenths + 5;  // in thousandths
        const double x = static_cast<double>(halfway) / 1000.0;
        const std::int64_t up = (halfway + 5) / 10;  // hundredths towards plus infinity
        const double expected = static_cast<double>(up) / 100.0;
        // Adding 0.0 folds a negative zero into zero.
        ASSERT_EQ(FormatFixed2(RoundToHundredths(x) + 0.0, false), FormatFixed2(expected + 0.0, false)) << x;
    }
}

}  // namespace
}  // namespace lacqueron
