// The recipe: weights of every base, base part and pigment for an amount, and its text.
#pragma once

#include <cstdint>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"

namespace lacqueron {

// Rounds to two decimals; halves (within a tolerance of 2^-52 relative) go up.
double RoundToHundredths(double x) noexcept;

enum class RecipeKind {
    kCorrect,
    kIncorrectFormula,           // the whole text is the incorrect-formula line
    kIncorrectComponentFormula,  // printed, but a base mixed by formula kept no term
};

enum class RecipeLineKind { kBase, kBasePart, kPigment };

// One printed weight line.
struct RecipeLine {
    RecipeLineKind kind = RecipeLineKind::kBase;
    WideString name;            // as printed: own name or the kind's word, a pigment's note in brackets
    double weight = 0;          // rounded to hundredths
    double runningTotal = 0;    // as printed; a base part's starts from the total before its base
    bool byFormula = false;     // a base mixed from the base part lines that follow it
    bool formulaMissing = false;  // such a base whose formula kept no term
    WideString code;              // the package's code of the component; never printed
};

// A computed recipe. The lines are in print order: each base followed by its parts,
// then the pigments. Holds the recipe it was computed for, borrowed.
struct Recipe {
    RecipeKind kind = RecipeKind::kIncorrectFormula;
    const ColourRecipe* source = nullptr;
    std::uint32_t purpose = 0;
    std::uint32_t weightType = 0;
    std::int32_t targetWeight = 0;
    std::vector<RecipeLine> lines;  // empty unless printed
    double total = 0;               // the printed total weight
};

// The name a recipe line shows for a component: its own, or the kind's word; a
// pigment's note follows in brackets.
WideString ComponentDisplayName(const MixComponent& component);

Recipe ComputeRecipe(const Catalogue& catalogue, const ColourRecipe& recipe, std::uint32_t purpose,
                     std::uint32_t weightType, std::int32_t targetWeight);

// The text of a computed recipe, with CR LF line ends.
WideString WriteRecipeText(const Recipe& recipe);

// The recipe text; empty when recipe is null.
WideString ComputeRecipeText(const Catalogue& catalogue, const ColourRecipe* recipe, std::uint32_t purpose,
                             std::uint32_t weightType, std::int32_t targetWeight);

}  // namespace lacqueron
