// Arbitrary bytes as an own recipes table, as the manager's import reads it. A table it
// refuses names a row of the file and a reason; the recipes of one it takes export and
// read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "ownrecipes/OwnRecipeCsv.h"
#include "tests/ledger/LedgerTestCatalogue.h"

using namespace lacqueron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Catalogue& catalogue = test::LedgerCatalogue();
    std::vector<OwnRecipe> read;
    CsvError error;
    if (!ReadOwnRecipesCsv(bytes, catalogue, read, error)) {
        // A row can be one past the last line end at most: where a quote is left open.
        if (error.row == 0 || error.row > size + 1 || error.reason.empty() || !read.empty()) std::abort();
        return 0;
    }
    std::vector<OwnRecipeCurrent> current;
    for (const OwnRecipe& recipe : read) current.push_back({0, {}, {}, 1, recipe});
    std::vector<OwnRecipe> again;
    if (!ReadOwnRecipesCsv(ExportOwnRecipesCsv(current), catalogue, again, error) || again != read) std::abort();
    return 0;
}
