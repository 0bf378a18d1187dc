// The pieces every scale's line is built from: blanks, a signed decimal number and its
// unit. Shared by the parsers of every protocol, so they all convert and refuse alike.
#pragma once

#include <cstdint>
#include <string_view>

#include "scale/ScaleLine.h"

namespace lacqueron::weight_field {

bool IsBlank(char c) noexcept;
bool IsDigit(char c) noexcept;
bool IsPoint(char c) noexcept;
std::string_view TrimBlanks(std::string_view text) noexcept;
bool EqualsLatinNoCase(std::string_view a, std::string_view b) noexcept;

// Whether the text starts like a number: an optional sign and blanks, then a digit or a
// point before a digit.
bool LooksNumeric(std::string_view text) noexcept;

// "[sign] [blanks] digits[.digits]" at the start of the text, and what follows it.
struct Number {
    bool negative = false;
    bool anyDigit = false;
    bool tooLong = false;        // more significant digits than any scale shows
    std::int64_t mantissa = 0;
    int decimals = 0;
    std::string_view rest;       // after the number, blanks trimmed
};
Number ReadNumber(std::string_view text) noexcept;

// The reading a number and its unit give: kilograms converted, g, G and gr read as
// grams, any other unit refused (and kept in the line, so the message can name it).
ScaleLine Reading(const Number& number, std::string_view unit, ScaleLineFormat format, bool stable) noexcept;

// "[sign] number [blanks] unit" with blanks around, the unit being everything after.
ScaleLine ParseWeight(std::string_view text, ScaleLineFormat format, bool stable) noexcept;

ScaleLine Refusal(ScaleLineFormat format, ScaleRefusal reason) noexcept;
ScaleLine State(ScaleLineFormat format, ScaleLineKind kind) noexcept;

}  // namespace lacqueron::weight_field
