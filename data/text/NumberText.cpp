#include "data/text/TextTools.h"
#include "core/AsciiDigit.h"

#include <charconv>
#include <cstddef>
#include <limits>

namespace lacqueron {
namespace {

// The white space of the C library's number readers in the "C" locale.
bool IsSpace(char16_t c) noexcept {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}


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
    for (; IsAsciiDigit(*text); ++text) {
        n.value = n.value * 10 + (*text - u'0');
        if (n.value > limit) {
            n.overflow = true;
            n.value = limit;
            break;
        }
    }
    return n;
}

// A double, and a midpoint between two neighbouring doubles, has at most 768 significant
// digits. Beyond kKeptDigits, one non-zero digit standing for everything dropped therefore
// rounds exactly as the whole string would.
constexpr std::size_t kKeptDigits = 800;
// Far enough outside the range of doubles that the result is 0 or infinite.
constexpr std::int64_t kExponentLimit = 400;
constexpr std::int64_t kWrittenExponentLimit = 1000000;

// The significant digits of a number in a fixed buffer.
class SignificantDigits {
public:
    void Add(char16_t digit) noexcept {
        if (count_ < kKeptDigits) text_[count_++] = static_cast<char>(digit);
        else if (digit != u'0') dropped_ = true;
    }
    // Ends the digits; false when they are all zeros.
    bool Finish() noexcept {
        if (dropped_) {
            text_[count_++] = '1';
            return true;
        }
        while (count_ > 0 && text_[count_ - 1] == '0') --count_;
        return count_ > 0;
    }
    // Reads "0.<digits>e<exponent>", correctly rounded.
    double Scaled(std::int64_t exponent) const noexcept {
        char number[kKeptDigits + 32] = "0.";
        char* end = number + 2;
        for (std::size_t i = 0; i < count_; ++i) *end++ = text_[i];
        *end++ = 'e';
        end = std::to_chars(end, number + sizeof number, exponent).ptr;
        double value = 0;
        const auto [stop, error] = std::from_chars(number, end, value, std::chars_format::scientific);
        if (error == std::errc::result_out_of_range)
            return exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return error == std::errc() ? value : 0;
    }

private:
    char text_[kKeptDigits + 1] = {};
    std::size_t count_ = 0;
    bool dropped_ = false;
};

// The first "," or "." is the decimal point.
bool IsPoint(char16_t c) noexcept { return c == u'.' || c == u','; }

double ReadDecimal(const char16_t* p) noexcept {
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';

    // Significant digits without leading zeros; the value is 0.digits * 10^exponent.
    SignificantDigits digits;
    bool anySignificant = false;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (;; ++p) {
        if (IsAsciiDigit(*p)) {
            anyDigit = true;
            if (!anySignificant && *p == u'0') {
                if (afterPoint) --exponent;
                continue;
            }
            anySignificant = true;
            digits.Add(*p);
            if (!afterPoint) ++exponent;
        } else if (IsPoint(*p) && !afterPoint) {
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
        if (IsAsciiDigit(*e)) {
            std::int64_t written = 0;
            for (; IsAsciiDigit(*e); ++e)
                if (written < kWrittenExponentLimit) written = written * 10 + (*e - u'0');
            exponent += negativeExponent ? -written : written;
        }
    }

    double value = 0;
    if (!digits.Finish() || exponent < -kExponentLimit) value = 0;
    else if (exponent > kExponentLimit) value = std::numeric_limits<double>::infinity();
    else value = digits.Scaled(exponent);
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
    return ReadDecimal(text);
}

}  // namespace lacqueron
