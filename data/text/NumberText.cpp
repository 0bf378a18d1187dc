#include "data/text/TextTools.h"

#include <charconv>
#include <limits>
#include <string>

namespace lacqueron {
namespace {

// The white space of the C library's number readers in the "C" locale.
bool IsSpace(char16_t c) noexcept {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

// White space, an optional sign and the digits after it, saturated at limit.
struct WholeNumber {
    bool negative = false;
    bool overflow = false;
    std::uint64_t value = 0;
};

WholeNumber ReadWhole(const char16_t* text, std::uint64_t limit) noexcept {
    WholeNumber n;
    while (IsSpace(*text)) ++text;
    if (*text == u'+' || *text == u'-') n.negative = *text++ == u'-';
    for (; IsDigit(*text); ++text) {
        n.value = n.value * 10 + (*text - u'0');
        if (n.value > limit) {
            n.overflow = true;
            n.value = limit;
            break;
        }
    }
    return n;
}

// Reads the copy with its decimal point made ".", correctly rounded; may throw bad_alloc.
double ReadDecimal(const char16_t* text) {
    std::u16string copy(text);
    const auto point = copy.find_first_of(u",.");
    if (point != std::u16string::npos) copy[point] = u'.';

    const char16_t* p = copy.c_str();
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';

    // Significant digits without leading zeros; the value is 0.digits * 10^exponent.
    std::string digits;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (;; ++p) {
        if (IsDigit(*p)) {
            anyDigit = true;
            if (digits.empty() && *p == u'0') {
                if (afterPoint) --exponent;
                continue;
            }
            digits.push_back(static_cast<char>(*p));
            if (!afterPoint) ++exponent;
        } else if (*p == u'.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0;

    if (*p == u'e' || *p == u'E') {
        const char16_t* e = p + 1;
        bool negativeExponent = false;
        if (*e == u'+' || *e == u'-') negativeExponent = *e++ == u'-';
        if (IsDigit(*e)) {
            std::int64_t written = 0;
            for (; IsDigit(*e); ++e)
                if (written < 1000000) written = written * 10 + (*e - u'0');
            exponent += negativeExponent ? -written : written;
        }
    }

    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    double value = 0;
    if (digits.empty() || exponent < -400) {
        value = 0;
    } else if (exponent > 400) {
        value = std::numeric_limits<double>::infinity();
    } else {
        std::string normalised = "0." + digits + "e" + std::to_string(exponent);
        const auto [end, error] =
            std::from_chars(normalised.data(), normalised.data() + normalised.size(), value,
                            std::chars_format::scientific);
        if (error == std::errc::result_out_of_range)
            value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        else if (error != std::errc())
            value = 0;
    }
    return negative ? -value : value;
}

}  // namespace

std::uint32_t ParseUnsigned(const char16_t* text) noexcept {
    if (text == nullptr) return 0;
    const WholeNumber n = ReadWhole(text, UINT32_MAX);
    // Like wcstoul: an overflow stays at the maximum even after a "-".
    if (n.overflow) return UINT32_MAX;
    const auto value = static_cast<std::uint32_t>(n.value);
    return n.negative ? 0u - value : value;
}

std::int32_t ParseSigned(const char16_t* text) noexcept {
    if (text == nullptr) return 0;
    const WholeNumber n = ReadWhole(text, std::uint64_t{INT32_MAX} + 1);
    if (n.negative) return static_cast<std::int32_t>(-static_cast<std::int64_t>(n.value));
    return n.value > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(n.value);
}

double ParseDecimal(const char16_t* text) noexcept {
    if (text == nullptr) return 0;
    try {
        return ReadDecimal(text);
    } catch (...) {
        return 0;
    }
}

}  // namespace lacqueron
