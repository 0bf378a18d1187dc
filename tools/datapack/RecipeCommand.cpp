// datapack recipe: the recipe text exactly as the window shows it, for one list row.
#include <cstdio>
#include <string>

#include "core/Utf8.h"
#include "formula/RecipeText.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/RecipeSelection.h"

namespace datapack {

namespace {

constexpr char kRecipeUsage[] =
    "datapack recipe --sources DIR (--row N | --title TEXT | --own-store FILE --title CODE) --purpose N "
    "--unit g|ml|N --amount N";

}  // namespace

int RunRecipe(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, RecipeOptionNames(), RequiredRecipeOptionNames(), kRecipeUsage, options)) return 2;
    RecipeSelection selection;
    if (const int status = SelectRecipe(options, kRecipeUsage, selection); status != 0) return status;

    const std::string text = lacqueron::ToUtf8(lacqueron::ComputeRecipeText(
        selection.catalogue, selection.recipe, selection.purpose, selection.weightType, selection.amount));
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return Fail("cannot write the recipe");
    return 0;
}

}  // namespace datapack
