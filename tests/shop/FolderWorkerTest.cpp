// The data folder's worker: a look catches a store up, opens a store of a dropped share
// again once it is back, and a share that stalls never holds up the thread that asks;
// a look nobody waits for any more is dropped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "journal/posix/PosixJournalFile.h"
#include "shop/FolderWorker.h"
#include "tests/shop/StallingShare.h"

namespace lacqueron {
namespace {

using namespace std::chrono_literals;

// Longer than a look over a share that answers ever takes on a busy machine.
constexpr std::chrono::milliseconds kLookLimit = 10s;
// What "at once" means for the thread that asks while the share stalls.
constexpr std::chrono::milliseconds kAtOnce = 500ms;
// How long a stall lasts before the test lets it go.
constexpr std::chrono::milliseconds kStall = 2 * kAtOnce;

std::string Narrow(const WideString& text) { return std::string(text.begin(), text.end()); }

// The folders as the program's access sees them, on the test's share.
class ShareAccess final : public FolderAccess {
public:
    ShareAccess(std::shared_ptr<Share> share, WideString folder) : share_(std::move(share)), folder_(std::move(folder)) {}
    void MoveTo(const WideString& folder) { folder_ = folder; }

    WideString Folder() override { return folder_; }
    void MakeFolder(const WideString& folder) override {
        if (share_->Pass()) std::filesystem::create_directory(Narrow(folder));
    }
    bool FolderThere(const WideString& folder) override {
        return share_->Pass() && std::filesystem::is_directory(Narrow(folder));
    }
    std::unique_ptr<OwnRecipeStore> OpenRecipes(const WideString& folder, WideString& error) override {
        return Open<OwnRecipeStore>(folder + u"/recipes.lqr", error);
    }
    std::unique_ptr<LedgerStore> OpenLedger(const WideString& folder, WideString& error) override {
        return Open<LedgerStore>(folder + u"/ledger.lqs", error);
    }
    std::unique_ptr<OpticsStore> OpenOptics(const WideString& folder, WideString& error) override {
        return Open<OpticsStore>(folder + u"/optics.lqo", error);
    }

private:
    template <class Store>
    std::unique_ptr<Store> Open(const WideString& path, WideString& error) {
        return OpenOnShare<Store>(share_, OpenPosixJournalFile(Narrow(path)), path, error);
    }

    std::shared_ptr<Share> share_;
    WideString folder_;
};

OwnRecipe Recipe(const char16_t* code) { return {code, u"Проба", u"", 0x336699, {{u"OSN", 1000000}}, {}}; }

class FolderTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = std::filesystem::temp_directory_path() / ("lacqueron-shop-" + std::to_string(::getpid()));
        for (const char* folder : {"a", "b"}) std::filesystem::create_directories(root_ / folder);
        folderA_ = Wide((root_ / "a").string());
        folderB_ = Wide((root_ / "b").string());
        access_ = std::make_shared<ShareAccess>(share_, folderA_);
    }
    void TearDown() override {
        share_->Set(ShareState::kUp);  // a worker still stalled ends
        std::filesystem::remove_all(root_);
    }

    static WideString Wide(const std::string& text) { return WideString(text.begin(), text.end()); }

