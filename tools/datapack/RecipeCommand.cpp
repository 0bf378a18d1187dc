// datapack recipe: the recipe text exactly as the window shows it, for one list row.
#include <cstdint>
#include <cstdio>
#include <string>

#include "formula/RecipeText.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/Options.h"
#include "tools/datapack/SourceFiles.h"
#include "tools/datapack/Utf8.h"

namespace datapack {

namespace {

constexpr char kUsage[] =
    "datapack recipe --sources DIR (--row N | --title TEXT) --purpose N --unit g|ml|N --amount N";

int BadUsage(const std::string& message) {
    std::fprintf(stderr, "datapack: %s\nusage: %s\n", message.c_str(), kUsage);
    return 2;
}

// An optional minus and decimal digits, nothing else, within [minimum, maximum].
bool ParseWhole(const std::string& text, std::int64_t minimum, std::int64_t maximum, std::int64_t& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    if (i == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > (std::int64_t{1} << 33)) return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= minimum && value <= maximum;
}

// A stored 32-bit profile value: any signed or unsigned 32-bit number, kept modulo 2^32.
bool ParseStoredValue(const std::string& text, std::uint32_t& value) {
    std::int64_t whole = 0;
    if (!ParseWhole(text, INT32_MIN, UINT32_MAX, whole)) return false;
    value = static_cast<std::uint32_t>(whole);
    return true;
}

bool ParseUnit(const std::string& text, std::uint32_t& weightType) {
    if (text == "g") {
        weightType = 1;
        return true;
    }
    if (text == "ml") {
        weightType = 2;
        return true;
    }
    return ParseStoredValue(text, weightType);
}

}  // namespace

int RunRecipe(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--sources", "--row", "--title", "--purpose", "--unit", "--amount"},
                      {"--sources", "--purpose", "--unit", "--amount"}, kUsage, options))
        return 2;
    const bool byRow = options.count("--row") != 0;
    if (byRow == (options.count("--title") != 0)) return BadUsage("give exactly one of --row and --title");

    std::int64_t row = 0;
    if (byRow && !ParseWhole(options["--row"], 0, INT32_MAX, row))
        return BadUsage("--row needs a row number from 0: " + options["--row"]);
    lacqueron::WideString title;
    std::size_t badOffset = 0;
    if (!byRow && !Utf8ToWide(options["--title"], title, badOffset))
        return BadUsage("--title is not UTF-8 the program can hold");
    std::uint32_t purpose = 0;
    if (!ParseStoredValue(options["--purpose"], purpose))
        return BadUsage("--purpose needs a 32-bit whole number: " + options["--purpose"]);
    std::uint32_t weightType = 0;
    if (!ParseUnit(options["--unit"], weightType))
        return BadUsage("--unit needs g, ml or a 32-bit whole number: " + options["--unit"]);
    std::int64_t amount = 0;
    if (!ParseWhole(options["--amount"], INT32_MIN, INT32_MAX, amount))
        return BadUsage("--amount needs a signed 32-bit whole number: " + options["--amount"]);

    Sources sources;
    std::string error;
    if (!ReadSources(options["--sources"], sources, error)) return Fail(error);
    lacqueron::Catalogue catalogue;
    if (!LoadSources(sources, catalogue, nullptr, error)) return Fail(error);

    const lacqueron::ColourRecipe* recipe = nullptr;
    if (byRow) {
        if (static_cast<std::size_t>(row) >= catalogue.recipes.size())
            return Fail("no row " + options["--row"] + ": the list has " + std::to_string(catalogue.recipes.size()) +
                        " rows");
        recipe = &catalogue.recipes[static_cast<std::size_t>(row)];
    } else {
        for (const lacqueron::ColourRecipe& candidate : catalogue.recipes) {
            if (candidate.title == title) {
                recipe = &candidate;
                break;
            }
        }
        if (!recipe) return Fail("no recipe titled " + options["--title"]);
    }

    const std::string text = WideToUtf8(
        lacqueron::ComputeRecipeText(catalogue, recipe, purpose, weightType, static_cast<std::int32_t>(amount)));
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return Fail("cannot write the recipe");
    return 0;
}

}  // namespace datapack
