// datapack own: the shop's own recipes in a store file, imported from and exported to
// the lab's CSV, and listed.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/Utf8.h"
#include "journal/posix/PosixJournalFile.h"
#include "journal/posix/PosixWholeFile.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/RecipeSelection.h"

namespace datapack {

namespace {

constexpr char kOwnUsage[] = "datapack own --store FILE [--sources DIR] import CSV | export | list | index";
// The package sources an import checks component codes against, unless --sources says.

int Import(lacqueron::OwnRecipeStore& store, const std::string& storePath, const std::string& csvPath,
           const std::string& sources) {
    std::ifstream in(csvPath, std::ios::binary);
    if (!in) return Fail(csvPath + ": cannot be read");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    lacqueron::Catalogue catalogue;
    if (const int status = LoadCatalogueSources(sources, catalogue); status != 0) return status;
    std::vector<lacqueron::OwnRecipe> recipes;
    lacqueron::CsvError error;
    if (!lacqueron::ReadOwnRecipesCsv(bytes, catalogue, recipes, error))
        return Fail(csvPath + ": row " + std::to_string(error.row) + ": " + lacqueron::ToUtf8(error.reason));
    // A tool's save is stamped in UTC: it knows no bench's time zone.
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    if (lacqueron::ImportOwnRecipes(store, recipes, {now.count(), 0}) != lacqueron::JournalAppendResult::Appended)
        return Fail(storePath + ": cannot be written");
    return 0;
}

std::string List(const lacqueron::OwnRecipeStore& store) {
    std::string out;
    for (const lacqueron::OwnRecipeCurrent& current : store.Current())
        out += lacqueron::ToUtf8(current.recipe.code) + '\t' + lacqueron::ToUtf8(current.recipe.name) + '\t' +
               std::to_string(current.versions) + '\n';
    return out;
}

}  // namespace

int RunOwn(const Arguments& args) {
    // The options, then the action and its argument.
    std::size_t actionAt = 0;
    while (actionAt < args.size() && args[actionAt].starts_with("--")) actionAt += 2;
    if (actionAt >= args.size()) return BadUsage("give import CSV, export, list or index", kOwnUsage);
    Options options;
    const Arguments optionArgs(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(actionAt));
    if (!ParseOptions(optionArgs, {"--store", "--sources"}, {"--store"}, kOwnUsage, options)) return 2;
    const std::string& action = args[actionAt];
    const std::size_t extra = args.size() - actionAt - 1;
    const bool known = (action == "import" && extra == 1) ||
                       ((action == "export" || action == "list" || action == "index") && extra == 0);
    if (!known) return BadUsage("give import CSV, export, list or index", kOwnUsage);

    const std::string& storePath = options["--store"];
    lacqueron::OwnRecipeStore store(lacqueron::OpenPosixJournalFile(storePath),
                                    lacqueron::OpenPosixLogIndex(storePath));
    if (store.Load() != lacqueron::JournalLoadResult::Loaded) return Fail(storePath + ": cannot be read");
    for (const lacqueron::JournalDamage& damage : store.Damage())
        std::fprintf(stderr, "datapack: %s: damaged at byte %llu, passed over\n", storePath.c_str(),
                     static_cast<unsigned long long>(damage.offset));
    if (action == "import")
        return Import(store, storePath, args[actionAt + 1],
                      options.count("--sources") ? options["--sources"] : std::string(kDefaultSources));
    // The index the program writes once it has read a megabyte past the last one: written
    // now, so that an opening of a small store reads on from it too.
    if (action == "index")
        return store.WriteIndex() ? 0 : Fail(storePath + ": its index cannot be written");
    return WriteOut(action == "export" ? lacqueron::ExportOwnRecipesCsv(store.Current()) : List(store));
}

}  // namespace datapack
