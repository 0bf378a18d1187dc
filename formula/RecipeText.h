// The recipe: weights of every base, base part and pigment for an amount, as text.
#pragma once

#include <cstdint>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"

namespace lacqueron {

// Rounds to two decimals; halves (within a tolerance of 2^-52 relative) go up.
double RoundToHundredths(double x) noexcept;

// The recipe text with CR LF line ends; empty when recipe is null.
WideString ComputeRecipeText(const Catalogue& catalogue, const ColourRecipe* recipe, std::uint32_t purpose,
                             std::uint32_t weightType, std::int32_t targetWeight);

}  // namespace lacqueron
