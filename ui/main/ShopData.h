// The main window's link to the shop's data folder: the own recipes' store, the ledger
// with its prices, and the journal stock is counted from. It opens them, opens them
// again when the folder moved or could not be reached, and reads what other benches
// wrote. No window of its own: what the window must do comes back from the calls.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "data/catalogue/Catalogue.h"
#include "journal/JournalStore.h"
#include "ledger/Costing.h"
#include "ledger/Ledger.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "search/ColourIndex.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/recipes/OwnRecipeWindows.h"

namespace lacqueron {

// Opening a file on a share that is gone can take the system's whole timeout, so an
// activation tries a store that failed again only this long after the last try ended.
inline constexpr std::chrono::milliseconds kUnreachableRetryInterval = std::chrono::seconds(10);

class ShopData {
public:
    // kNow when the painter asked (F5, a window opened); kWhenDue at an activation.
    enum class Retry { kNow, kWhenDue };

    // What a look at the own recipes asks of the window.
    struct OwnRecipesNews {
        bool reload = false;  // the rows are to be read again
        bool tell = false;    // a notice waits: TakeNotice once the window is up
    };

    // Borrows the catalogue for its life.
    explicit ShopData(const Catalogue& catalogue,
                      std::chrono::milliseconds retryInterval = kUnreachableRetryInterval) noexcept;
    ~ShopData();
    ShopData(const ShopData&) = delete;
    ShopData& operator=(const ShopData&) = delete;

    // Opens the own recipes in the data folder. A folder that cannot be reached is told
    // once (tell), and tried again at the next refresh; a damaged file is told each time.
    bool ConnectOwnRecipes() noexcept;
    // Reads what other benches saved; connects first when there is no store or the
    // folder moved.
    OwnRecipesNews RefreshOwnRecipes(Retry retry) noexcept;
    // The next refresh tells an unreachable folder again.
    void TellUnreachableAgain() noexcept { storeErrorTold_ = false; }
    // The waiting notice, which is forgotten; empty when there is none.
    WideString TakeNotice() noexcept;
    // The store's recipes as list rows numbered after the catalogue's, and their ids
    // beside them; none without a store. False, with both untouched, out of memory.
    bool ReadOwnRows(std::vector<OwnColourRow>& rows, std::vector<OwnRecipeId>& ids) const noexcept;

    // Opens the ledger in the data folder, quietly: without it there are no prices.
    void ConnectLedger() noexcept;
    // Reads what other benches recorded, connecting first when there is no ledger or
    // the folder moved; true when the prices were read again.
    bool RefreshLedger(Retry retry) noexcept;
    // Reads the prices again after the ledger changed.
    void ReadPrices() noexcept;

    OwnRecipeStore* OwnRecipes() const noexcept { return store_.get(); }
    LedgerStore* Ledger() const noexcept { return ledger_.get(); }
    // Null while the ledger keeps no price.
    const PriceBook* Prices() const noexcept { return prices_ ? &*prices_ : nullptr; }

    // The stores and why they are missing, for a window's run; may throw out of memory.
    void Fill(OwnRecipeContext& context) const;
    void Fill(LedgerContext& context) const;
    // The stores after a refresh, into a window's context that is running; never throws.
    void Follow(OwnRecipeContext& context) const noexcept;

    // What a batch of these weights would leave below zero or below a minimum; none
    // while the shop keeps no stock. The journal is read the first time and caught up after.
    std::vector<StockRow> StockShortfalls(const std::vector<CostLine>& needed) noexcept;

private:
    // Whether a store that is missing is tried now.
    bool Due(Retry retry, const std::optional<std::chrono::steady_clock::time_point>& failedAt) const noexcept;

    const Catalogue& catalogue_;
    const std::chrono::milliseconds retryInterval_;
    std::unique_ptr<OwnRecipeStore> store_;  // null while the data folder cannot be reached
    WideString storePath_;
    WideString storeError_;
    bool storeErrorTold_ = false;
    WideString storeNotice_;
    std::optional<std::chrono::steady_clock::time_point> storeFailedAt_;  // when the last try ended
    std::unique_ptr<LedgerStore> ledger_;  // null while the data folder cannot be reached
    WideString ledgerPath_;
    WideString ledgerError_;
    std::optional<std::chrono::steady_clock::time_point> ledgerFailedAt_;
    std::optional<PriceBook> prices_;  // of ledger_; none while it keeps no price
    std::unique_ptr<JournalStore> stockJournal_;
    std::unique_ptr<StockAccount> stock_;
};

}  // namespace lacqueron
