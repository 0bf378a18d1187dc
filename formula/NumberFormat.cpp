#include "formula/NumberFormat.h"

#include <cstring>
#include <vector>

namespace lacqueron {
namespace {

// Decimal digits of a non-negative integer given as base-2^32 limbs, least
// significant first. Destroys the limbs.
std::string LimbsToDecimal(std::vector<std::uint32_t> limbs) {
    std::string reversed;
    while (!limbs.empty()) {
        std::uint64_t remainder = 0;
        for (std::size_t i = limbs.size(); i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | limbs[i];
            limbs[i] = static_cast<std::uint32_t>(current / 1000000000u);
            remainder = current % 1000000000u;
        }
        while (!limbs.empty() && limbs.back() == 0) limbs.pop_back();
        for (int d = 0; d < 9; ++d) {
            reversed.push_back(static_cast<char>('0' + remainder % 10));
            remainder /= 10;
            if (limbs.empty() && remainder == 0) break;
        }
    }
    if (reversed.empty()) reversed = "0";
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string UnsignedToDecimal(std::uint64_t value) {
    char digits[24];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::string text;
    while (n > 0) text.push_back(digits[--n]);
    return text;
}

// The magnitude mantissa * 2^exponent with two decimals, rounded half to even.
std::string FixedMagnitude(std::uint64_t mantissa, int exponent) {
    if (exponent >= 0) {
        // A whole number: the mantissa shifted into limbs.
        std::vector<std::uint32_t> limbs(static_cast<std::size_t>(exponent / 32) + 3, 0);
        const std::size_t word = static_cast<std::size_t>(exponent / 32);
        const int bit = exponent % 32;
        const std::uint64_t low = (mantissa & 0xFFFFFFFFu) << bit;
        const std::uint64_t high = (mantissa >> 32) << bit;
        limbs[word] = static_cast<std::uint32_t>(low);
        const std::uint64_t middle = (low >> 32) + (high & 0xFFFFFFFFu);
        limbs[word + 1] = static_cast<std::uint32_t>(middle);
        limbs[word + 2] = static_cast<std::uint32_t>((high >> 32) + (middle >> 32));
        while (!limbs.empty() && limbs.back() == 0) limbs.pop_back();
        return LimbsToDecimal(std::move(limbs)) + ".00";
    }
    // mantissa < 2^53, so mantissa * 100 < 2^60 and fits.
    const std::uint64_t scaled = mantissa * 100;
    const int shift = -exponent;
    std::uint64_t hundredths = 0;
    if (shift < 64) {
        hundredths = scaled >> shift;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (hundredths & 1) != 0)) ++hundredths;
    }
    // Otherwise the value is below 2^60 / 2^64 of a hundredth: it rounds to zero.
    std::string text = UnsignedToDecimal(hundredths / 100);
    const unsigned fraction = static_cast<unsigned>(hundredths % 100);
    text.push_back('.');
    text.push_back(static_cast<char>('0' + fraction / 10));
    text.push_back(static_cast<char>('0' + fraction % 10));
    return text;
}

}  // namespace

std::string FormatFixed2(double value, bool forceSign) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

    std::string text;
    if (negative) {
        text.push_back('-');
    } else if (forceSign) {
        text.push_back('+');
    }
    if (biased == 0x7FF) {
        text += fraction == 0 ? "inf" : "nan";
    } else if (biased == 0) {
        text += FixedMagnitude(fraction, -1074);
    } else {
        text += FixedMagnitude(fraction | (std::uint64_t{1} << 52), biased - 1075);
    }
    return text;
}

std::string FormatInt(std::int32_t value) {
    const std::int64_t wide = value;
    return wide < 0 ? "-" + UnsignedToDecimal(static_cast<std::uint64_t>(-wide))
                    : UnsignedToDecimal(static_cast<std::uint64_t>(wide));
}

}  // namespace lacqueron
