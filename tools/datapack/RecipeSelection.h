// The options that pick one recipe and the choice it is computed for, shared by the
// commands that compute it: --sources DIR (--row N | --title TEXT) --purpose N
// --unit g|ml|N --amount N, and --own-store FILE with --title CODE for an own recipe.
#pragma once

#include <cstdint>

#include "data/catalogue/Catalogue.h"
#include "tools/datapack/Options.h"

namespace datapack {

struct RecipeSelection {
    lacqueron::Catalogue catalogue;
    const lacqueron::ColourRecipe* recipe = nullptr;  // inside catalogue, or ownRecipe
    lacqueron::ColourRecipe ownRecipe;                // an own recipe in the catalogue's form
    std::uint32_t purpose = 0;
    std::uint32_t weightType = 0;
    std::int32_t amount = 0;
};

// The option names SelectRecipe reads, for ParseOptions.
const std::vector<std::string>& RecipeOptionNames();
const std::vector<std::string>& RequiredRecipeOptionNames();

// Reads the options, the sources and the recipe. 0 on success, else the exit status
// after telling stderr what is wrong (2 bad usage with the usage line, 1 failure).
int SelectRecipe(Options& options, const char* usage, RecipeSelection& selection);

// Loads the catalogue from --sources DIR; 0, or 1 after telling stderr why not.
int LoadCatalogueSources(const std::string& directory, lacqueron::Catalogue& catalogue);

// An optional minus and decimal digits, nothing else, within [minimum, maximum].
bool ParseWhole(const std::string& text, std::int64_t minimum, std::int64_t maximum, std::int64_t& value);

// "datapack: message" and the usage line to stderr; returns 2.
int BadUsage(const std::string& message, const char* usage);

}  // namespace datapack
