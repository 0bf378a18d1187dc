// The numbers of the bench as the painter types and reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pour/PourPlan.h"

namespace lacqueron {

// A scale reading: an optional minus, digits, and a point or comma with at most two more
// digits; blanks around it are allowed. None when it is not such a number.
std::optional<Hundredths> ParseReading(std::u16string_view text);

// "%0.2f" of the grams, as the recipe text prints them.
std::string FormatGrams(Hundredths value);

// The correction factor with four decimals.
std::string FormatFactor(double factor);

// The status column of a step: ждёт, готово, перелив, or долить for a top-up not yet done.
const char16_t* StatusWord(const PourStep& step) noexcept;

}  // namespace lacqueron
