// Every path of the windows that reads or writes the data folder, run with the share
// stalled under it: the window keeps answering all along (the driver's steps run from
// its own message loop while a call waits in the share), and once the share is back
// the path completes: what another bench wrote shows, a table is imported, a batch is
// in the journal, the stock warning is told. It runs in the weighing tests' program,
// whose windows Wine shows unmanaged and so without a wait.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "core/Utf8.h"
#include "files/DataFolder.h"
#include "files/FileReplace.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "ledger/Costing.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "res/resource.h"
#include "tests/support/SampleBatch.h"
#include "tests/ui/shared/ShareAccess.h"
#include "tests/ui/shared/WindowReading.h"
#include "tests/ui/weigh/WeighHarness.h"
#include "ui/journal/JournalDialog.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/main/ShopData.h"
#include "ui/match/MatchWindow.h"
#include "ui/recipes/OwnRecipeWindows.h"
#include "win32/Handles.h"

namespace lacqueron::testing {
namespace {

// How long the share stalls under a path: the window must answer all along.
constexpr ULONGLONG kStallMs = 300;
// A window that never answered by then is frozen inside the share: the share goes, so
// the test fails instead of hanging.
constexpr DWORD kFrozenMs = 10000;
constexpr DWORD kDriverMs = 30000;
// The folder's worker ends on its own after the shop: its files may stay open a moment.
constexpr ULONGLONG kReleaseMs = 10000;
constexpr DWORD kReleasePollMs = 20;
constexpr UINT kLooked = WM_APP + 2;
constexpr int kPriceColumn = 2;
constexpr Kopecks kOtherBenchPrice = 123400;
constexpr Hundredths kLargeMinimum = 1000000;  // 10 kg of a paste the example pours grams of
constexpr wchar_t kManagerCaption[] = L"Свои рецепты";
constexpr wchar_t kPricesCaption[] = L"Цены";
constexpr wchar_t kStockCaption[] = L"Остатки";
constexpr wchar_t kSavingText[] = L"Сохранение...";
constexpr wchar_t kReadingText[] = L"Читается...";
constexpr wchar_t kHistoryCaption[] = L"История рецепта";
constexpr wchar_t kDeletedCaption[] = L"Удалённые рецепты";
constexpr wchar_t kJournalCaption[] = L"Журнал замесов";
constexpr wchar_t kMatchCaption[] = L"Подбор цвета";
constexpr wchar_t kMatchSearching[] = L"Идёт подбор...";
constexpr int kMatchLabKind = 2;
constexpr char16_t kFirstCode[] = u"К-1";
constexpr Thousandths kBaseAmount = 1000 * kThousandthsPerGram;

struct WindowDestroyer {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The window active again, as when the painter comes back to it: the first activation
// may not have come yet, so twice.
void Activate(HWND window) {
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
}

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

class StalledFolderTest;

struct StalledPath {
    const char* name;
    // Runs the window, modally; the share is stalled by the steps, or before the window
    // opens when its opening reads the folder.
    void (*run)(StalledFolderTest& test);
    std::vector<ModalDriver::Step> (*steps)(StalledFolderTest& test);
    // What the files hold once the window is done checked; a failure added when wrong.
    void (*check)(StalledFolderTest& test);
};

void NothingMore(StalledFolderTest&) {}

class StalledFolderTest : public ::testing::TestWithParam<StalledPath> {
public:
    // Stalls the share: whatever reaches it from now on waits until it is let go.
    void Stall() {
        stalledBefore_ = share_->StalledCalls();
        share_->Set(ShareState::kStalled);
    }

    // Run from the window's own loop while a call waits in the stalled share, once
    // `answering` holds: the window answers. The share is let go kStallMs later.
    ModalDriver::Step WhileStalled(std::function<bool()> answering) {
        return [this, answering] {
            if (stalledAt_ == 0) {
                if (share_->StalledCalls() == stalledBefore_ || !answering()) return false;
                stalledAt_ = GetTickCount64();
                answered_.Set();
            }
            if (GetTickCount64() - stalledAt_ < kStallMs) return false;
            share_->Set(ShareState::kUp);
            return true;
        };
    }