    // Whether the worker is inside the stalled share by the time limit after `asked`.
    bool WorkerStalls(std::chrono::steady_clock::time_point asked) {
        const auto deadline = asked + kLookLimit;
        while (share_->StalledCalls() == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return share_->StalledCalls() > 0;
    }

    // Another bench saving a recipe in the folder, past the test's share.
    static void SaveElsewhere(const WideString& folder, const char16_t* code) {
        OwnRecipeStore store(OpenPosixJournalFile(Narrow(folder) + "/recipes.lqr"));
        ASSERT_EQ(store.Load(), JournalLoadResult::Loaded);
        OwnRecipeId id = 0;
        ASSERT_EQ(store.Save(id, Recipe(code), {}), JournalAppendResult::Appended);
    }

    std::filesystem::path root_;
    WideString folderA_;
    WideString folderB_;
    std::shared_ptr<Share> share_ = std::make_shared<Share>();
    std::shared_ptr<ShareAccess> access_;
};

// One look: what the window hands over, what the share does meanwhile, what comes back.
struct LookCase {
    const char* name;
    bool handOver;        // the window hands over stores opened on folder a
    bool failedWrite;     // ... after a write to them failed while the share was gone
    bool folderMoved;     // the bench value now names folder b
    bool renamedAway;     // folder a renamed away, its handles still open
    ShareState during;    // the share during the look
    bool expectSame;      // the store handed over comes back, caught up
    bool expectReopened;  // a store opened afresh comes back
};

const LookCase kLookCases[] = {
    {"FirstLookOpens", false, false, false, false, ShareState::kUp, false, true},
    {"AStoreThatAnswersCatchesUp", true, false, false, false, ShareState::kUp, true, false},
    {"AShareGoneLeavesNoStoreAndSaysWhy", true, false, false, false, ShareState::kDown, false, false},
    {"AFailedWriteOpensAfreshOnceTheShareIsBack", true, true, false, false, ShareState::kUp, false, true},
    {"AMovedFolderOpensThere", true, false, true, false, ShareState::kUp, false, true},
    {"AFolderRenamedAwayIsNotMadeAgainEmpty", true, false, false, true, ShareState::kUp, false, false},
};

class LookTest : public FolderTest, public testing::WithParamInterface<LookCase> {};

TEST_P(LookTest, ComesBackAsTheTableSays) {
    const LookCase& test = GetParam();
    SaveElsewhere(folderA_, u"A-1");
    SaveElsewhere(folderB_, u"B-1");
    FolderHeld held;
    if (test.handOver) {
        FolderLook first = LookAtFolder(*access_, {});
        ASSERT_TRUE(first.stores.recipes && first.stores.ledger);
        held = {std::move(first.stores), folderA_, true};
    }
    const OwnRecipeStore* handed = held.stores.recipes.get();
    if (test.failedWrite) {
        share_->Set(ShareState::kDown);
        OwnRecipeId id = 0;
        ASSERT_EQ(held.stores.recipes->Save(id, Recipe(u"A-lost"), {}), JournalAppendResult::WriteFailed);
        ASSERT_TRUE(held.stores.recipes->Failing());
        share_->Set(ShareState::kUp);
    }
    SaveElsewhere(folderA_, u"A-2");
    if (test.folderMoved) access_->MoveTo(folderB_);
    if (test.renamedAway) std::filesystem::rename(root_ / "a", root_ / "a-away");
    share_->Set(test.during);

    const FolderLook look = LookAtFolder(*access_, std::move(held));
    // A folder renamed away is a share that dropped: nothing takes its place.
    EXPECT_EQ(std::filesystem::exists(root_ / "a"), !test.renamedAway);
    EXPECT_EQ(look.folder, test.folderMoved ? folderB_ : folderA_);
    const bool present = test.expectSame || test.expectReopened;
    ASSERT_EQ(look.stores.recipes != nullptr, present);
    ASSERT_EQ(look.stores.ledger != nullptr, present);
    EXPECT_EQ(look.recipesError.empty(), present);
    EXPECT_EQ(look.ledgerError.empty(), present);
    EXPECT_EQ(look.recipesReopened, !test.expectSame);
    // Only the recipes' write failed: the ledger's handle still answers and is kept.
    EXPECT_EQ(look.ledgerReopened, !test.expectSame && !test.failedWrite);
    if (!present) return;
    if (test.expectSame) {
        EXPECT_EQ(look.stores.recipes.get(), handed);
    }
    std::vector<WideString> codes;
    for (const OwnRecipeCurrent& current : look.stores.recipes->Current()) codes.push_back(current.recipe.code);
    const std::vector<WideString> expected =
        test.folderMoved ? std::vector<WideString>{u"B-1"} : std::vector<WideString>{u"A-1", u"A-2"};
    EXPECT_EQ(codes, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, LookTest, testing::ValuesIn(kLookCases),
                         [](const testing::TestParamInfo<LookCase>& info) { return info.param.name; });

// What the worker told, as a window's queue would hold it.
struct Told {
    std::mutex mutex;
    std::vector<LookGeneration> generations;
    // What was told once `count` looks were, or by the time limit.
    std::vector<LookGeneration> Get(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + kLookLimit;
        for (;;) {
            {
                std::lock_guard lock(mutex);
                if (generations.size() >= count || std::chrono::steady_clock::now() >= deadline) return generations;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

using Clock = std::chrono::steady_clock;

// Another bench's calibration, and its return to the vendor's table, reach this bench's
// optics as its recipes do.
TEST_F(FolderTest, AnotherBenchsCalibrationIsInForceHereAfterALook) {
    OpticsStore elsewhere(OpenPosixJournalFile(Narrow(folderA_) + "/optics.lqo"));
    ASSERT_EQ(elsewhere.Load(), JournalLoadResult::Loaded);
    FolderLook first = LookAtFolder(*access_, {});
    ASSERT_TRUE(first.stores.optics) << Narrow(first.opticsError);
    EXPECT_EQ(first.stores.optics->InForce(), nullptr);
    OpticsEntry calibrated;
    calibrated.optics = "optics\t1\n";
    ASSERT_EQ(elsewhere.Keep(calibrated), JournalAppendResult::Appended);
    const OpticsStore* handed = first.stores.optics.get();
    FolderLook second = LookAtFolder(*access_, {std::move(first.stores), folderA_, true});
    ASSERT_EQ(second.stores.optics.get(), handed) << "caught up, not opened afresh";
    ASSERT_NE(second.stores.optics->InForce(), nullptr);
    EXPECT_EQ(second.stores.optics->InForce()->optics, calibrated.optics);
    OpticsEntry vendor;
    vendor.vendor = true;
    ASSERT_EQ(elsewhere.Keep(vendor), JournalAppendResult::Appended);
    FolderLook third = LookAtFolder(*access_, {std::move(second.stores), folderA_, true});
    ASSERT_TRUE(third.stores.optics);
    EXPECT_EQ(third.stores.optics->InForce(), nullptr);
    EXPECT_EQ(third.stores.optics->History().size(), 2u);
}

TEST_F(FolderTest, AStalledShareNeverHoldsUpTheWindowAndAStaleLookIsDropped) {
    SaveElsewhere(folderA_, u"A-1");
    auto told = std::make_shared<Told>();
    auto worker = FolderWorker::Start(access_, [told](LookGeneration generation) {
        std::lock_guard lock(told->mutex);
        told->generations.push_back(generation);
    });
    ASSERT_TRUE(worker);

    FolderHeld held;
    const std::optional<LookGeneration> first = worker->Look(held);
    ASSERT_TRUE(first);
    std::optional<FolderLook> opened = worker->WaitFor(*first, kLookLimit);
    ASSERT_TRUE(opened && opened->stores.recipes);
    EXPECT_EQ(told->Get(1), std::vector<LookGeneration>{*first});
    held = {std::move(opened->stores), folderA_, true};

    // The share stalls: asking, and looking for the answer, return at once.
    share_->Set(ShareState::kStalled);
    const Clock::time_point asked = Clock::now();
    const std::optional<LookGeneration> stalled = worker->Look(held);
    ASSERT_TRUE(stalled);
    EXPECT_FALSE(held.stores.recipes);  // handed over
    EXPECT_FALSE(worker->Take(*stalled));
    EXPECT_LT(Clock::now() - asked, kAtOnce);
    // The worker is inside the share, and stays there.
    ASSERT_TRUE(WorkerStalls(asked));
    EXPECT_FALSE(worker->WaitFor(*stalled, kStall));

    // Asked again meanwhile (F5): this look waits behind the stalled one, which becomes stale.
    FolderHeld none{{}, folderA_, true};
    const std::optional<LookGeneration> again = worker->Look(none);
    ASSERT_TRUE(again);
    SaveElsewhere(folderA_, u"A-2");
    share_->Set(ShareState::kUp);
    std::optional<FolderLook> back = worker->WaitFor(*again, kLookLimit);
    ASSERT_TRUE(back && back->stores.recipes);
    EXPECT_EQ(back->stores.recipes->Current().size(), 2u);
    EXPECT_FALSE(worker->Take(*stalled));
    EXPECT_EQ(told->Get(3), (std::vector<LookGeneration>{*first, *stalled, *again}));
}

// A save handed to the worker while the share stalls, then what the share does.
struct WriteCase {
    const char* name;
    bool renamedAway;               // the folder renamed away before the save, and back before the retry
    ShareState after;               // the share once the stall ends
    JournalAppendResult told;       // what the window is told
    bool failing;                   // the store comes back failing
    bool retried;                   // the painter saves again once the share is up
};

const WriteCase kWriteCases[] = {
    {"LandsOnceTheShareAnswers", false, ShareState::kUp, JournalAppendResult::Appended, false, false},
    // A share gone is seen before the write: the store is not touched.
    {"FailsCleanlyWhenTheShareGoesAndARetryLandsOnce", false, ShareState::kDown, JournalAppendResult::WriteFailed,
     false, true},
    {"AWriteReportedFailedThatLandedIsNotDoubledByTheRetry", false, ShareState::kReplyLost,
     JournalAppendResult::WriteFailed, true, true},
    // Its open handle would still write the file moved away, where no bench reads it.
    {"AFolderRenamedAwayIsNotWrittenAndARetryLandsOnceItIsBack", true, ShareState::kUp,
     JournalAppendResult::WriteFailed, false, true},
};

class WriteTest : public FolderTest, public testing::WithParamInterface<WriteCase> {
protected:
    // The recipe's save as a window hands it over; the id comes back through `id`.
    static FolderWrite SaveOf(std::shared_ptr<OwnRecipeId> id, const char16_t* code) {
        return [id, code](OwnRecipeStore* recipes, LedgerStore*, OpticsStore*) {
            if (!recipes) return JournalAppendResult::WriteFailed;
            OwnSaveClash clash;
            return recipes->Save(*id, Recipe(code), {}, std::nullopt, clash);
        };
    }
    // The versions of each recipe in the folder, read past the share.
    static std::vector<std::size_t> VersionsIn(const std::filesystem::path& folder) {
        OwnRecipeStore store(OpenPosixJournalFile((folder / "recipes.lqr").string()));
        EXPECT_EQ(store.Load(), JournalLoadResult::Loaded);
        std::vector<std::size_t> versions;
        for (const OwnRecipeCurrent& current : store.Current()) versions.push_back(current.versions);
        return versions;
    }
};

TEST_P(WriteTest, AStalledSaveNeverHoldsUpTheWindowAndEndsAsTheShareDoes) {
    const WriteCase& test = GetParam();
    auto told = std::make_shared<Told>();
    auto worker = FolderWorker::Start(access_, [](LookGeneration) { ADD_FAILURE() << "a write told as a look"; });
    ASSERT_TRUE(worker);
    FolderLook opened = LookAtFolder(*access_, {});
    ASSERT_TRUE(opened.stores.recipes);
    FolderHeld held{std::move(opened.stores), folderA_, true};
    const OwnRecipeStore* handed = held.stores.recipes.get();
    const auto tell = [told](LookGeneration generation) {
        std::lock_guard lock(told->mutex);
        told->generations.push_back(generation);
    };

    if (test.renamedAway) std::filesystem::rename(root_ / "a", root_ / "a-away");
    share_->Set(ShareState::kStalled);
    auto id = std::make_shared<OwnRecipeId>(0);
    const Clock::time_point asked = Clock::now();
    const std::optional<LookGeneration> saving = worker->Write(held, SaveOf(id, u"A-1"), tell);
    ASSERT_TRUE(saving);
    EXPECT_FALSE(held.stores.recipes);  // handed over
    EXPECT_FALSE(worker->Take(*saving));
    EXPECT_LT(Clock::now() - asked, kAtOnce);
    ASSERT_TRUE(WorkerStalls(asked));
    EXPECT_FALSE(worker->WaitFor(*saving, kAtOnce));

    share_->Set(test.after);
    EXPECT_EQ(told->Get(1), std::vector<LookGeneration>{*saving});
    std::optional<FolderLook> done = worker->Take(*saving);
    ASSERT_TRUE(done && done->written);
    EXPECT_EQ(*done->written, test.told);
    // The stores come back as handed over, one whose write failed failing, for the next look to open afresh.
    ASSERT_EQ(done->stores.recipes.get(), handed);
    EXPECT_EQ(done->stores.recipes->Failing(), test.failing);
    EXPECT_EQ(done->folder, folderA_);

    if (test.renamedAway) EXPECT_TRUE(VersionsIn(root_ / "a-away").empty()) << "written where no bench reads it";
    if (test.retried) {
        share_->Set(ShareState::kUp);
        if (test.renamedAway) std::filesystem::rename(root_ / "a-away", root_ / "a");
        held = {std::move(done->stores), folderA_, true};
        const std::optional<LookGeneration> again = worker->Write(held, SaveOf(id, u"A-1"), tell);
        ASSERT_TRUE(again);
        std::optional<FolderLook> retried = worker->WaitFor(*again, kLookLimit);
        ASSERT_TRUE(retried && retried->written);
        EXPECT_EQ(*retried->written, JournalAppendResult::Appended);
    }
    EXPECT_EQ(VersionsIn(root_ / "a"), std::vector<std::size_t>{1});
}

INSTANTIATE_TEST_SUITE_P(Table, WriteTest, testing::ValuesIn(kWriteCases),
                         [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST_F(FolderTest, AWorkerStoppedInsideAStalledShareLetsGoAtOnceAndEndsOnItsOwn) {
    auto worker = FolderWorker::Start(access_, [](LookGeneration) {});
    ASSERT_TRUE(worker);
    share_->Set(ShareState::kStalled);
    FolderHeld held;
    ASSERT_TRUE(worker->Look(held));
    const Clock::time_point deadline = Clock::now() + kLookLimit;
    while (share_->StalledCalls() == 0 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_GT(share_->StalledCalls(), 0);

    const Clock::time_point stopping = Clock::now();
    worker.reset();
    EXPECT_LT(Clock::now() - stopping, kAtOnce);
    // Let go, it frees the access it held.
    share_->Set(ShareState::kUp);
    while (access_.use_count() > 1 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(access_.use_count(), 1);
}

}  // namespace
}  // namespace lacqueron
