// The main window's link to the data folder when the folder cannot be reached and then
// can: the painter told once, and again after F5 asks; an activation trying the folder
// again only once the retry interval has passed, F5 at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "files/DataFolder.h"
#include "files/LedgerAccess.h"
#include "ui/main/ShopData.h"

namespace lacqueron::testing {
namespace {

constexpr char16_t kUnreachableTail[] =
    u"\n\nКаталог работает как прежде; свои рецепты появятся, когда папка данных станет доступна.";
// Longer than any test runs: no activation is due within it.
constexpr std::chrono::milliseconds kNeverDue = std::chrono::hours(1);
constexpr std::chrono::milliseconds kAlwaysDue{0};

using Retry = ShopData::Retry;

class ShopDataTest : public ::testing::Test {
protected:
    // The data folder sits in a parent that is not there yet, so it cannot be made.
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        const std::string pid = std::to_string(GetCurrentProcessId());
        parent_ = FromWinText(temp) + u"lacqueron-shop-" + WideString(pid.begin(), pid.end());
        folder_ = parent_ + u"\\data";
        RemoveFolders();  // what a run that crashed left
        ASSERT_TRUE(StoreDataFolder(folder_));
    }
    void TearDown() override {
        StoreDataFolder(u"");
        RemoveFolders();
    }

    void RemoveFolders() const {
        for (const char16_t* name : {u"\\recipes.lqr", u"\\ledger.lqs"}) DeleteFileW(WinText(folder_ + name));
        RemoveDirectoryW(WinText(folder_));
        RemoveDirectoryW(WinText(parent_));
    }

    void FolderComesBack() const { ASSERT_TRUE(CreateDirectoryW(WinText(parent_), nullptr)); }

    // Takes the notice and checks it is the unreachable folder's.
    static void ExpectUnreachableNotice(ShopData& shop) {
        const WideString notice = shop.TakeNotice();
        const WideString tail = kUnreachableTail;
        ASSERT_GT(notice.size(), tail.size());
        EXPECT_EQ(notice.substr(notice.size() - tail.size()), tail);
        EXPECT_TRUE(shop.TakeNotice().empty());
    }

    Catalogue catalogue_;
    WideString parent_;
    WideString folder_;
};

TEST_F(ShopDataTest, AnActivationLeavesAFailedFolderAloneUntilDueAndF5TriesItAtOnce) {
    ShopData shop(catalogue_, kNeverDue);
    EXPECT_TRUE(shop.ConnectOwnRecipes());
    EXPECT_EQ(shop.OwnRecipes(), nullptr);
    ExpectUnreachableNotice(shop);
    shop.ConnectLedger();
    EXPECT_EQ(shop.Ledger(), nullptr);

    FolderComesBack();
    const ShopData::OwnRecipesNews activation = shop.RefreshOwnRecipes(Retry::kWhenDue);
    EXPECT_FALSE(activation.reload);
    EXPECT_FALSE(activation.tell);
    EXPECT_FALSE(shop.RefreshLedger(Retry::kWhenDue));
    EXPECT_EQ(shop.OwnRecipes(), nullptr);
    EXPECT_EQ(shop.Ledger(), nullptr);

    const ShopData::OwnRecipesNews f5 = shop.RefreshOwnRecipes(Retry::kNow);
    EXPECT_TRUE(f5.reload);
    EXPECT_FALSE(f5.tell);
    EXPECT_NE(shop.OwnRecipes(), nullptr);
    EXPECT_TRUE(shop.RefreshLedger(Retry::kNow));
    EXPECT_NE(shop.Ledger(), nullptr);
    EXPECT_EQ(shop.Prices(), nullptr);  // the new ledger keeps no price
}

TEST_F(ShopDataTest, AFolderStillUnreachableIsToldAgainOnlyWhenAskedFor) {
    ShopData shop(catalogue_, kAlwaysDue);
    EXPECT_TRUE(shop.ConnectOwnRecipes());
    ExpectUnreachableNotice(shop);

    // Due, so an activation tries again, quietly.
    const ShopData::OwnRecipesNews again = shop.RefreshOwnRecipes(Retry::kWhenDue);
    EXPECT_TRUE(again.reload);
    EXPECT_FALSE(again.tell);
    EXPECT_TRUE(shop.TakeNotice().empty());

    shop.TellUnreachableAgain();
    EXPECT_TRUE(shop.RefreshOwnRecipes(Retry::kNow).tell);
    ExpectUnreachableNotice(shop);
    EXPECT_EQ(shop.OwnRecipes(), nullptr);
}

}  // namespace
}  // namespace lacqueron::testing
