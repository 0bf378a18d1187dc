#include "scale/WeightField.h"

#include <algorithm>

namespace lacqueron::weight_field {
namespace {

// More significant digits than any scale shows: refused before the arithmetic can overflow.
constexpr int kMaxSignificantDigits = 17;
constexpr int kGramDecimals = 2;      // hundredths
constexpr int kKilogramShift = 3;     // 1 kg = 10^3 g
constexpr int kMaxPowerOfTen = 18;    // 10^18 still fits in 64 bits

char LatinUpper(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::int64_t PowerOfTen(int exponent) noexcept {
    std::int64_t value = 1;
    while (exponent-- > 0) value *= 10;
    return value;
}

}  // namespace

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsPoint(char c) noexcept { return c == '.' || c == ','; }

std::string_view TrimBlanks(std::string_view text) noexcept {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsLatinNoCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LatinUpper(a[i]) != LatinUpper(b[i])) return false;
    return true;
}

bool LooksNumeric(std::string_view text) noexcept {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && IsPoint(text[i])) ++i;
    return i < text.size() && IsDigit(text[i]);
}

Number ReadNumber(std::string_view text) noexcept {
    Number number;
    text = TrimBlanks(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    while (i < text.size() && IsBlank(text[i])) ++i;

    int significant = 0;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            number.anyDigit = true;
            if (afterPoint) ++number.decimals;
            if (number.mantissa == 0 && c == '0') continue;
            if (++significant > kMaxSignificantDigits) {
                number.tooLong = true;
                break;
            }
            number.mantissa = number.mantissa * 10 + (c - '0');
        } else if (IsPoint(c) && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    number.rest = TrimBlanks(text.substr(i));
    return number;
}

ScaleLine Reading(const Number& number, std::string_view unit, ScaleLineFormat format, bool stable) noexcept {
    if (number.tooLong) return Refusal(format, ScaleRefusal::OutOfRange);
    if (!number.anyDigit) return Refusal(format, ScaleRefusal::BadNumber);
    if (unit.empty()) return Refusal(format, ScaleRefusal::NoUnit);
    int shift = 0;
    if (EqualsLatinNoCase(unit, "kg")) {
        shift = kKilogramShift;
    } else if (!EqualsLatinNoCase(unit, "g") && !EqualsLatinNoCase(unit, "gr")) {
        ScaleLine refused = Refusal(format, ScaleRefusal::NotGrams);
        std::copy_n(unit.begin(), std::min(unit.size(), kScaleUnitChars), refused.unit.begin());
        return refused;
    }

    // hundredths = mantissa * 10^(2 + shift - decimals), rounded half away from zero.
    const int exponent = kGramDecimals + shift - number.decimals;
    const std::int64_t mantissa = number.mantissa;
    std::int64_t hundredths = 0;
    if (exponent >= 0) {
        if (exponent > kMaxPowerOfTen || mantissa > kMaxScaleHundredths / PowerOfTen(exponent))
            return Refusal(format, ScaleRefusal::OutOfRange);
        hundredths = mantissa * PowerOfTen(exponent);
    } else if (-exponent <= kMaxPowerOfTen) {
        const std::int64_t divisor = PowerOfTen(-exponent);
        hundredths = mantissa / divisor + (2 * (mantissa % divisor) >= divisor ? 1 : 0);
    }  // else far below a hundredth: 0
    if (hundredths > kMaxScaleHundredths) return Refusal(format, ScaleRefusal::OutOfRange);

    ScaleLine line;
    line.kind = ScaleLineKind::Reading;
    line.format = format;
    line.hundredths = number.negative ? -hundredths : hundredths;
    line.stable = stable;
    return line;
}

ScaleLine ParseWeight(std::string_view text, ScaleLineFormat format, bool stable) noexcept {
    const Number number = ReadNumber(text);
    // A second point or digits after a blank: the number itself is broken.
    const bool broken = !number.rest.empty() && (IsDigit(number.rest.front()) || IsPoint(number.rest.front()));
    if (broken && !number.tooLong && number.anyDigit) return Refusal(format, ScaleRefusal::BadNumber);
    return Reading(number, number.rest, format, stable);
}

ScaleLine Refusal(ScaleLineFormat format, ScaleRefusal reason) noexcept {
    ScaleLine line;
    line.kind = ScaleLineKind::Refused;
    line.format = format;
    line.refusal = reason;
    return line;
}

ScaleLine State(ScaleLineFormat format, ScaleLineKind kind) noexcept {
    ScaleLine line;
    line.kind = kind;
    line.format = format;
    return line;
}

}  // namespace lacqueron::weight_field
