// The windows of the shop's own recipes: the manager, the editor and a recipe's
// history. The main dialog opens them and reloads its paint list when they report a change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "data/catalogue/Catalogue.h"
#include "ledger/Ledger.h"
#include "ownrecipes/OwnRecipe.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "shop/FolderWorker.h"

namespace lacqueron {

// Borrowed for a window's run.
struct OwnRecipeContext {
    const Catalogue* catalogue = nullptr;
    OwnRecipeStore* store = nullptr;  // null when the data folder cannot be reached
    WideString storeError;            // why it is null
    // What the windows write to the stores through, off their thread; null writes on
    // the window's thread (a window test's own store).
    FolderWrites* writes = nullptr;
    // The main dialog's choices, for the editor's live preview.
    std::uint32_t purpose = 0;
    std::uint32_t weightType = 0;
    std::int32_t amount = 0;
    // Called after every change written to the store, and after the data folder moved.
    std::function<void()> changed;
    // Called once the stores came back from a look after the data folder moved; until
    // then the context holds none. The manager sets it while it runs.
    std::function<void()> followed;
    // The shop's ledger, for the prices and stock windows the manager opens.
    LedgerStore* ledger = nullptr;  // null when the data folder cannot be reached
    WideString ledgerError;         // why it is null
    std::function<void()> ledgerChanged;
    // "Подбор цвета" over the manager; the manager shows its button only when given.
    std::function<void(HWND owner)> match;
    // "Калибровка паст" over the manager, likewise.
    std::function<void(HWND owner)> calibrate;
};

// The editor. `id` 0 edits a new recipe (`start` prefilled, copied from a catalogue
// colour or a batch); on a save the new version's id comes back in it. True when saved.
bool EditOwnRecipe(HWND owner, OwnRecipeContext& context, OwnRecipeId& id, const OwnRecipe& start) noexcept;

// The manager: the own recipes with search, new, edit, copy, delete, history, import,
// export and the data folder.
void ShowOwnRecipeManager(HWND owner, OwnRecipeContext& context) noexcept;

}  // namespace lacqueron
