// The recipe's number texts against the C library's own printf in the "C" locale.
#include "formula/NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace lacqueron {
namespace {

std::string Printf(const char* format, double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

void ExpectLikePrintf(double value) {
    EXPECT_EQ(FormatFixed2(value, false), Printf("%0.2f", value)) << "bits of " << std::hexfloat << value;
    EXPECT_EQ(FormatFixed2(value, true), Printf("%+0.2f", value)) << "bits of " << std::hexfloat << value;
}

TEST(NumberFormat, SpecialValuesMatchPrintf) {
    const double values[] = {0.0, -0.0, 0.005, -0.005, 0.015, 0.125, 0.375, -0.125, 2.675, 1.005, 480.7692307,
                             500.0, 504.25, 99.995, 999999999.995, 1e9, -1e9, 4294967296.0, 9007199254740993.0,
                             1e22, 1e300, DBL_MAX, -DBL_MAX, DBL_MIN, std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::denorm_min()};
    for (double value : values) ExpectLikePrintf(value);
}

TEST(NumberFormat, ExactHalvesGoToEven) {
    // Every multiple of 1/8 is exact in binary, so the odd eighths are true ties at two
    // decimals; the values beside each tie must round away from it.
    for (int eighths = -4000; eighths <= 4000; ++eighths) {
        const double value = eighths / 8.0;
        ExpectLikePrintf(value);
        ExpectLikePrintf(std::nextafter(value, -DBL_MAX));
        ExpectLikePrintf(std::nextafter(value, DBL_MAX));
    }
}

#ifndef _WIN32
// The Windows C library spells these differently; the recipe never prints them.
TEST(NumberFormat, InfinitiesAndNansMatchTheGnuLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double value : {inf, -inf, nan, -nan}) ExpectLikePrintf(value);
}
#endif

std::string PrintfInt(std::int32_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return buffer;
}

TEST(NumberFormat, IntegersMatchPrintf) {
    for (std::int32_t value : {0, 1, -1, 9, 10, 250, 100000000, INT32_MAX, INT32_MIN, INT32_MIN + 1})
        EXPECT_EQ(FormatInt(value), PrintfInt(value));
}

}  // namespace
}  // namespace lacqueron
