// The data folder's worker: a look catches a store up, opens a store of a dropped share
// again once it is back, and a share that stalls never holds up the thread that asks;
// a look nobody waits for any more is dropped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "journal/posix/PosixJournalFile.h"
#include "shop/FolderWorker.h"

namespace lacqueron {
namespace {

using namespace std::chrono_literals;

// Longer than a look over a share that answers ever takes on a busy machine.
constexpr std::chrono::milliseconds kLookLimit = 10s;
// What "at once" means for the thread that asks while the share stalls.
constexpr std::chrono::milliseconds kAtOnce = 500ms;
// How long a stall lasts before the test lets it go.
constexpr std::chrono::milliseconds kStall = 2 * kAtOnce;

enum class ShareState { kUp, kDown, kStalled };

// The share every file of the test goes through: up, gone (every call fails) or stalled
// (every call waits until it is up or gone again).
class Share {
public:
    void Set(ShareState state) {
        {
            std::lock_guard lock(mutex_);
            state_ = state;
        }
        changed_.notify_all();
    }
    // False when the share is gone; waits while it stalls.
    bool Pass() {
        std::unique_lock lock(mutex_);
        if (state_ == ShareState::kStalled) ++stalledCalls_;
        changed_.wait(lock, [this] { return state_ != ShareState::kStalled; });
        return state_ == ShareState::kUp;
    }
    int StalledCalls() {
        std::lock_guard lock(mutex_);
        return stalledCalls_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    ShareState state_ = ShareState::kUp;
    int stalledCalls_ = 0;
};

// A file on the share: the real file behind it, every call through the share first.
class ShareFile final : public JournalFile {
public:
    ShareFile(std::shared_ptr<Share> share, std::unique_ptr<JournalFile> file)
        : share_(std::move(share)), file_(std::move(file)) {}
    JournalLockResult TryLock(JournalLockKind kind) override {
        return share_->Pass() ? file_->TryLock(kind) : JournalLockResult::Failed;
    }
    void Unlock() override { file_->Unlock(); }
    bool Size(std::uint64_t& size) override { return share_->Pass() && file_->Size(size); }
    bool ReadInto(std::uint64_t offset, std::size_t length, char* out) override {
        return share_->Pass() && file_->ReadInto(offset, length, out);
    }
    bool Append(const std::string& bytes) override { return share_->Pass() && file_->Append(bytes); }

private:
    std::shared_ptr<Share> share_;
    std::unique_ptr<JournalFile> file_;
};

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

private:
    template <class Store>
    std::unique_ptr<Store> Open(const WideString& path, WideString& error) {
        std::unique_ptr<JournalFile> file = OpenPosixJournalFile(Narrow(path));
        if (file) {
            auto store = std::make_unique<Store>(std::make_unique<ShareFile>(share_, std::move(file)));
            if (store->Load() == JournalLoadResult::Loaded) return store;
        }
        error = u"Не удалось прочитать " + path;
        return nullptr;
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
    const Clock::time_point stallDeadline = asked + kLookLimit;
    while (share_->StalledCalls() == 0 && Clock::now() < stallDeadline) std::this_thread::sleep_for(1ms);
    ASSERT_GT(share_->StalledCalls(), 0);
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
