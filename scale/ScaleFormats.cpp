#include "scale/ScaleFormats.h"

#include "scale/WeightField.h"

namespace lacqueron {
namespace {

using namespace weight_field;

// The ESC P line without CR LF: 14 characters, or 20 with the leading field.
constexpr std::size_t kEscShortLine = 14;
constexpr std::size_t kEscLongLine = 20;
constexpr std::size_t kEscLeadingField = kEscLongLine - kEscShortLine;

// The SI answer of the marked line: marker, blank, sign and 9 characters of mass, blank,
// then 1 to 3 characters of unit (trailing blanks may be cut).
constexpr std::size_t kMarkerAt = 0;
constexpr std::size_t kMarkedMassAt = 2;
constexpr std::size_t kMarkedMassChars = 10;  // sign and mass
constexpr std::size_t kMarkedUnitAt = kMarkedMassAt + kMarkedMassChars + 1;
constexpr std::size_t kMarkedUnitChars = 3;

std::string_view WithoutSign(std::string_view text) noexcept {
    text = TrimBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return TrimBlanks(text);
}

// "Err" with an optional number: the scale shows an error instead of a weight.
bool IsErrorWord(std::string_view text) noexcept {
    text = TrimBlanks(text);
    if (text.substr(0, 3) != "Err") return false;
    for (const char c : text.substr(3))
        if (!IsDigit(c) && !IsBlank(c)) return false;
    return true;
}

// The words that stand for the weight out of range or a scale error, or Unrecognised.
ScaleLine RangeWord(std::string_view weight, ScaleLineFormat format) noexcept {
    weight = TrimBlanks(weight);
    if (weight == "OL" || weight == "+OL") return State(format, ScaleLineKind::Overload);
    if (weight == "UL" || weight == "-OL") return State(format, ScaleLineKind::Underload);
    if (IsErrorWord(weight)) return State(format, ScaleLineKind::Busy);
    return ScaleLine{};
}

// The weight and unit, then blank-separated tokens: "?" marks the weight unstable,
// anything else is a legend.
ScaleLine ParseWeightThenTokens(std::string_view text, ScaleLineFormat format, bool stable) noexcept {
    const Number number = ReadNumber(text);
    std::string_view rest = number.rest;
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view unit = rest.substr(0, end);
    if (unit == "?") {  // no unit at all, only the stability mark
        stable = false;
        unit = {};
    }
    for (rest = TrimBlanks(rest.substr(end)); !rest.empty(); rest = TrimBlanks(rest)) {
        std::size_t tokenEnd = 0;
        while (tokenEnd < rest.size() && !IsBlank(rest[tokenEnd])) ++tokenEnd;
        if (rest.substr(0, tokenEnd) == "?") stable = false;
        rest.remove_prefix(tokenEnd);
    }
    if (!unit.empty() && (IsDigit(unit.front()) || IsPoint(unit.front())) && number.anyDigit && !number.tooLong)
        return Refusal(format, ScaleRefusal::BadNumber);
    return Reading(number, unit, format, stable);
}

}  // namespace

ScaleLine ParseEscPolledLine(std::string_view line) noexcept {
    constexpr auto format = ScaleLineFormat::EscPolled;
    const std::string_view word = WithoutSign(line);
    if (word == "H") return State(format, ScaleLineKind::Overload);
    if (word == "L") return State(format, ScaleLineKind::Underload);
    if (IsErrorWord(word)) return State(format, ScaleLineKind::Busy);

    // A weight only from a whole line: a fragment would read as another weight.
    std::string_view body;
    if (line.size() == kEscShortLine)
        body = line;
    else if (line.size() == kEscLongLine)
        body = line.substr(kEscLeadingField);
    else
        return ScaleLine{};
    if (!LooksNumeric(TrimBlanks(body))) return ScaleLine{};
    const Number number = ReadNumber(body);
    if (number.rest.empty()) {
        // No unit: the scale has not settled. Its unit is grams as far as the line tells.
        return Reading(number, "g", format, false);
    }
    return ParseWeight(body, format, true);
}

ScaleLine ParseLegendLine(std::string_view line) noexcept {
    constexpr auto format = ScaleLineFormat::Legend;
    const std::string_view text = TrimBlanks(line);
    if (!LooksNumeric(text)) {
        // "OL", "UL" or "Err 4" in the weight's place, the rest of the line passed over.
        std::size_t end = 0;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        return RangeWord(text.substr(0, end), format);
    }
    return ParseWeightThenTokens(text, format, true);
}

ScaleLine ParseMarkedLine(std::string_view line) noexcept {
    constexpr auto format = ScaleLineFormat::Marked;
    if (line.size() <= kMarkedUnitAt || line.size() > kMarkedUnitAt + kMarkedUnitChars) return ScaleLine{};
    if (line[kMarkerAt + 1] != ' ' || line[kMarkedUnitAt - 1] != ' ') return ScaleLine{};
    const std::string_view mass = line.substr(kMarkedMassAt, kMarkedMassChars);
    const char sign = mass.front();
    if (sign != '+' && sign != '-' && sign != ' ') return ScaleLine{};

    bool stable = true;
    switch (line[kMarkerAt]) {
        case ' ': break;
        case '?': stable = false; break;
        case '^': return State(format, ScaleLineKind::Overload);
        case 'v': return State(format, ScaleLineKind::Underload);
        default: return ScaleLine{};
    }
    if (!LooksNumeric(TrimBlanks(mass))) return ScaleLine{};
    const Number number = ReadNumber(mass);
    if (!number.rest.empty()) return Refusal(format, ScaleRefusal::BadNumber);
    return Reading(number, TrimBlanks(line.substr(kMarkedUnitAt)), format, stable);
}

ScaleLine ParsePrefixedLine(std::string_view line) noexcept {
    constexpr auto format = ScaleLineFormat::Prefixed;
    std::string_view text = TrimBlanks(line);
    if (text.empty() || (text.front() != 'S' && text.front() != 'U')) return ScaleLine{};
    const bool stable = text.front() == 'S';
    text = TrimBlanks(text.substr(1));
    if (!text.empty() && text.front() == ',') text = TrimBlanks(text.substr(1));
    if (!LooksNumeric(text)) return RangeWord(text, format);
    return ParseWeight(text, format, stable);
}

}  // namespace lacqueron
