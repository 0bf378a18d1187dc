#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "ui/recipes/OwnRecipeParts.h"

namespace lacqueron {
namespace {

constexpr wchar_t kDefaultExportName[] = L"Свои рецепты.csv";
constexpr wchar_t kNotExported[] = L"Рецепты не выгружены.";
constexpr wchar_t kImportedText[] = L"Импортировано рецептов: ";

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

void OwnRecipeImport::Start(HWND dialog, int statusId, OwnRecipeContext& context) noexcept {
    if (context.store == nullptr || context.catalogue == nullptr) return;
    const Catalogue& catalogue = *context.catalogue;
    import_.Start(
        dialog, statusId, context.writes, context.store, nullptr, kImportedText,
        [&](std::string_view bytes, std::vector<OwnRecipe>& recipes, CsvError& error) {
            return ReadOwnRecipesCsv(bytes, catalogue, recipes, error);
        },
        [](std::vector<OwnRecipe> recipes) -> FolderWrite {
            // The codes are checked against the store under the lock, as every save is.
            return [recipes = std::move(recipes), now = CurrentBatchTime()](OwnRecipeStore* store, LedgerStore*, OpticsStore*) {
                return store ? ImportOwnRecipes(*store, recipes, now) : JournalAppendResult::WriteFailed;
            };
        });
}

std::optional<bool> OwnRecipeImport::OnWritten(HWND dialog, WPARAM generation, OwnRecipeContext& context) noexcept {
    const std::optional<bool> saved =
        import_.OnWritten(dialog, generation, kImportedText, [](JournalAppendResult result) {
            return DescribeAppendFailure(result, u"Рецепты не записаны", kOwnRecipeWords);
        });
    if (saved && *saved) ReportOwnRecipeChange(context);
    return saved;
}

}  // namespace lacqueron
