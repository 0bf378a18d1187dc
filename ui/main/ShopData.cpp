#include "ui/main/ShopData.h"

#include <algorithm>

#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

constexpr char16_t kStoreUnreachableTail[] =
    u"\n\nКаталог работает как прежде; свои рецепты появятся, когда папка данных станет доступна.";

// The folder as the painter reads it, without its closing separator.
WideString ShownFolder(WideString folder) {
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
    return folder;
}

}  // namespace

ShopData::ShopData(const Catalogue& catalogue, std::chrono::milliseconds retryInterval,
                   std::shared_ptr<FolderAccess> access) noexcept
    : catalogue_(catalogue), retryInterval_(retryInterval), access_(access ? std::move(access) : DataFolderAccess()) {}

ShopData::~ShopData() = default;

void ShopData::Start(HWND window, UINT message) noexcept {
    if (!access_ || worker_) return;
    window_ = window;
    message_ = message;
    // The worker only posts: a window gone meanwhile makes the post fail, nothing more.
    worker_ = FolderWorker::Start(access_, [window, message](LookGeneration generation) {
        PostMessageW(window, message, static_cast<WPARAM>(generation), 0);
    });
}

ShopData::News ShopData::Look(Retry retry) noexcept {
    if (lent_ > 0) return Written();
    if (awaited_ || !access_) return {};
    const bool whole = stores_.recipes && stores_.ledger;
    if (!whole && retry == Retry::kWhenDue && failedAt_ &&
        std::chrono::steady_clock::now() - *failedAt_ < retryInterval_)
        return {};
    if (worker_) {
        FolderHeld held = Held();
        awaited_ = worker_->Look(held);
        if (awaited_) return {};
        stores_ = std::move(held.stores);
    }
    return Install(LookAtFolder(*access_, Held()));
}

ShopData::News ShopData::OnLooked(WPARAM generation) noexcept {
    if (!worker_ || !awaited_ || *awaited_ != static_cast<LookGeneration>(generation)) return {};
    const bool follow = followed_ == awaited_;
    // A window's write is the window's to take while it runs.
    if (lent_ > 0 && !follow) {
        lookWaits_ = true;
        return {};
    }
    std::optional<FolderLook> look = worker_->Take(*awaited_);
    if (!look) return {};
    awaited_.reset();
    followed_.reset();
    News news = Install(std::move(*look));
    news.follow = follow;
    return news;
}

ShopData::News ShopData::Settle() noexcept {
    if (!worker_ || !awaited_ || lent_ > 0) return {};
    std::optional<FolderLook> look = worker_->WaitFor(*awaited_, kSettleLimit);
    if (!look) return {};
    awaited_.reset();
    followed_.reset();
    return Install(std::move(*look));
}

ShopData::News ShopData::LookHere() noexcept {
    if (awaited_ || !access_) return Written();
    // A window's own write caught its store up under the lock: unless the folder moved
    // or a store is missing or failing, there is nothing to read, and the share is not
    // asked on this thread.
    const auto answers = [](const auto& store) { return store && !store->Failing(); };
    if (answers(stores_.recipes) && answers(stores_.ledger)) {
        try {
            if (access_->Folder() == folder_) return Written();
        } catch (...) {
            // Out of memory: looked at as before.
        }
    }
    if (worker_) {
        FolderHeld held = Held();
        awaited_ = worker_->Look(held);
        if (awaited_) {
            followed_ = awaited_;
            return {};
        }
        stores_ = std::move(held.stores);
    }
    return Install(LookAtFolder(*access_, Held()));
}

