// What the own recipe windows share among themselves: the history, the data folder,
// the CSV transfer, and telling the main dialog about a change.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "ui/recipes/OwnRecipeWindows.h"
#include "ui/shared/CsvTransfer.h"

namespace lacqueron {

// Tells the main dialog that the store changed; the context may hold another store after.
void ReportOwnRecipeChange(OwnRecipeContext& context) noexcept;

// The codes of the recipes in the store other than `except`'s; empty without a store.
std::vector<WideString> OtherOwnCodes(const OwnRecipeContext& context, OwnRecipeId except);

// A Yes/No question; true for Yes. No is the default button.
bool AskOwnRecipeQuestion(HWND owner, const WideString& question) noexcept;

// A recipe's versions, newest first, restoring one as a new version. True when restored.
bool ShowOwnRecipeHistory(HWND owner, OwnRecipeContext& context, OwnRecipeId id) noexcept;
// The deleted recipes, restoring one. True when restored.
bool ShowDeletedOwnRecipes(HWND owner, OwnRecipeContext& context) noexcept;

// Asks for a new data folder, stores it and offers to copy the old one's records into it.
// True when the folder changed (the main dialog has been told).
bool ChooseDataFolder(HWND owner, OwnRecipeContext& context) noexcept;

// The CSV file of the recipes with the given indices in the store's Current().
void ExportOwnRecipesFile(HWND owner, const OwnRecipeContext& context, const std::vector<std::size_t>& rows) noexcept;
// A CSV file read into the store, all or nothing, written on the data folder's worker.
class OwnRecipeImport {
public:
    // Asks for the file and starts the write; the dialog holds still with "Сохранение..."
    // in `statusId` until FolderWriteState::kWrittenMessage.
    void Start(HWND dialog, int statusId, OwnRecipeContext& context) noexcept;
    bool Running() const noexcept { return import_.Running(); }
    // At that message: the outcome told; true when anything was saved (the main dialog
    // told too), none for another write's message.
    std::optional<bool> OnWritten(HWND dialog, WPARAM generation, OwnRecipeContext& context) noexcept;

private:
    CsvTableImport<OwnRecipe> import_;
};

}  // namespace lacqueron
