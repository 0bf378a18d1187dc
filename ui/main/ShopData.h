// The main window's link to the shop's data folder: the own recipes' store, the ledger
// with its prices, and the journal stock is counted from. A worker opens them, opens
// them again when the folder moved, failed or could not be reached, and reads what
// other benches wrote; the window takes each look by message. No window of its own:
// what the window must do comes back from the calls.
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
#include "shop/FolderWorker.h"
#include "ui/calibration/CalibrationDialog.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/recipes/OwnRecipeWindows.h"

namespace lacqueron {

// Opening a file on a share that is gone can take the system's whole timeout, so an
// activation tries a store that failed again only this long after the last try ended.
inline constexpr std::chrono::milliseconds kUnreachableRetryInterval = std::chrono::seconds(10);

// A window about to open over the stores waits at most this long for a look under way;
// a share slower than that is as good as gone for that window.
inline constexpr std::chrono::milliseconds kSettleLimit = std::chrono::seconds(2);

class ShopData final : public FolderWrites {
public:
    // kNow when the painter asked (F5, a window opened); kWhenDue at an activation.
    enum class Retry { kNow, kWhenDue };

    // What a look brought that the window acts on.
    struct News {
        bool reload = false;  // the own rows are to be read again
        bool tell = false;    // a notice waits: TakeNotice once the window is up
        bool prices = false;  // the prices were read again: the cost line follows
        bool looked = false;  // a look came back: the status line follows
        bool follow = false;  // the stores came back from a look the running windows wait for
    };

    // Borrows the catalogue for its life. Without an access, the program's own (Win32).
    explicit ShopData(const Catalogue& catalogue,
                      std::chrono::milliseconds retryInterval = kUnreachableRetryInterval,
                      std::shared_ptr<FolderAccess> access = nullptr) noexcept;
    ~ShopData() override;
    ShopData(const ShopData&) = delete;
    ShopData& operator=(const ShopData&) = delete;

    // Starts the worker that opens and catches up the stores; each look it finishes is
    // posted to the window as `message` with its generation in wParam. Without a worker
    // (no thread could be made) a look runs on the calling thread.
    void Start(HWND window, UINT message) noexcept;
    // Asks for a look: the stores catch up, and a missing or failing one is opened again,
    // at an activation only once the retry interval passed since the last failed look.
    // While a look is under way nothing more is asked; while a window holds the stores
    // only what its own writes changed comes back.
    News Look(Retry retry) noexcept;
    // The look the message told of; a stale one is dropped.
    News OnLooked(WPARAM generation) noexcept;
    // Waits at most kSettleLimit for a look under way, before a window opens.
    News Settle() noexcept;
    // After a window wrote to the stores or moved the folder: what its writes changed,
    // or, when the folder moved or a store is missing or failing, a look on the worker
    // that the running windows wait for without the stores (Follow), taken by message
    // although they run (News::follow). Without a worker the look runs here.
    News LookHere() noexcept;

    // Held while a window runs over the stores or the prices: no look takes them away
    // or replaces them meanwhile; a look that comes back then is taken after.
    class Lend {
    public:
        explicit Lend(ShopData& shop) noexcept : shop_(shop) { ++shop_.lent_; }
        ~Lend() { shop_.EndLend(); }
        Lend(const Lend&) = delete;
        Lend& operator=(const Lend&) = delete;

    private:
        ShopData& shop_;
    };

    // A window's write, on the worker as a look is: the stores go with it and come back
    // when the window takes the outcome; the main window is told as well, and takes them
    // back itself once the windows ended without taking it. Without a worker it runs on
    // this thread, and is told all the same.
    std::optional<LookGeneration> Write(FolderWrite write, FolderWorker::Notify told) noexcept override;
    std::optional<JournalAppendResult> TakeWritten(LookGeneration generation) noexcept override;
    bool Away() const noexcept override { return awaited_.has_value(); }

    // Whether a look or a write is under way (it has the stores).
    bool LookUnderWay() const noexcept { return awaited_.has_value(); }
    // The next look tells an unreachable folder again.
    void TellUnreachableAgain() noexcept { storeErrorTold_ = false; }
    // The waiting notice, which is forgotten; empty when there is none.
    WideString TakeNotice() noexcept;
    // "Папка данных недоступна: <путь>. Показаны данные на <время>." while a store of
    // the folder cannot be reached; empty while both can.
    WideString StatusText() const noexcept;
    // The store's recipes as list rows numbered after the catalogue's, and their ids
    // beside them; none without a store. False, with both untouched, out of memory.
    bool ReadOwnRows(std::vector<OwnColourRow>& rows, std::vector<OwnRecipeId>& ids) noexcept;
    // Reads the prices again after the ledger changed.
    void ReadPrices() noexcept;