std::optional<LookGeneration> ShopData::Write(FolderWrite write, FolderWorker::Notify told) noexcept {
    if (awaited_ || !write) return std::nullopt;
    if (worker_) {
        FolderWorker::Notify both;
        try {
            both = [told = std::move(told), window = window_, message = message_](LookGeneration generation) {
                if (told) told(generation);
                PostMessageW(window, message, static_cast<WPARAM>(generation), 0);
            };
        } catch (...) {
            return std::nullopt;  // out of memory: nothing started
        }
        FolderHeld held = Held();
        awaited_ = worker_->Write(held, std::move(write), std::move(both));
        if (!awaited_) stores_ = std::move(held.stores);
        return awaited_;
    }
    FolderHeld held = Held();
    // No thread could be made: the write runs here, and its outcome is told as the worker's is.
    writtenHere_ = WriteToFolder(*access_, std::move(held), write);
    writtenHere_->generation = ++lastWrittenHere_;
    awaited_ = writtenHere_->generation;
    if (told) told(*awaited_);
    return awaited_;
}

std::optional<JournalAppendResult> ShopData::TakeWritten(LookGeneration generation) noexcept {
    if (!awaited_ || *awaited_ != generation) return std::nullopt;
    std::optional<FolderLook> look;
    if (worker_)
        look = worker_->Take(generation);
    else
        look.swap(writtenHere_);
    if (!look || !look->written) return std::nullopt;
    awaited_.reset();
    // The stores handed over come back as they were; a failing one is opened afresh by
    // the next look.
    stores_ = std::move(look->stores);
    return look->written;
}

FolderHeld ShopData::Held() noexcept {
    FolderHeld held;
    held.stores = std::move(stores_);
    try {
        held.folder = folder_;
        held.read = folderRead_;
    } catch (...) {
        // Out of memory: no folder, so the look opens afresh.
    }
    return held;
}

ShopData::News ShopData::Written() noexcept {
    News news;
    news.reload = stores_.recipes && stores_.recipes->Revision() != rowsRevision_;
    if (stores_.ledger && stores_.ledger->Revision() != pricesRevision_) {
        ReadPrices();
        news.prices = true;
    }
    return news;
}

void ShopData::EndLend() noexcept {
    if (--lent_ > 0 || !lookWaits_) return;
    lookWaits_ = false;
    if (awaited_) PostMessageW(window_, message_, static_cast<WPARAM>(*awaited_), 0);
}

ShopData::News ShopData::Install(FolderLook look) noexcept {
    News news;
    news.looked = true;
    const bool folderMoved = look.folder != folder_;
    folder_.swap(look.folder);
    // Missing optics leave the vendor's table in force: nothing to tell, but the
    // calibration window says why it cannot keep one.
    stores_.optics = std::move(look.stores.optics);
    if (look.opticsReopened) opticsError_.swap(look.opticsError);
    try {
        InstallRecipes(look, folderMoved, news);
        InstallLedger(look, folderMoved, news);
    } catch (...) {
        // Out of memory for a text: the stores are in, their notice is not.
        stores_.recipes = std::move(look.stores.recipes);
        stores_.ledger = std::move(look.stores.ledger);
    }
    const bool whole = stores_.recipes && stores_.ledger;
    if (folderMoved) {
        folderRead_ = false;
        readAt_.reset();
    }
    if (stores_.recipes || stores_.ledger) folderRead_ = true;
    if (whole) readAt_ = CurrentBatchTime();
    failedAt_ = whole ? std::nullopt : std::optional(std::chrono::steady_clock::now());
    return news;
}

void ShopData::InstallRecipes(FolderLook& look, bool folderMoved, News& news) {
    stores_.recipes = std::move(look.stores.recipes);
    OwnRecipeStore* store = stores_.recipes.get();
    // The rows last read stay shown while the folder cannot be reached.
    news.reload = store ? look.recipesReopened || store->Revision() != rowsRevision_ : folderMoved;
    if (!look.recipesReopened) return;
    if (store) {
        storeError_.clear();
        storeErrorTold_ = false;
        if (!store->Damage().empty())
            storeNotice_ = u"Файл своих рецептов повреждён: показано то, что удалось прочитать. Файл не "
                           u"перезаписывается, новые рецепты дописываются после повреждения.\n\n" +
                           OwnRecipesPathIn(folder_);
    } else {
        storeError_ = look.recipesError;
        if (!storeErrorTold_) {
            storeErrorTold_ = true;
            storeNotice_ = storeError_ + kStoreUnreachableTail;
        }
    }
    news.tell = !storeNotice_.empty();
}

