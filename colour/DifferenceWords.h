// A trial against its target as a painter says it: lighter or darker, redder or greener,
// yellower or bluer, each only when the difference along it can be seen.
#pragma once

#include <string>
#include <vector>

#include "colour/Colorimetry.h"

namespace lacqueron::colour {

// A difference along one of L*, a*, b* smaller than this is not named.
constexpr double kNamedDifference = 0.5;

enum class ColourWord { kLighter, kDarker, kRedder, kGreener, kYellower, kBluer };

// The words for the trial against the target, in the order L*, a*, b*; none when no
// axis differs by kNamedDifference.
std::vector<ColourWord> DifferenceWords(const Lab& target, const Lab& trial);

// The word as the program shows it, UTF-8 ("светлее").
const char* WordText(ColourWord word) noexcept;

// "Проба темнее и краснее цели, ΔE00 = 2.31" or "Проба совпадает с целью, ΔE00 = 0.12"; UTF-8.
std::string DifferenceText(const Lab& target, const Lab& trial);

}  // namespace lacqueron::colour
