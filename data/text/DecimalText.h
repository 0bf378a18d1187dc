// Decimal numbers as a painter types them and a spreadsheet writes them, read into whole
// units of the last decimal (hundredths, kopecks, thousandths) without floating point.
// The scale readings, the prices and the recipe amounts all read this one way: blanks
// around the number, an optional minus, digits that may be split into groups by a
// space ("1 234,5", as a Russian spreadsheet writes thousands), and a decimal comma or
// point with the digits after it, any of them zeros beyond the unit's own ("12,3400").
// They differ only where their input does: how many decimals their unit has and how
// large a value can be.
#pragma once

#include <cstdint>
#include <string_view>

namespace lacqueron {

struct DecimalUnit {
    int decimals;          // 2 for hundredths of a gram or kopecks, 3 for thousandths
    std::int64_t largest;  // the largest magnitude, in units
};

enum class DecimalProblem : std::uint8_t {
    kNone,
    kEmpty,            // nothing but blanks
    kNotANumber,       // anything else than the above
    kTooManyDecimals,  // a digit other than 0 beyond the unit's decimals
    kTooLarge,         // beyond `largest` either way
};

// Reads `text` into `value` (negative after a minus); `value` is left as it was
// unless the result is kNone.
DecimalProblem ParseDecimalText(std::u16string_view text, DecimalUnit unit, std::int64_t& value) noexcept;

}  // namespace lacqueron
