// The main window's link to the data folder, a message-only window standing for the
// main window: the stores opened on the worker and taken by message; a folder that
// cannot be reached told once, and again when F5 asks; an activation trying it again
// only once due, F5 at once; a folder renamed away shown in the status line with the
// time of the figures shown, never made again empty, and read again once it is back;
// a damaged ledger told with what could be read; a share that stalls leaving the
// window's thread free, also when a window moved the folder while it runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "files/OpticsAccess.h"
#include "ui/main/ShopData.h"
#include "win32/Handles.h"

namespace lacqueron::testing {
namespace {

using namespace std::chrono_literals;

constexpr char16_t kUnreachableTail[] =
    u"\n\nКаталог работает как прежде; свои рецепты появятся, когда папка данных станет доступна.";
constexpr char16_t kStatusStart[] = u"Папка данных недоступна: ";
// Longer than any test runs: no activation is due within it.
constexpr std::chrono::milliseconds kNeverDue = std::chrono::hours(1);
constexpr std::chrono::milliseconds kAlwaysDue{0};
// Longer than a look at a folder that answers ever takes under Wine on a busy machine.
constexpr DWORD kLookLimitMs = 10000;
// What "at once" means for the window's thread while the share stalls.
constexpr auto kAtOnce = 500ms;
constexpr UINT kLooked = WM_APP + 2;

using Retry = ShopData::Retry;
using Clock = std::chrono::steady_clock;

// The program's own access, with a share that can stall: every look waits, inside the
// file layer, until the stall is let go; or only the opening of the recipes does.
class StallingAccess final : public FolderAccess {
public:
    void Stall() { stalled_ = true; }
    void StallOpening() { opening_ = true; }
    void LetGo() {
        stalled_ = false;
        opening_ = false;
        released_.Set();
    }
    bool Stalled() const { return inside_; }

    WideString Folder() override {
        if (stalled_) Wait();
        return real_->Folder();
    }
    void MakeFolder(const WideString& folder) override { real_->MakeFolder(folder); }
    bool FolderThere(const WideString& folder) override { return real_->FolderThere(folder); }
    std::unique_ptr<OwnRecipeStore> OpenRecipes(const WideString& folder, WideString& error) override {
        if (opening_) Wait();
        return real_->OpenRecipes(folder, error);
    }
    std::unique_ptr<LedgerStore> OpenLedger(const WideString& folder, WideString& error) override {
        return real_->OpenLedger(folder, error);
    }
    std::unique_ptr<OpticsStore> OpenOptics(const WideString& folder, WideString& error) override {
        return real_->OpenOptics(folder, error);
    }

private:
    void Wait() {
        inside_ = true;
        released_.Wait(INFINITE);
    }

    const std::shared_ptr<FolderAccess> real_ = DataFolderAccess();
    const EventHandle released_ = EventHandle::ManualReset();
    std::atomic<bool> stalled_{false};
    std::atomic<bool> opening_{false};
    std::atomic<bool> inside_{false};
};

class ShopDataTest : public ::testing::Test {
protected:
    // The data folder sits in a parent that is not there yet, so it cannot be made.
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        const std::string pid = std::to_string(GetCurrentProcessId());
        parent_ = FromWinText(temp) + u"lacqueron-shop-" + WideString(pid.begin(), pid.end());
        folder_ = parent_ + u"\\data";
        away_ = parent_ + u"\\away";
        RemoveFolders();  // what a run that crashed left
        ASSERT_TRUE(StoreDataFolder(folder_));
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        StoreDataFolder(u"");
        RemoveFolders();
    }

    void RemoveFolders() const {
        for (const WideString& folder : {folder_, away_}) {
            for (const char16_t* name : {u"\\recipes.lqr", u"\\ledger.lqs", u"\\optics.lqo"})
                DeleteFileW(WinText(folder + name));
            RemoveDirectoryW(WinText(folder));
        }
        RemoveDirectoryW(WinText(parent_));
    }

    void FolderComesBack() const { ASSERT_TRUE(CreateDirectoryW(WinText(parent_), nullptr)); }

    // The look the worker posts, taken as the main window takes it; a failure when none
    // comes within the limit.
    ShopData::News Looked(ShopData& shop) const {
        const ULONGLONG deadline = GetTickCount64() + kLookLimitMs;
        MSG message{};
        while (!PeekMessageW(&message, window_, kLooked, kLooked, PM_REMOVE)) {
            if (GetTickCount64() > deadline) {
                ADD_FAILURE() << "no look came back";
                return {};
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_POSTMESSAGE);
        }
        return shop.OnLooked(message.wParam);
    }

    // The shop started over the folder that answers, its first look taken: its stores are open.
    bool Opened(ShopData& shop) const {
        shop.Start(window_, kLooked);
        shop.Look(Retry::kNow);
        Looked(shop);
        return shop.OwnRecipes() != nullptr;
    }

    // Takes the notice and checks it is the unreachable folder's.
    static void ExpectUnreachableNotice(ShopData& shop) {
        const WideString notice = shop.TakeNotice();
        const WideString tail = kUnreachableTail;
        ASSERT_GT(notice.size(), tail.size());
        EXPECT_EQ(notice.substr(notice.size() - tail.size()), tail);
        EXPECT_TRUE(shop.TakeNotice().empty());
    }

