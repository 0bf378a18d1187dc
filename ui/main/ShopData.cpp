#include "ui/main/ShopData.h"

#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

constexpr char16_t kStoreUnreachableTail[] =
    u"\n\nКаталог работает как прежде; свои рецепты появятся, когда папка данных станет доступна.";

// True when the path in force differs from the one in use. Out of memory for the path,
// the store in use stays.
template <typename PathOf>
bool FolderMoved(PathOf pathOf, const WideString& inUse) noexcept {
    try {
        return pathOf() != inUse;
    } catch (...) {
        return false;
    }
}

// When a try that ended now failed; none when it opened the store. Taken after the try,
// which may have waited long on a share that is gone.
std::optional<std::chrono::steady_clock::time_point> FailedAt(bool opened) noexcept {
    if (opened) return std::nullopt;
    return std::chrono::steady_clock::now();
}

}  // namespace

ShopData::ShopData(const Catalogue& catalogue, std::chrono::milliseconds retryInterval) noexcept
    : catalogue_(catalogue), retryInterval_(retryInterval) {}

ShopData::~ShopData() = default;

bool ShopData::Due(Retry retry, const std::optional<std::chrono::steady_clock::time_point>& failedAt) const noexcept {
    return retry == Retry::kNow || !failedAt || std::chrono::steady_clock::now() - *failedAt >= retryInterval_;
}

bool ShopData::ConnectOwnRecipes() noexcept {
    bool tell = false;
    try {
        storePath_ = OwnRecipesPath();
        WideString error;
        store_ = OpenOwnRecipes(storePath_, error);
        if (store_) {
            storeError_.clear();
            storeErrorTold_ = false;
            if (!store_->Damage().empty())
                storeNotice_ = u"Файл своих рецептов повреждён: показано то, что удалось прочитать. Файл не "
                               u"перезаписывается, новые рецепты дописываются после повреждения.\n\n" + storePath_;
            tell = !storeNotice_.empty();
        } else {
            storeError_ = error;
            if (!storeErrorTold_) {
                storeErrorTold_ = true;
                storeNotice_ = error + kStoreUnreachableTail;
                tell = true;
            }
        }
    } catch (...) {
        // Out of memory for a path or a text: the catalogue goes on alone, tried again later.
        store_.reset();
    }
    storeFailedAt_ = FailedAt(store_ != nullptr);
    return tell;
}

ShopData::OwnRecipesNews ShopData::RefreshOwnRecipes(Retry retry) noexcept {
    OwnRecipesNews news;
    if (!store_ && !Due(retry, storeFailedAt_)) return news;
    if (!store_ || FolderMoved(OwnRecipesPath, storePath_)) {
        news.tell = ConnectOwnRecipes();
        news.reload = true;
    } else {
        store_->Refresh();
        news.reload = store_->Revision() != rowsRevision_;
    }
    return news;
}

WideString ShopData::TakeNotice() noexcept {
    WideString notice;
    notice.swap(storeNotice_);
    return notice;
}

bool ShopData::ReadOwnRows(std::vector<OwnColourRow>& rows, std::vector<OwnRecipeId>& ids) noexcept {
    try {
        std::vector<OwnColourRow> readRows;
        std::vector<OwnRecipeId> readIds;
        if (store_) {
            const std::vector<OwnRecipeCurrent>& current = store_->Current();
            readRows.reserve(current.size());
            readIds.reserve(current.size());
            for (const OwnRecipeCurrent& own : current) {
                const std::int32_t number = OwnRowNumber(readRows.size());
                readRows.push_back({ToColourRecipe(own.recipe, number),
                                    {number, own.recipe.rgb, own.recipe.code, own.recipe.name}, own.recipe.note});
                readIds.push_back(own.id);
            }
        }
        rows.swap(readRows);
        ids.swap(readIds);
        rowsRevision_ = store_ ? std::optional(store_->Revision()) : std::nullopt;
        return true;
    } catch (...) {
        return false;
    }
}

void ShopData::ConnectLedger() noexcept {
    prices_.reset();
    stock_.reset();
    stockJournal_.reset();
    try {
        ledgerPath_ = LedgerPath();
        ledger_ = OpenLedger(ledgerPath_, ledgerError_);
        if (ledger_) ledgerError_.clear();
    } catch (...) {
        // Out of memory for the path: no costs until it is tried again.
        ledger_.reset();
    }
    ledgerFailedAt_ = FailedAt(ledger_ != nullptr);
    ReadPrices();
}

bool ShopData::RefreshLedger(Retry retry) noexcept {
    if (!ledger_ && !Due(retry, ledgerFailedAt_)) return false;
    if (!ledger_ || FolderMoved(LedgerPath, ledgerPath_)) {
        ConnectLedger();
        return true;
    }
    ledger_->Refresh();
    if (ledger_->Revision() == pricesRevision_) return false;
    ReadPrices();
    return true;
}

void ShopData::ReadPrices() noexcept {
    pricesRevision_ = ledger_ ? std::optional(ledger_->Revision()) : std::nullopt;
    try {
        if (ledger_ && !ledger_->Prices().empty())
            prices_.emplace(ledger_->Prices(), catalogue_);
        else
            prices_.reset();
    } catch (...) {
        prices_.reset();  // out of memory: no cost rather than a wrong one
    }
}

void ShopData::Fill(OwnRecipeContext& context) const {
    context.store = store_.get();
    context.storeError = storeError_;
}

void ShopData::Fill(LedgerContext& context) const {
    context.ledger = ledger_.get();
    context.ledgerError = ledgerError_;
}

void ShopData::Follow(OwnRecipeContext& context) const noexcept {
    context.store = store_.get();
    context.ledger = ledger_.get();
    try {
        context.storeError = storeError_;
        context.ledgerError = ledgerError_;
    } catch (...) {
        context.storeError.clear();
        context.ledgerError.clear();
    }
}

std::vector<StockRow> ShopData::StockShortfalls(const std::vector<CostLine>& needed) noexcept {
    try {
        if (!ledger_ || (ledger_->Receipts().empty() && ledger_->Counts().empty() && ledger_->Minimums().empty()))
            return {};
        if (!stockJournal_) {
            WideString error;
            stockJournal_ = OpenJournal(JournalPath(), error);
            if (!stockJournal_) return {};  // the weighing dialog tells about the journal itself
        } else if (stockJournal_->Refresh() != JournalLoadResult::Loaded) {
            return {};
        }
        if (stock_)
            stock_->CatchUp(*ledger_, stockJournal_->Contents());
        else
            stock_ = std::make_unique<StockAccount>(catalogue_, *ledger_, stockJournal_->Contents());
        return stock_->Shortfalls(needed, LocalDay(CurrentBatchTime()));
    } catch (...) {
        stock_.reset();  // out of memory: no warning, and counted afresh next time
        return {};
    }
}

}  // namespace lacqueron
