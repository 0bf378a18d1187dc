// What the own recipe windows share among themselves: the history, the data folder,
// the CSV transfer, and telling the main dialog about a change.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/recipes/OwnRecipeWindows.h"

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
// Reads a CSV file into the store, all or nothing. True when anything was saved.
bool ImportOwnRecipesFile(HWND owner, OwnRecipeContext& context) noexcept;

}  // namespace lacqueron