    // Closes the window once `done` holds.
    ModalDriver::Step CloseWhen(std::function<bool()> done) {
        return [this, done] {
            if (!window_ || !IsWindowEnabled(window_) || !done()) return false;
            PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
            return true;
        };
    }

    // The window with the caption found, kept as window_.
    bool Found(const wchar_t* caption) { return (window_ = FindDialog(caption)) != nullptr; }

    WideString Path(const wchar_t* name) const { return FromWinText((folder_ + name).c_str()); }

    // The other bench's stores, on the files themselves.
    OwnRecipeStore& OtherRecipes() { return *otherRecipes_; }
    LedgerStore& OtherLedger() { return *otherLedger_; }
    ShopData& Shop() { return *shop_; }
    // The shop's stores caught up with what the other bench wrote, before a window opens.
    void ShopCatchesUp() {
        shop_->Look(ShopData::Retry::kNow);
        shop_->Settle();
        shop_->Fill(ownContext_);
        shop_->Fill(ledgerContext_);
    }

    Catalogue catalogue_;
    ColourRecipe recipe_;
    std::shared_ptr<Share> share_ = std::make_shared<Share>();
    std::shared_ptr<ShareAccess> access_;
    OwnRecipeContext ownContext_;
    LedgerContext ledgerContext_;
    WeighRequest request_;
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    SeenBox seen_;
    ULONGLONG stalledAt_ = 0;
    EventHandle answered_ = EventHandle::ManualReset();

protected:
    void SetUp() override {
        test::AddExampleComponents(catalogue_);
        recipe_ = test::Recipe(test::kExampleItems);
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"lacqueron-stalled-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        // The journal and the windows' state lines follow the data folder in force.
        before_ = DataFolderPath();
        ASSERT_TRUE(StoreDataFolder(FromWinText(folder_.c_str())));
        owner_ = CreateOwnerWindow(100, 100, 900, 700);
        ASSERT_NE(owner_, nullptr);
        looks_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
        ASSERT_TRUE(looks_.get());

        WideString error;
        otherRecipes_ = OpenOwnRecipes(Path(L"recipes.lqr"), error);
        ASSERT_TRUE(otherRecipes_) << WinText(error);
        otherLedger_ = OpenLedger(Path(L"ledger.lqs"), error);
        ASSERT_TRUE(otherLedger_) << WinText(error);
        OwnRecipeId id = 0;
        ASSERT_EQ(otherRecipes_->Save(id, {kFirstCode, u"Бордо", u"", 0x281478u, {{u"B1", kBaseAmount}}, std::nullopt},
                                      CurrentBatchTime()),
                  JournalAppendResult::Appended);

        access_ = std::make_shared<ShareAccess>(share_, FromWinText(folder_.c_str()));
        shop_ = std::make_unique<ShopData>(catalogue_, std::chrono::hours(1), access_);
        shop_->Start(looks_.get(), kLooked);
        ownContext_.catalogue = &catalogue_;
        ledgerContext_.catalogue = &catalogue_;
        ShopCatchesUp();
        ASSERT_TRUE(ownContext_.store && ledgerContext_.ledger);

        request_.catalogue = &catalogue_;
        request_.recipe = &recipe_;
        request_.purpose = 4;
        request_.weightType = 1;
        request_.amount = 500;
        request_.journalPath = Path(L"journal.lqj");
        request_.openJournal = [access = access_](const WideString& path) { return access->OpenFile(path); };
    }

