#include "scale/ScaleLine.h"

namespace lacqueron {
namespace {

// More significant digits than any scale shows: refused before the arithmetic can overflow.
constexpr int kMaxSignificantDigits = 17;
constexpr int kGramDecimals = 2;      // hundredths
constexpr int kKilogramShift = 3;     // 1 kg = 10^3 g
constexpr int kMaxPowerOfTen = 18;    // 10^18 still fits in 64 bits

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsPoint(char c) noexcept { return c == '.' || c == ','; }
char LatinUpper(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

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

std::int64_t PowerOfTen(int exponent) noexcept {
    std::int64_t value = 1;
    while (exponent-- > 0) value *= 10;
    return value;
}

// Whether the text starts like a number: an optional sign and blanks, then a digit or a
// point before a digit.
bool LooksNumeric(std::string_view text) noexcept {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && IsPoint(text[i])) ++i;
    return i < text.size() && IsDigit(text[i]);
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

// "[sign] [blanks] digits[.digits] [blanks] unit" with blanks around, as every protocol
// writes its weight field; a trailing "?" marks an unstable value where allowed.
ScaleLine ParseWeight(std::string_view text, ScaleLineFormat format, bool stable, bool questionMarkAllowed) noexcept {
    text = TrimBlanks(text);
    if (questionMarkAllowed && !text.empty() && text.back() == '?') {
        stable = false;
        text = TrimBlanks(text.substr(0, text.size() - 1));
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    while (i < text.size() && IsBlank(text[i])) ++i;

    std::int64_t mantissa = 0;
    int significant = 0;
    int decimals = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
            if (afterPoint) ++decimals;
            if (mantissa == 0 && c == '0') continue;
            if (++significant > kMaxSignificantDigits) return Refusal(format, ScaleRefusal::OutOfRange);
            mantissa = mantissa * 10 + (c - '0');
        } else if (IsPoint(c) && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return Refusal(format, ScaleRefusal::BadNumber);

    const std::string_view unit = TrimBlanks(text.substr(i));
    // A second point or digits after a blank: the number itself is broken.
    if (!unit.empty() && (IsDigit(unit.front()) || IsPoint(unit.front())))
        return Refusal(format, ScaleRefusal::BadNumber);
    if (unit.empty()) return Refusal(format, ScaleRefusal::NoUnit);
    int shift = 0;
    if (EqualsLatinNoCase(unit, "kg"))
        shift = kKilogramShift;
    else if (!EqualsLatinNoCase(unit, "g"))
        return Refusal(format, ScaleRefusal::NotGrams);

    // hundredths = mantissa * 10^(2 + shift - decimals), rounded half away from zero.
    const int exponent = kGramDecimals + shift - decimals;
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
    line.hundredths = negative ? -hundredths : hundredths;
    line.stable = stable;
    return line;
}

// "S S 123.45 g", "S D ...", "S I", "S +", "S -": the reply to "SI".
ScaleLine ParsePolled(std::string_view rest) noexcept {
    constexpr auto format = ScaleLineFormat::Polled;
    const char status = rest.front();
    rest.remove_prefix(1);
    switch (status) {
        case 'S': return ParseWeight(rest, format, true, false);
        case 'D': return ParseWeight(rest, format, false, false);
        case 'I': return State(format, ScaleLineKind::Busy);
        case '+': return State(format, ScaleLineKind::Overload);
        case '-': return State(format, ScaleLineKind::Underload);
        default: return ScaleLine{};
    }
}

// "ST,GS,+00123.45  g": a stability header, an optional gross or net field, the weight.
ScaleLine ParseHeaded(std::string_view header, std::string_view rest) noexcept {
    constexpr auto format = ScaleLineFormat::Continuous;
    if (header == "OL") return State(format, ScaleLineKind::Overload);
    const std::size_t comma = rest.find(',');
    if (comma != std::string_view::npos) {
        // Only gross and net are weights on the pan; a stored tare is not.
        const std::string_view field = TrimBlanks(rest.substr(0, comma));
        if (field != "GS" && field != "NT") return ScaleLine{};
        rest.remove_prefix(comma + 1);
    }
    // "QT" is the counting mode: its unit ("PC") is refused like any other.
    return ParseWeight(rest, format, header != "US", false);
}

}  // namespace

ScaleLine ParseScaleLine(std::string_view line) noexcept {
    const std::string_view text = TrimBlanks(line);
    if (text.size() >= 2 && text[0] == 'S' && IsBlank(text[1])) return ParsePolled(TrimBlanks(text.substr(1)));

    if (text.size() >= 2) {
        const std::string_view header = text.substr(0, 2);
        const std::string_view afterHeader = TrimBlanks(text.substr(2));
        if ((header == "ST" || header == "US" || header == "OL" || header == "QT") && !afterHeader.empty() &&
            afterHeader.front() == ',')
            return ParseHeaded(header, afterHeader.substr(1));
    }

    if (!LooksNumeric(text)) return ScaleLine{};
    return ParseWeight(text, ScaleLineFormat::Continuous, true, true);
}

}  // namespace lacqueron