void ShopData::InstallLedger(FolderLook& look, bool folderMoved, News& news) {
    stores_.ledger = std::move(look.stores.ledger);
    if (look.ledgerReopened) {
        stock_.reset();
        ledgerError_ = stores_.ledger ? WideString() : look.ledgerError;
        // Told as a damaged journal is, with what could be read; new records go after the damage.
        if (const LedgerStore* ledger = stores_.ledger.get(); ledger && !ledger->Damage().empty()) {
            const std::size_t read = ledger->Prices().size() + ledger->Receipts().size() + ledger->Counts().size() +
                                     ledger->Minimums().size();
            if (!storeNotice_.empty()) storeNotice_ += u"\n\n";
            storeNotice_ += LogDamageMessage(kLedgerWords, read, ledger->Damage()) + u"\n" +
                            folder_ + kLedgerFileName;
            news.tell = true;
        }
    }
    // The prices last read stay in force while the folder cannot be reached.
    if (stores_.ledger ? look.ledgerReopened || stores_.ledger->Revision() != pricesRevision_ : folderMoved) {
        ReadPrices();
        news.prices = true;
    }
}

WideString ShopData::TakeNotice() noexcept {
    WideString notice;
    notice.swap(storeNotice_);
    return notice;
}

WideString ShopData::StatusText() const noexcept {
    try {
        if (awaited_ || (stores_.recipes && stores_.ledger) || failedAt_ == std::nullopt) return {};
        WideString text = u"Папка данных недоступна: " + ShownFolder(folder_) + u".";
        if (readAt_) text += u" Показаны данные на " + FormatBatchTime(*readAt_) + u".";
        return text;
    } catch (...) {
        return {};
    }
}

bool ShopData::ReadOwnRows(std::vector<OwnColourRow>& rows, std::vector<OwnRecipeId>& ids) noexcept {
    try {
        std::vector<OwnColourRow> readRows;
        std::vector<OwnRecipeId> readIds;
        const OwnRecipeStore* store = stores_.recipes.get();
        if (store) {
            const std::vector<OwnRecipeCurrent>& current = store->Current();
            readRows.reserve(current.size());
            readIds.reserve(current.size());
            for (const OwnRecipeCurrent& own : current) {
                const std::int32_t number = OwnRowNumber(readRows.size());
                std::optional<colour::Lab> target;
                if (const std::optional<OwnTarget>& kept = own.recipe.target)
                    target = colour::Lab{kept->l, kept->a, kept->b};
                readRows.push_back({ToColourRecipe(own.recipe, number),
                                    {number, own.recipe.rgb, own.recipe.code, own.recipe.name}, own.recipe.note,
                                    target});
                readIds.push_back(own.id);
            }
        }
        rows.swap(readRows);
        ids.swap(readIds);
        rowsRevision_ = store ? std::optional(store->Revision()) : std::nullopt;
        return true;
    } catch (...) {
        return false;
    }
}

void ShopData::ReadPrices() noexcept {
    const LedgerStore* ledger = stores_.ledger.get();
    pricesRevision_ = ledger ? std::optional(ledger->Revision()) : std::nullopt;
    try {
        if (ledger && !ledger->Prices().empty())
            prices_.emplace(ledger->Prices(), catalogue_);
        else
            prices_.reset();
    } catch (...) {
        prices_.reset();  // out of memory: no cost rather than a wrong one
    }
}

WideString ShopData::MissingText(const WideString& error) const {
    if (!error.empty() || !awaited_) return error;
    return u"Папка данных не отвечает: " + ShownFolder(folder_);
}

void ShopData::Fill(OwnRecipeContext& context) {
    context.writes = this;
    context.store = stores_.recipes.get();
    context.storeError = context.store ? WideString() : MissingText(storeError_);
}

