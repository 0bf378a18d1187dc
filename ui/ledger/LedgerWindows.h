// The windows of the shop's ledger: prices, and stock with deliveries and counts.
#pragma once

#include <windows.h>

#include <functional>

#include "data/catalogue/Catalogue.h"
#include "journal/JournalStore.h"
#include "ledger/Ledger.h"
#include "shop/FolderWorker.h"

namespace lacqueron {

// Borrowed for a window's run.
struct LedgerContext {
    const Catalogue* catalogue = nullptr;
    LedgerStore* ledger = nullptr;  // null when the data folder cannot be reached
    WideString ledgerError;         // why it is null
    // Called after every record written, so the main dialog's cost line follows.
    std::function<void()> changed;
    // What the windows write to the ledger through, off their thread; null writes on the
    // window's thread (a window test's own ledger).
    FolderWrites* writes = nullptr;
};

// "Цены": every component of the package with its price per kilogram and the date it
// was set; editing keeps the history; CSV import and export.
void ShowPrices(HWND owner, LedgerContext& context) noexcept;

// "Остатки": each component's paste on hand, used in 30 days, days left and minimum,
// with deliveries ("Приход..."), counts ("Инвентаризация...") and CSV exports. Reads
// the journal at the data folder's path itself.
void ShowStock(HWND owner, LedgerContext& context) noexcept;

}  // namespace lacqueron
