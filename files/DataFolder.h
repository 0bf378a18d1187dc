// The folder of the shop's own data: the journal, the own recipes and the ledger. The
// bench value DataFolder (REG_SZ) moves it, to a folder several benches share for
// instance; unset, it is %LOCALAPPDATA%\Lacqueron.
#pragma once

#include <memory>

#include "core/WideString.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "shop/FolderWorker.h"

namespace lacqueron {

// The folder in force; empty when there is none at all. Touches no share, so a window may
// ask: the folder's worker makes its own level when it first looks at it.
WideString DataFolderPath();
// Where the own recipes are: recipes.lqr in the data folder.
WideString OwnRecipesPath();
// The same in the folder given; empty when it is.
WideString OwnRecipesPathIn(const WideString& folder);
// Whether the path is a folder that answers; may wait as long as a share that does not.
bool FolderExists(const WideString& folder) noexcept;
// Stores the bench value; an empty folder removes it, back to the local one. False on failure.
bool StoreDataFolder(const WideString& folder);

// Opens and reads the own recipes at path (a damaged file too: see Damage()); a file
// not there yet opens empty. Null, with the Russian reason in error, when the folder
// cannot be reached or the file read.
std::unique_ptr<OwnRecipeStore> OpenOwnRecipes(const WideString& path, WideString& error) noexcept;

// The data folder's stores as the program opens them, for the folder's worker; null
// out of memory.
std::shared_ptr<FolderAccess> DataFolderAccess() noexcept;

// Appends to the files in `to` the records of the files in `from` that they do not
// hold yet; nothing in either folder is written over. Empty when done, else why not.
WideString CopyDataFolder(const WideString& from, const WideString& to) noexcept;

}  // namespace lacqueron