    static constexpr DWORD kPollMs = 20;
    Catalogue catalogue_;
    WideString parent_;
    WideString folder_;
    WideString away_;
    HWND window_ = nullptr;
};

TEST_F(ShopDataTest, AnActivationLeavesAFailedFolderAloneUntilDueAndF5TriesItAtOnce) {
    ShopData shop(catalogue_, kNeverDue);
    shop.Start(window_, kLooked);
    EXPECT_FALSE(shop.Look(Retry::kNow).looked);  // on the worker
    EXPECT_TRUE(shop.LookUnderWay());
    EXPECT_TRUE(Looked(shop).tell);
    EXPECT_EQ(shop.OwnRecipes(), nullptr);
    EXPECT_EQ(shop.Ledger(), nullptr);
    ExpectUnreachableNotice(shop);
    // Never read: no time to give.
    EXPECT_EQ(shop.StatusText(), kStatusStart + folder_ + u".");

    FolderComesBack();
    shop.Look(Retry::kWhenDue);
    EXPECT_FALSE(shop.LookUnderWay());
    shop.Look(Retry::kNow);
    ASSERT_TRUE(shop.LookUnderWay());
    const ShopData::News f5 = Looked(shop);
    EXPECT_TRUE(f5.reload);
    EXPECT_FALSE(f5.tell);
    EXPECT_NE(shop.OwnRecipes(), nullptr);
    EXPECT_NE(shop.Ledger(), nullptr);
    EXPECT_EQ(shop.Prices(), nullptr);  // the new ledger keeps no price
    EXPECT_EQ(shop.StatusText(), u"");
}

TEST_F(ShopDataTest, AFolderStillUnreachableIsToldAgainOnlyWhenAskedFor) {
    ShopData shop(catalogue_, kAlwaysDue);
    shop.Start(window_, kLooked);
    shop.Look(Retry::kNow);
    EXPECT_TRUE(Looked(shop).tell);
    ExpectUnreachableNotice(shop);

    // Due, so an activation tries again, quietly.
    shop.Look(Retry::kWhenDue);
    ASSERT_TRUE(shop.LookUnderWay());
    EXPECT_FALSE(Looked(shop).tell);
    EXPECT_TRUE(shop.TakeNotice().empty());

    shop.TellUnreachableAgain();
    shop.Look(Retry::kNow);
    EXPECT_TRUE(Looked(shop).tell);
    ExpectUnreachableNotice(shop);
    EXPECT_EQ(shop.OwnRecipes(), nullptr);
}

TEST_F(ShopDataTest, AFolderRenamedAwayShowsSinceWhenAndComesBackAtF5) {
    FolderComesBack();
    ShopData shop(catalogue_, kNeverDue);
    shop.Start(window_, kLooked);
    shop.Look(Retry::kNow);
    Looked(shop);
    ASSERT_NE(shop.OwnRecipes(), nullptr);
    OwnRecipeId id = 0;
    ASSERT_EQ(shop.OwnRecipes()->Save(id, {u"К-1", u"Проба", u"", 0x336699, {{u"B1", 1000000}}}, CurrentBatchTime()),
              JournalAppendResult::Appended);

    ASSERT_TRUE(MoveFileW(WinText(folder_), WinText(away_)));
    shop.Look(Retry::kWhenDue);  // the stores were whole: an activation looks at once
    ASSERT_TRUE(shop.LookUnderWay());
    const ShopData::News gone = Looked(shop);
    EXPECT_FALSE(gone.reload);  // the rows read last stay shown
    EXPECT_EQ(shop.OwnRecipes(), nullptr);
    EXPECT_EQ(shop.Ledger(), nullptr);
    const WideString status = shop.StatusText();
    const WideString start = kStatusStart + folder_ + u". Показаны данные на ";
    ASSERT_EQ(status.substr(0, start.size()), start);
    EXPECT_EQ(status.size(), start.size() + std::size(u"08.12.2026 15:42.") - 1);
    // Not made again empty, by the worker nor by a window asking where the folder is.
    EXPECT_EQ(shop.StatusText(), status);
    EXPECT_EQ(JournalPath(), folder_ + u"\\journal.lqj");
    EXPECT_EQ(GetFileAttributesW(WinText(folder_)), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(MoveFileW(WinText(away_), WinText(folder_)));
    shop.Look(Retry::kWhenDue);
    EXPECT_FALSE(shop.LookUnderWay());  // not due yet
    shop.Look(Retry::kNow);
    const ShopData::News back = Looked(shop);
    EXPECT_TRUE(back.reload);
    ASSERT_NE(shop.OwnRecipes(), nullptr);
    ASSERT_EQ(shop.OwnRecipes()->Current().size(), 1u);
    EXPECT_EQ(shop.OwnRecipes()->Current()[0].recipe.code, u"К-1");
    EXPECT_EQ(shop.StatusText(), u"");
}

// A calibration another bench kept in the shared folder is in force here after a look.
TEST_F(ShopDataTest, TheFoldersLatestCalibrationComesWithALook) {
    FolderComesBack();
    ASSERT_TRUE(CreateDirectoryW(WinText(folder_), nullptr));
    {
        WideString error;
        const std::unique_ptr<OpticsStore> optics = OpenOptics(folder_ + u"\\optics.lqo", error);
        ASSERT_TRUE(optics);
        OpticsEntry kept;
        kept.time = CurrentBatchTime();
        kept.optics = "optics\t1\n";
        ASSERT_EQ(optics->Keep(kept), JournalAppendResult::Appended);
    }
    ShopData shop(catalogue_, kNeverDue);
    shop.Start(window_, kLooked);
    shop.Look(Retry::kNow);
    Looked(shop);
    ASSERT_NE(shop.Optics(), nullptr);
    ASSERT_NE(shop.Optics()->InForce(), nullptr);
    EXPECT_EQ(shop.Optics()->InForce()->optics, "optics\t1\n");
}

TEST_F(ShopDataTest, ADamagedLedgerIsToldWithWhatCouldBeRead) {
    FolderComesBack();
    ASSERT_TRUE(CreateDirectoryW(WinText(folder_), nullptr));
    const WideString ledgerPath = folder_ + u"\\ledger.lqs";
    {
        WideString error;
        const std::unique_ptr<LedgerStore> ledger = OpenLedger(ledgerPath, error);
        ASSERT_TRUE(ledger);
        ASSERT_EQ(ledger->AddPrice({u"P2", 120000, std::nullopt, CurrentBatchTime()}), JournalAppendResult::Appended);
    }
    // Bytes no record holds, after the price.
    const HANDLE file = CreateFileW(WinText(ledgerPath), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "garbage!", 8, &written, nullptr);
    CloseHandle(file);

    ShopData shop(catalogue_, kNeverDue);
    shop.Start(window_, kLooked);
    shop.Look(Retry::kNow);
    EXPECT_TRUE(Looked(shop).tell);
    ASSERT_NE(shop.Prices(), nullptr);  // what could be read is in force
    const WideString notice = shop.TakeNotice();
    EXPECT_TRUE(notice.starts_with(u"Файл цен и остатков повреждён. Прочитано записей: 1. ")) << notice.size();
    EXPECT_TRUE(notice.ends_with(ledgerPath)) << notice.size();
}

TEST_F(ShopDataTest, AStalledShareLeavesTheWindowsThreadFree) {
    FolderComesBack();
    auto access = std::make_shared<StallingAccess>();
    ShopData shop(catalogue_, kNeverDue, access);
    ASSERT_TRUE(Opened(shop));

    access->Stall();
    const Clock::time_point asked = Clock::now();
    shop.Look(Retry::kNow);
    EXPECT_LT(Clock::now() - asked, kAtOnce);
    ASSERT_TRUE(shop.LookUnderWay());
    // A window about to open waits a moment at most, then runs without the stores.
    const Clock::time_point settling = Clock::now();
    EXPECT_FALSE(shop.Settle().looked);
    EXPECT_LT(Clock::now() - settling, kSettleLimit + kAtOnce);
    EXPECT_TRUE(access->Stalled());
    OwnRecipeContext context;
    shop.Fill(context);
    EXPECT_EQ(context.store, nullptr);
    EXPECT_EQ(context.storeError, u"Папка данных не отвечает: " + folder_);
    // Asked again meanwhile: nothing more goes to the worker.
    shop.Look(Retry::kNow);

    access->LetGo();
    const ShopData::News back = Looked(shop);
    EXPECT_TRUE(back.looked);
    EXPECT_NE(shop.OwnRecipes(), nullptr);
    EXPECT_FALSE(shop.LookUnderWay());
}

// The data folder moved by a window while it runs: the new folder's stores are read on
// the worker, the windows go on without them meanwhile, and follow once they are back.
TEST_F(ShopDataTest, AFolderMovedIsReadOnTheWorkerWhileTheWindowsRun) {
    FolderComesBack();
    auto access = std::make_shared<StallingAccess>();
    ShopData shop(catalogue_, kNeverDue, access);
    ASSERT_TRUE(Opened(shop));

    const ShopData::Lend lend(shop);
    ASSERT_TRUE(CreateDirectoryW(WinText(away_), nullptr));
    ASSERT_TRUE(StoreDataFolder(away_));
    access->StallOpening();
    const Clock::time_point asked = Clock::now();
    shop.LookHere();
    EXPECT_LT(Clock::now() - asked, kAtOnce);
    OwnRecipeContext context;
    shop.Follow(context);
    EXPECT_EQ(context.store, nullptr);
    // The look waits in the share before it is let go.
    const ULONGLONG deadline = GetTickCount64() + kLookLimitMs;
    while (!access->Stalled() && GetTickCount64() < deadline) Sleep(kPollMs);
    ASSERT_TRUE(access->Stalled());

    access->LetGo();
    const ShopData::News back = Looked(shop);
    EXPECT_TRUE(back.follow);
    shop.Follow(context);
    EXPECT_NE(context.store, nullptr);
}

}  // namespace
}  // namespace lacqueron::testing
