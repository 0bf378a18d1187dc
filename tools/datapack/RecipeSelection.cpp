#include "tools/datapack/RecipeSelection.h"

#include <cstdio>
#include <string>

#include "core/Utf8.h"
#include "data/catalogue/UnitAndPurpose.h"
#include "journal/posix/PosixJournalFile.h"
#include "journal/posix/PosixWholeFile.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "tools/datapack/SourceFiles.h"

namespace datapack {

namespace {

// Larger magnitudes are refused before they can overflow.
constexpr std::int64_t kWholeLimit = std::int64_t{1} << 33;

}  // namespace

bool ParseWhole(const std::string& text, std::int64_t minimum, std::int64_t maximum, std::int64_t& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    if (i == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kWholeLimit) return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= minimum && value <= maximum;
}

namespace {

// A stored 32-bit profile value: any signed or unsigned 32-bit number, kept modulo 2^32.
bool ParseStoredValue(const std::string& text, std::uint32_t& value) {
    std::int64_t whole = 0;
    if (!ParseWhole(text, INT32_MIN, UINT32_MAX, whole)) return false;
    value = static_cast<std::uint32_t>(whole);
    return true;
}

bool ParseUnit(const std::string& text, std::uint32_t& weightType) {
    if (text == "g") {
        weightType = lacqueron::kGrams;
        return true;
    }
    if (text == "ml") {
        weightType = lacqueron::kMillilitres;
        return true;
    }
    return ParseStoredValue(text, weightType);
}

const lacqueron::ColourRecipe* FindTitle(const lacqueron::Catalogue& catalogue, const lacqueron::WideString& title) {
    for (const lacqueron::ColourRecipe& candidate : catalogue.recipes)
        if (candidate.title == title) return &candidate;
    return nullptr;
}

}  // namespace

const std::vector<std::string>& RecipeOptionNames() {
    static const std::vector<std::string> names = {"--sources", "--row",  "--title", "--purpose",
                                                    "--unit",    "--amount", "--own-store"};
    return names;
}

const std::vector<std::string>& RequiredRecipeOptionNames() {
    static const std::vector<std::string> names = {"--sources", "--purpose", "--unit", "--amount"};
    return names;
}

int BadUsage(const std::string& message, const char* usage) {
    std::fprintf(stderr, "datapack: %s\nusage: %s\n", message.c_str(), usage);
    return 2;
}

int LoadCatalogueSources(const std::string& directory, lacqueron::Catalogue& catalogue) {
    Sources sources;
    std::string error;
    if (!ReadSources(directory, sources, error)) return Fail(error);
    if (!LoadSources(sources, catalogue, nullptr, error)) return Fail(error);
    return 0;
}

namespace {

// The own recipe whose code is the title, case folded, from the store's file.
int SelectOwnRecipe(const std::string& path, const lacqueron::WideString& code, RecipeSelection& selection) {
    lacqueron::OwnRecipeStore store(lacqueron::OpenPosixJournalFile(path), lacqueron::OpenPosixLogIndex(path));
    if (store.Load() != lacqueron::JournalLoadResult::Loaded) return Fail(path + ": cannot be read");
    const lacqueron::OwnRecipeCurrent* own = store.FindCurrent(code);
    if (!own) return Fail(path + ": no own recipe with the code " + lacqueron::ToUtf8(code));
    selection.ownRecipe = lacqueron::ToColourRecipe(own->recipe, 0);
    selection.recipe = &selection.ownRecipe;
    return 0;
}

}  // namespace

int SelectRecipe(Options& options, const char* usage, RecipeSelection& selection) {
    const bool byRow = options.count("--row") != 0;
    if (byRow == (options.count("--title") != 0)) return BadUsage("give exactly one of --row and --title", usage);
    const bool own = options.count("--own-store") != 0;
    if (own && byRow) return BadUsage("--own-store takes the recipe by --title CODE", usage);

    std::int64_t row = 0;
    if (byRow && !ParseWhole(options["--row"], 0, INT32_MAX, row))
        return BadUsage("--row needs a row number from 0: " + options["--row"], usage);
    lacqueron::WideString title;
    if (!byRow && !lacqueron::FromUtf8(options["--title"], title, nullptr, lacqueron::kLargestBasicCodePoint))
        return BadUsage("--title is not UTF-8 the program can hold", usage);
    if (!ParseStoredValue(options["--purpose"], selection.purpose))
        return BadUsage("--purpose needs a 32-bit whole number: " + options["--purpose"], usage);
    if (!ParseUnit(options["--unit"], selection.weightType))
        return BadUsage("--unit needs g, ml or a 32-bit whole number: " + options["--unit"], usage);
    std::int64_t amount = 0;
    if (!ParseWhole(options["--amount"], INT32_MIN, INT32_MAX, amount))
        return BadUsage("--amount needs a signed 32-bit whole number: " + options["--amount"], usage);
    selection.amount = static_cast<std::int32_t>(amount);

    if (const int status = LoadCatalogueSources(options["--sources"], selection.catalogue); status != 0) return status;
    if (own) return SelectOwnRecipe(options["--own-store"], title, selection);

    const lacqueron::Catalogue& catalogue = selection.catalogue;
    if (byRow) {
        if (static_cast<std::size_t>(row) >= catalogue.recipes.size())
            return Fail("no row " + options["--row"] + ": the list has " + std::to_string(catalogue.recipes.size()) +
                        " rows");
        selection.recipe = &catalogue.recipes[static_cast<std::size_t>(row)];
    } else {
        selection.recipe = FindTitle(catalogue, title);
        if (!selection.recipe) return Fail("no recipe titled " + options["--title"]);
    }
    return 0;
}

}  // namespace datapack
