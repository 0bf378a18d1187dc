// The shipped recipe and purpose whose recipe text in grams at 500 is longest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "data/catalogue/UnitAndPurpose.h"
#include "formula/RecipeText.h"

namespace lacqueron::bench {

constexpr std::int32_t kBenchAmount = 500;

struct LongestRecipe {
    const ColourRecipe* recipe = nullptr;  // null when the catalogue has none
    std::uint32_t purpose = kFirstPurpose;
};

inline LongestRecipe FindLongest(const Catalogue& catalogue) {
    LongestRecipe longest;
    std::size_t length = 0;
    for (const ColourRecipe& recipe : catalogue.recipes) {
        for (std::uint32_t purpose = kFirstPurpose; purpose <= kLastPurpose; ++purpose) {
            const std::size_t size = ComputeRecipeText(catalogue, &recipe, purpose, kGrams, kBenchAmount).size();
            if (size > length) {
                longest = {&recipe, purpose};
                length = size;
            }
        }
    }
    return longest;
}

}  // namespace lacqueron::bench