void ShopData::Fill(LedgerContext& context) {
    context.writes = this;
    context.ledger = stores_.ledger.get();
    context.ledgerError = context.ledger ? WideString() : MissingText(ledgerError_);
}

void ShopData::Fill(CalibrationContext& context) {
    context.writes = this;
    context.optics = stores_.optics.get();
    context.opticsError = context.optics ? WideString() : MissingText(opticsError_);
}

void ShopData::Follow(OwnRecipeContext& context) const noexcept {
    context.store = stores_.recipes.get();
    context.ledger = stores_.ledger.get();
    try {
        context.storeError = context.store ? WideString() : MissingText(storeError_);
        context.ledgerError = context.ledger ? WideString() : MissingText(ledgerError_);
    } catch (...) {
        context.storeError.clear();
        context.ledgerError.clear();
    }
}

StockAccount* ShopData::StockCount::CaughtUp(const Catalogue& catalogue, const LedgerStore& ledger) {
    if (!journal) {
        WideString error;
        journal = OpenJournal(journalPath, error);
        if (!journal) return nullptr;  // the weighing dialog tells about the journal itself
    } else if (journal->Refresh() != JournalLoadResult::Loaded) {
        return nullptr;
    }
    if (account)
        account->CatchUp(ledger, journal->Contents());
    else
        account = std::make_unique<StockAccount>(catalogue, ledger, journal->Contents());
    return account.get();
}

ShopData::StockCount& ShopData::Count() {
    if (!stock_) {
        auto count = std::make_shared<StockCount>();
        count->journalPath = JournalPath();
        stock_ = std::move(count);
    }
    return *stock_;
}

bool ShopData::KeepsStock() const noexcept {
    const LedgerStore* ledger = stores_.ledger.get();
    return ledger && !(ledger->Receipts().empty() && ledger->Counts().empty() && ledger->Minimums().empty());
}

FolderWrite ShopData::ShortfallsJob(std::vector<CostLine> needed, std::shared_ptr<std::vector<StockRow>> out) {
    if (!KeepsStock()) return {};
    Count();
    return [count = stock_, catalogue = &catalogue_, needed = std::move(needed), out = std::move(out),
            today = LocalDay(CurrentBatchTime())](OwnRecipeStore*, LedgerStore* ledger, OpticsStore*) {
        if (ledger == nullptr) return JournalAppendResult::WriteFailed;
        try {
            if (const StockAccount* stock = count->CaughtUp(*catalogue, *ledger)) *out = stock->Shortfalls(needed, today);
        } catch (...) {
            count->account.reset();  // out of memory: no warning, and counted afresh next time
            throw;
        }
        return JournalAppendResult::Appended;
    };
}

FolderWrite ShopData::OnHandJob() {
    if (!KeepsStock()) return {};
    Count();
    return [count = stock_, catalogue = &catalogue_, today = LocalDay(CurrentBatchTime())](
               OwnRecipeStore*, LedgerStore* ledger, OpticsStore*) {
        if (ledger == nullptr) return JournalAppendResult::WriteFailed;
        count->onHand.clear();
        try {
            const StockAccount* stock = count->CaughtUp(*catalogue, *ledger);
            if (stock == nullptr) return JournalAppendResult::WriteFailed;  // nothing on hand rather than a guess
            for (const StockRow& row : stock->Rows(today))
                if (stock->InStock(row.key, today)) count->onHand.push_back(row.key);
        } catch (...) {
            count->account.reset();  // out of memory: nothing on hand, and counted afresh next time
            count->onHand.clear();
            throw;
        }
        std::sort(count->onHand.begin(), count->onHand.end());
        return JournalAppendResult::Appended;
    };
}

bool ShopData::InStock(const MixComponent& component) const noexcept {
    try {
        return stock_ && std::binary_search(stock_->onHand.begin(), stock_->onHand.end(), LedgerKey(component));
    } catch (...) {
        return false;
    }
}

}  // namespace lacqueron