    // Null while the data folder cannot be reached, or a look has them.
    OwnRecipeStore* OwnRecipes() const noexcept { return stores_.recipes.get(); }
    LedgerStore* Ledger() const noexcept { return stores_.ledger.get(); }
    const OpticsStore* Optics() const noexcept { return stores_.optics.get(); }
    // Null while the ledger keeps no price; the last prices read while it cannot be reached.
    const PriceBook* Prices() const noexcept { return prices_ ? &*prices_ : nullptr; }

    // The stores and why they are missing, for a window's run; may throw out of memory.
    void Fill(OwnRecipeContext& context);
    void Fill(LedgerContext& context);
    void Fill(CalibrationContext& context);
    // The stores after a look, into a window's context that is running; never throws.
    void Follow(OwnRecipeContext& context) const noexcept;

    // The job that works out into `out` what a batch of these weights would leave below
    // zero or below a minimum, run over the stores as a window's write is; empty while the
    // shop keeps no stock. The journal is read the first time and caught up after. May
    // throw out of memory.
    FolderWrite ShortfallsJob(std::vector<CostLine> needed, std::shared_ptr<std::vector<StockRow>> out);
    // Whether the shop keeps stock (a delivery, a count or a minimum), and whether some of
    // a component is on hand, read as StockShortfalls reads it.
    bool KeepsStock() const noexcept;
    // The job that counts, over the stores as a window's write is, which pastes are on
    // hand today; InStock answers from its count once the window took it, and reads no
    // file. Empty while the shop keeps no stock. May throw out of memory.
    FolderWrite OnHandJob();
    bool InStock(const MixComponent& component) const noexcept;

private:
    // The journal stock is counted from, kept open, and the account over it; a job on the
    // worker has it alone while it runs.
    struct StockCount {
        WideString journalPath;
        std::unique_ptr<JournalStore> journal;
        std::unique_ptr<StockAccount> account;
        // The pastes on hand as OnHandJob last counted them, sorted; written by the job
        // alone, read once the window took it.
        std::vector<ComponentKey> onHand;
        // The account caught up with the ledger and the journal; null while the journal
        // cannot be read. May throw out of memory.
        StockAccount* CaughtUp(const Catalogue& catalogue, const LedgerStore& ledger);
    };
    // The count kept, made at the first call; may throw out of memory.
    StockCount& Count();
    // What a look is handed: the stores, which go with it.
    FolderHeld Held() noexcept;
    // Takes what a look found in place of what the window had.
    News Install(FolderLook look) noexcept;
    void InstallRecipes(FolderLook& look, bool folderMoved, News& news);
    void InstallLedger(FolderLook& look, bool folderMoved, News& news);
    // What a window's own writes changed, with no file read.
    News Written() noexcept;
    // The last lend ended: a look that came back meanwhile is told again.
    void EndLend() noexcept;
    // Why a store is missing, for a window: its error, or the folder not answering.
    WideString MissingText(const WideString& error) const;

    const Catalogue& catalogue_;
    const std::chrono::milliseconds retryInterval_;
    std::shared_ptr<FolderAccess> access_;
    std::unique_ptr<FolderWorker> worker_;
    HWND window_ = nullptr;  // told of every look done, as message_
    UINT message_ = 0;
    std::optional<LookGeneration> awaited_;  // the look or write under way, which has the stores
    std::optional<LookGeneration> followed_;  // the look the running windows wait for
    std::optional<FolderLook> writtenHere_;  // a write done on this thread, not taken yet
    LookGeneration lastWrittenHere_ = 0;
    int lent_ = 0;                           // windows running over the stores
    bool lookWaits_ = false;                 // a look came back while they ran
    FolderStores stores_;                    // null where the data folder cannot be reached
    WideString folder_;                      // the folder of stores_
    bool folderRead_ = false;                // a store of it was ever opened
    WideString storeError_;
    bool storeErrorTold_ = false;
    WideString storeNotice_;
    WideString ledgerError_;
    WideString opticsError_;
    std::optional<std::chrono::steady_clock::time_point> failedAt_;  // when the last failed look ended
    std::optional<BatchTime> readAt_;  // when both stores last read
    // The store revisions the rows and the prices were last read at: a recipe or ledger
    // window may have written since.
    std::optional<std::uint64_t> rowsRevision_;
    std::optional<std::uint64_t> pricesRevision_;
    std::optional<PriceBook> prices_;  // of stores_.ledger; none while it keeps no price
    std::shared_ptr<StockCount> stock_;
};

}  // namespace lacqueron
