#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/shared/CsvTransfer.h"

namespace lacqueron {
namespace {

constexpr wchar_t kDefaultExportName[] = L"Свои рецепты.csv";
constexpr wchar_t kNotExported[] = L"Рецепты не выгружены.";

}  // namespace

void ExportOwnRecipesFile(HWND owner, const OwnRecipeContext& context, const std::vector<std::size_t>& rows) noexcept {
    if (context.store == nullptr) return;
    ExportCsvFile(owner, kDefaultExportName, kNotExported, [&] {
        std::vector<OwnRecipeCurrent> listed;
        const std::vector<OwnRecipeCurrent>& current = context.store->Current();
        for (std::size_t row : rows)
            if (row < current.size()) listed.push_back(current[row]);
        return ExportOwnRecipesCsv(listed);
    });
}

bool ImportOwnRecipesFile(HWND owner, OwnRecipeContext& context) noexcept {
    if (context.store == nullptr || context.catalogue == nullptr) return false;
    return ImportCsvTable<OwnRecipe>(
        owner, L"Импортировано рецептов: ",
        [&](std::string_view bytes, std::vector<OwnRecipe>& recipes, CsvError& error) {
            return ReadOwnRecipesCsv(bytes, *context.catalogue, recipes, error);
        },
        [&](const std::vector<OwnRecipe>& recipes) {
            const JournalAppendResult result = ImportOwnRecipes(*context.store, recipes, CurrentBatchTime());
            if (result != JournalAppendResult::Appended)
                return DescribeAppendFailure(result, u"Рецепты не записаны", kOwnRecipeWords);
            ReportOwnRecipeChange(context);
            return WideString();
        });
}

}  // namespace lacqueron