    void TearDown() override {
        share_->Set(ShareState::kUp);
        shop_.reset();
        otherRecipes_.reset();
        otherLedger_.reset();
        if (owner_) DestroyWindow(owner_);
        StoreDataFolder(before_ == LocalDataFolder() ? WideString() : before_);
        const ULONGLONG deadline = GetTickCount64() + kReleaseMs;
        for (const wchar_t* name : {L"recipes.lqr", L"ledger.lqs", L"journal.lqj", L"recipes.csv", L"prices.csv"}) {
            const std::wstring path = folder_ + name;
            while (!DeleteFileW(path.c_str()) && GetLastError() == ERROR_SHARING_VIOLATION && GetTickCount64() < deadline)
                Sleep(kReleasePollMs);
        }
        RemoveDirectoryW(folder_.c_str());
    }

private:
    std::wstring folder_;
    WideString before_;
    OwnedWindow looks_;
    std::unique_ptr<OwnRecipeStore> otherRecipes_;
    std::unique_ptr<LedgerStore> otherLedger_;
    std::unique_ptr<ShopData> shop_;
    int stalledBefore_ = 0;
};

void RunManager(StalledFolderTest& t) { ShowOwnRecipeManager(t.owner_, t.ownContext_); }
void RunPrices(StalledFolderTest& t) { ShowPrices(t.owner_, t.ledgerContext_); }
void RunWeighing(StalledFolderTest& t) { ShowWeighDialog(t.owner_, t.request_); }

// The list catches up with what another bench saved when the window is active again.
std::vector<ModalDriver::Step> ManagerCatchesUp(StalledFolderTest& t) {
    return {
        [&t] {
            if (!t.Found(kManagerCaption) || ListItemCount(t.window_, IDC_OWN_LIST) != 1) return false;
            OwnRecipeId id = 0;
            t.OtherRecipes().Save(id, {u"К-2", u"Синий", u"", 0x800000u, {{u"B1", kBaseAmount}}, std::nullopt}, CurrentBatchTime());
            t.Stall();
            Activate(t.window_);
            return true;
        },
        t.WhileStalled([&t] { return ListItemCount(t.window_, IDC_OWN_LIST) == 1; }),
        t.CloseWhen([&t] { return ListItemCount(t.window_, IDC_OWN_LIST) == 2; }),
    };
}

std::vector<ModalDriver::Step> PricesCatchUp(StalledFolderTest& t) {
    return {
        [&t] {
            if (!t.Found(kPricesCaption)) return false;
            PriceRecord price{LedgerComponents(t.catalogue_).front().key, kOtherBenchPrice, std::nullopt,
                              CurrentBatchTime()};
            t.OtherLedger().AddPrice(price);
            t.Stall();
            Activate(t.window_);
            return true;
        },
        t.WhileStalled([&t] { return ListCell(t.window_, IDC_PRICES_LIST, 0, kPriceColumn).empty(); }),
        t.CloseWhen([&t] {
            return ListCell(t.window_, IDC_PRICES_LIST, 0, kPriceColumn) == WinText(FormatRoubles(kOtherBenchPrice));
        }),
    };
}

// A list of older versions opened from the manager: read while the share stalls, the
// list empty and the window answering, filled once it is back; then both windows close.
std::vector<ModalDriver::Step> VersionsRead(StalledFolderTest& t, int button, const wchar_t* opening,
                                            const wchar_t* read, const wchar_t* code) {
    return {
        [&t, button] {
            if (!t.Found(kManagerCaption) || ListItemCount(t.window_, IDC_OWN_LIST) != 1) return false;
            SelectListRow(t.window_, IDC_OWN_LIST, 0);
            t.Stall();
            Click(t.window_, button);
            return true;
        },
        t.WhileStalled([&t, opening] {
            return t.Found(opening) && ListItemCount(t.window_, IDC_OWN_HISTORY_LIST) == 0 &&
                   WindowText(GetDlgItem(t.window_, IDC_OWN_HISTORY_SAVING)) == kReadingText;
        }),
        t.CloseWhen([&t, read, code] {
            return WindowText(t.window_) == read && ListItemCount(t.window_, IDC_OWN_HISTORY_LIST) == 1 &&
                   ListCell(t.window_, IDC_OWN_HISTORY_LIST, 0, 1) == code;
        }),
        [&t] {
            if (FindDialog(kHistoryCaption) || FindDialog(kDeletedCaption) || !t.Found(kManagerCaption) ||
                !IsWindowEnabled(t.window_))
                return false;
            PostMessageW(t.window_, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    };
}

std::vector<ModalDriver::Step> HistoryRead(StalledFolderTest& t) {
    return VersionsRead(t, IDC_OWN_HISTORY, kHistoryCaption, L"История рецепта К-1", L"К-1");
}

// The other bench deleted a recipe of its own before the manager opened.
void RunManagerWithDeleted(StalledFolderTest& t) {
    OwnRecipeId deleted = 0;
    t.OtherRecipes().Save(deleted, {u"К-3", u"Серый", u"", 0x808080u, {{u"B1", kBaseAmount}}, std::nullopt},
                          CurrentBatchTime());
    t.OtherRecipes().Delete(deleted, CurrentBatchTime());
    t.ShopCatchesUp();
    RunManager(t);
}

std::vector<ModalDriver::Step> DeletedRead(StalledFolderTest& t) {
    return VersionsRead(t, IDC_OWN_DELETED, kDeletedCaption, kDeletedCaption, L"К-3");
}

// The journal window opened over the shop's ledger reads the journal on the folder's worker.
void RunJournal(StalledFolderTest& t) {
    ASSERT_EQ(AppendBatchToJournal(test::SampleBatch(1), t.request_.journalPath), u"");
    t.Stall();
    ShowJournal(t.owner_, t.catalogue_, [](const BatchRecord&) { return false; }, t.request_.journalPath, {},
                &t.ledgerContext_);
}

std::vector<ModalDriver::Step> JournalRead(StalledFolderTest& t) {
    return {
        t.WhileStalled([&t] {
            return t.Found(kJournalCaption) && ListItemCount(t.window_, IDC_JOURNAL_LIST) == 0 &&
                   WindowText(GetDlgItem(t.window_, IDC_JOURNAL_TOTALS)) == kReadingText;
        }),
        t.CloseWhen([&t] { return ListItemCount(t.window_, IDC_JOURNAL_LIST) == 1; }),
    };
}

// The matching window kept to the pastes in stock: what is on hand is counted on the
// folder's worker before the search, the window answering meanwhile.
void RunMatch(StalledFolderTest& t) {
    t.OtherLedger().AddMinimum({u"P1", kLargeMinimum, CurrentBatchTime()});
    t.ShopCatchesUp();
    ASSERT_TRUE(t.Shop().KeepsStock());
    MatchContext context;
    context.catalogue = &t.catalogue_;
    context.purpose = t.request_.purpose;
    context.inStock = [&t](const MixComponent& paste) { return t.Shop().InStock(paste); };
    context.countStock = [&t] { return t.Shop().OnHandJob(); };
    context.writes = &t.Shop();
    ShowMatchWindow(t.owner_, context);
}

std::vector<ModalDriver::Step> StockCounted(StalledFolderTest& t) {
    const auto status = [&t] { return WindowText(GetDlgItem(t.window_, IDC_MATCH_STATUS)); };
    return {
        [&t] {
            if (!t.Found(kMatchCaption)) return false;
            HWND kind = GetDlgItem(t.window_, IDC_MATCH_KIND);
            SendMessageW(kind, CB_SETCURSEL, kMatchLabKind, 0);
            SendMessageW(t.window_, WM_COMMAND, MAKEWPARAM(IDC_MATCH_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
            SetDlgItemTextW(t.window_, IDC_MATCH_TEXT, L"52,3 -4,1 18");
            CheckDlgButton(t.window_, IDC_MATCH_IN_STOCK, BST_CHECKED);
            t.Stall();
            Click(t.window_, IDC_MATCH_RUN);
            return true;
        },
        t.WhileStalled([status] { return status() == kReadingText; }),
        // Nothing is on hand: the search over no paste is told, not left waiting.
        t.CloseWhen([status] {
            const std::wstring now = status();
            return !now.empty() && now != kReadingText && now != kMatchSearching;
        }),
    };
}

// The stock window reads the journal once it is up.
void RunStock(StalledFolderTest& t) {
    t.Stall();
    ShowStock(t.owner_, t.ledgerContext_);
}

std::vector<ModalDriver::Step> StockOpens(StalledFolderTest& t) {
    const auto state = [&t] { return WindowText(GetDlgItem(t.window_, IDC_STOCK_STATE)); };
    return {
        t.WhileStalled([&t, state] { return t.Found(kStockCaption) && Contains(state(), L"Журнал замесов читается..."); }),
        t.CloseWhen([&t, state] {
            return ListItemCount(t.window_, IDC_STOCK_LIST) > 0 && Contains(state(), L"Ниже минимума");
        }),
    };
}

// A table imported by the window: the file is chosen, its write stalls under "Сохранение...".
std::vector<ModalDriver::Step> Imports(StalledFolderTest& t, const wchar_t* caption, int importId, int stateId,
                                       const wchar_t* file) {
    return {
        [&t, caption, importId] {
            if (!t.Found(caption)) return false;
            Click(t.window_, importId);
            return true;
        },
        [&t, file] {
            HWND open = FindOwnedWindow(t.window_);
            if (!open) return false;
            t.Stall();
            ChooseFileName(open, std::wstring(WinText(t.Path(file))));
            return true;
        },
        t.WhileStalled([&t, stateId] { return WindowText(GetDlgItem(t.window_, stateId)) == kSavingText; }),
        AnswerBox(L"Импорт", IDOK, t.seen_),
        t.CloseWhen([&t, importId] { return IsWindowEnabled(GetDlgItem(t.window_, importId)) != FALSE; }),
    };
}

std::vector<ModalDriver::Step> RecipesImport(StalledFolderTest& t) {
    // The other bench's recipes as the manager exports them: imported, the code gets a new version.
    ReplaceFileContents(t.Path(L"recipes.csv"), ExportOwnRecipesCsv(t.OtherRecipes().Current()));
    return Imports(t, kManagerCaption, IDC_OWN_IMPORT, IDC_OWN_STATE, L"recipes.csv");
}

void RecipesImported(StalledFolderTest& t) {
    EXPECT_EQ(t.seen_.texts.empty() ? std::wstring() : t.seen_.texts.back(), L"Импортировано рецептов: 1.");
    t.OtherRecipes().Refresh();
    ASSERT_EQ(t.OtherRecipes().Current().size(), 1u);
    EXPECT_EQ(t.OtherRecipes().Current().front().versions, 2u);
}

std::vector<ModalDriver::Step> PricesImport(StalledFolderTest& t) {
    const LedgerComponent first = LedgerComponents(t.catalogue_).front();
    ReplaceFileContents(t.Path(L"prices.csv"), "\xEF\xBB\xBF" + ToUtf8(u"Код;Компонент;Цена за кг, ₽;Действует с\r\n" +
                                                                         first.key + u";" + first.name +
                                                                         u";1400,00;01.02.2026\r\n"));
    return Imports(t, kPricesCaption, IDC_PRICES_IMPORT, IDC_PRICES_STATE, L"prices.csv");
}

void PricesImported(StalledFolderTest& t) {
    EXPECT_EQ(t.seen_.texts.empty() ? std::wstring() : t.seen_.texts.back(), L"Импортировано цен: 1.");
    t.OtherLedger().Refresh();
    EXPECT_EQ(t.OtherLedger().Prices().size(), 1u);
}

// A batch left after a reading: its write stalls after the note, and the dialog closes
// once it landed.
std::vector<ModalDriver::Step> BatchWritten(StalledFolderTest& t) {
    return {
        Enter(L"480.77"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.19 г"),
        Press(IDC_WEIGH_CLOSE),
        AnswerBox(L"Подтверждение", IDYES, t.seen_),
        [&t] {
            HWND prompt = FindDialog(L"Замес в журнал");
            if (!prompt) return false;
            t.Stall();
            PostMessageW(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
        t.WhileStalled([] { return Weighing() != nullptr && !FindDialog(L"Замес в журнал"); }),
    };
}

void BatchInJournal(StalledFolderTest& t) {
    EXPECT_EQ(Weighing(), nullptr);
    WideString error;
    const auto journal = OpenJournal(t.request_.journalPath, error);
    ASSERT_TRUE(journal) << WinText(error);
    ASSERT_EQ(journal->Contents().BatchCount(), 1u);
    EXPECT_EQ(journal->Contents().Batch(0).status, BatchStatus::Abandoned);
}

// The stock warning before the first reading, worked out over the shop's stores.
void RunWarnedWeighing(StalledFolderTest& t) {
    t.OtherLedger().AddMinimum({u"P1", kLargeMinimum, CurrentBatchTime()});
    t.ShopCatchesUp();
    t.request_.writes = &t.Shop();
    t.request_.shortfalls = [&t](const std::vector<CostLine>& needed, WeighRequest::Shortfalls out) {
        return t.Shop().ShortfallsJob(needed, std::move(out));
    };
    t.Stall();
    ShowWeighDialog(t.owner_, t.request_);
}

std::vector<ModalDriver::Step> WarningTold(StalledFolderTest& t) {
    return {
        t.WhileStalled([] { return Weighing() != nullptr && Text(IDC_WEIGH_MESSAGE).empty(); }),
        [] {
            if (!Weighing() || Text(IDC_WEIGH_MESSAGE).rfind(L"Остатков мало: Yel", 0) != 0) return false;
            PostMessageW(GetDlgItem(Weighing(), IDC_WEIGH_CLOSE), BM_CLICK, 0, 0);
            return true;
        },
    };
}

TEST_P(StalledFolderTest, LeavesTheWindowAnsweringAndCompletesOnceTheShareIsBack) {
    const StalledPath& path = GetParam();
    ModalDriver driver(path.steps(*this), kDriverMs);
    std::thread watchdog([this] {
        if (!answered_.Wait(kFrozenMs)) share_->Set(ShareState::kDown);
    });
    path.run(*this);
    answered_.Set();
    watchdog.join();
    EXPECT_NE(stalledAt_, 0u) << "nothing of the path waited in the share while the window answered";
    ASSERT_TRUE(driver.Finished());
    path.check(*this);
}

const StalledPath kPaths[] = {
    {"ManagerCatchesUp", RunManager, ManagerCatchesUp, NothingMore},
    {"PricesCatchUp", RunPrices, PricesCatchUp, NothingMore},
    {"StockOpens", RunStock, StockOpens, NothingMore},
    {"RecipesImport", RunManager, RecipesImport, RecipesImported},
    {"PricesImport", RunPrices, PricesImport, PricesImported},
    {"BatchWritten", RunWeighing, BatchWritten, BatchInJournal},
    {"StockWarning", RunWarnedWeighing, WarningTold, NothingMore},
    {"HistoryRead", RunManager, HistoryRead, NothingMore},
    {"DeletedRead", RunManagerWithDeleted, DeletedRead, NothingMore},
    {"JournalRead", RunJournal, JournalRead, NothingMore},
    {"StockCounted", RunMatch, StockCounted, NothingMore},
};

INSTANTIATE_TEST_SUITE_P(Share, StalledFolderTest, ::testing::ValuesIn(kPaths),
                         [](const ::testing::TestParamInfo<StalledPath>& info) { return info.param.name; });

}  // namespace
}  // namespace lacqueron::testing
