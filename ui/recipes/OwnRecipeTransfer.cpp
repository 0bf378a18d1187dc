#include <string>

#include "files/FileReplace.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/shared/CsvFileDialog.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr wchar_t kDefaultExportName[] = L"Свои рецепты.csv";
constexpr wchar_t kNotExported[] = L"Рецепты не выгружены.";
constexpr wchar_t kNotImported[] = L"Ничего не импортировано.";

WideString Number(std::size_t value) {
    const std::string digits = std::to_string(value);
    return WideString(digits.begin(), digits.end());
}

}  // namespace

void ExportOwnRecipesFile(HWND owner, const OwnRecipeContext& context, const std::vector<std::size_t>& rows) noexcept {
    if (context.store == nullptr) return;
    WideString path;
    if (!AskCsvFile(owner, CsvFileUse::kSave, kDefaultExportName, kNotExported, path)) return;
    try {
        std::vector<OwnRecipeCurrent> listed;
        const std::vector<OwnRecipeCurrent>& current = context.store->Current();
        for (std::size_t row : rows)
            if (row < current.size()) listed.push_back(current[row]);
        if (ReplaceFileContents(path, ExportOwnRecipesCsv(listed))) return;
        ShowErrorBox(owner, WinText(u"Не удалось записать файл " + path + u". " + FromWinText(kNotExported)));
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы выгрузить рецепты.");
    }
}

bool ImportOwnRecipesFile(HWND owner, OwnRecipeContext& context) noexcept {
    if (context.store == nullptr || context.catalogue == nullptr) return false;
    WideString path;
    if (!AskCsvFile(owner, CsvFileUse::kOpen, nullptr, kNotImported, path)) return false;
    try {
        std::string bytes;
        if (!ReadFileContents(path, bytes)) {
            ShowErrorBox(owner, WinText(u"Не удалось прочитать файл " + path + u". " + FromWinText(kNotImported)));
            return false;
        }
        std::vector<OwnRecipe> recipes;
        OwnCsvError error;
        if (!ReadOwnRecipesCsv(bytes, *context.catalogue, recipes, error)) {
            ShowErrorBox(owner, WinText(u"Строка " + Number(error.row) + u": " + error.reason + u" " +
                                        FromWinText(kNotImported)));
            return false;
        }
        const JournalAppendResult result = ImportOwnRecipes(*context.store, recipes, CurrentBatchTime());
        if (result != JournalAppendResult::Appended) {
            ShowErrorBox(owner, WinText(DescribeAppendFailure(result, u"Ничего не импортировано", kOwnRecipeWords)));
            return false;
        }
        ReportOwnRecipeChange(context);
        MessageBoxW(owner, WinText(u"Импортировано рецептов: " + Number(recipes.size()) + u"."), L"Импорт",
                    MB_OK | MB_ICONINFORMATION);
        return true;
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы импортировать рецепты.");
        return false;
    }
}

}  // namespace lacqueron
