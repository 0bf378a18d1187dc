// The store on a real file: what one copy of the program writes, the next one reads,
// damage included, and two writers at once lose nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "journal/JournalStore.h"
#include "journal/posix/PosixJournalFile.h"
#include "tests/support/SampleBatchChecks.h"

namespace lacqueron {
namespace {

using test::AllBatches;
using test::SampleBatch;

class JournalStoreTest : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');  // a case of a table test
        path_ = std::filesystem::temp_directory_path() /
                ("lacqueron-journal-" + std::to_string(::getpid()) + "-" + name + ".lqj");
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void Write(const std::string& bytes) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    JournalStore Open() {
        JournalStore store(OpenPosixJournalFile(path_.string()));
        EXPECT_EQ(store.Load(), JournalLoadResult::Loaded);
        return store;
    }

    std::filesystem::path path_;
};

TEST_F(JournalStoreTest, AppendedBatchesAreThereAfterReopening) {
    {
        JournalStore store = Open();
        EXPECT_EQ(store.Contents().BatchCount(), 0u);
        for (std::uint32_t i = 0; i < 3; ++i) ASSERT_EQ(store.Append(SampleBatch(i)), JournalAppendResult::Appended);
    }
    JournalStore reopened = Open();
    EXPECT_EQ(AllBatches(reopened.Contents()), (std::vector{SampleBatch(0), SampleBatch(1), SampleBatch(2)}));
    EXPECT_TRUE(reopened.Contents().Damage().empty());
}

TEST_F(JournalStoreTest, AfterACutLastRecordNewBatchesFollowAndTheOldOnesStay) {
    Open().Append(SampleBatch(0));
    Open().Append(SampleBatch(1));
    const auto cutAt = std::filesystem::file_size(path_);
    Open().Append(SampleBatch(2));
    std::filesystem::resize_file(path_, cutAt + 10);  // the power went off during the third write

    JournalStore store = Open();
    EXPECT_EQ(AllBatches(store.Contents()), (std::vector{SampleBatch(0), SampleBatch(1)}));
    const std::vector<JournalDamage> cut = {{cutAt, 3, JournalDamageKind::TruncatedRecord}};
    EXPECT_EQ(store.Contents().Damage(), cut);
    ASSERT_EQ(AppendBatch(*OpenPosixJournalFile(path_.string()), SampleBatch(3)), JournalAppendResult::Appended);

    JournalStore reopened = Open();
    EXPECT_EQ(AllBatches(reopened.Contents()), (std::vector{SampleBatch(0), SampleBatch(1), SampleBatch(3)}));
    EXPECT_EQ(reopened.Contents().Damage(), cut);
    EXPECT_EQ(std::filesystem::file_size(path_), cutAt + 10 + EncodeBatchFrame(SampleBatch(3)).size());
}

TEST_F(JournalStoreTest, AFirstWriteCutInTheHeaderIsCompleted) {
    Write(EncodeJournalHeader().substr(0, 5));
    JournalStore second = Open();
    ASSERT_EQ(AppendBatch(*OpenPosixJournalFile(path_.string()), SampleBatch(0)), JournalAppendResult::Appended);
    ASSERT_EQ(second.Append(SampleBatch(1)), JournalAppendResult::Appended);  // reads the completed header
    const std::vector both = {SampleBatch(0), SampleBatch(1)};
    EXPECT_EQ(AllBatches(second.Contents()), both);
    EXPECT_TRUE(second.Contents().Damage().empty());
    EXPECT_EQ(AllBatches(Open().Contents()), both);
}

TEST_F(JournalStoreTest, AFileOfAnotherKindIsLeftAlone) {
    const std::string foreign = "Просто текст, не журнал.\n";
    Write(foreign);
    JournalStore store = Open();
    EXPECT_EQ(store.Append(SampleBatch(0)), JournalAppendResult::NotAJournal);
    EXPECT_EQ(AppendBatch(*OpenPosixJournalFile(path_.string()), SampleBatch(0)), JournalAppendResult::NotAJournal);
    EXPECT_EQ(std::filesystem::file_size(path_), foreign.size());
}

TEST_F(JournalStoreTest, AJournalHeldTooLongIsReportedBusyAndLeftAsItWas) {
    constexpr std::chrono::milliseconds kShortLimit{50};
    ASSERT_EQ(AppendBatch(*OpenPosixJournalFile(path_.string()), SampleBatch(0)), JournalAppendResult::Appended);
    const auto size = std::filesystem::file_size(path_);
    const std::unique_ptr<JournalFile> holder = OpenPosixJournalFile(path_.string());
    JournalLockGuard held(*holder, JournalLockKind::Shared);
    ASSERT_TRUE(held.locked());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(AppendBatch(*OpenPosixJournalFile(path_.string()), SampleBatch(1), kShortLimit),
              JournalAppendResult::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, kShortLimit);
    EXPECT_EQ(std::filesystem::file_size(path_), size);
}

// The writer's look at the file's end, through the file: how much it reads must still
// find a last record longer than its first look, and never mistake a marker in a note.
struct EndCase {
    const char* name;
    std::function<std::string()> bytes;
    JournalTail tail;
};

class JournalEndTest : public JournalStoreTest, public testing::WithParamInterface<EndCase> {};

BatchRecord WithNote(std::uint32_t number, const WideString& note) {
    BatchRecord batch = SampleBatch(number);
    batch.note = note;
    return batch;
}

std::string JournalBytes(const std::vector<BatchRecord>& batches) {
    std::string bytes = EncodeJournalHeader();
    for (const BatchRecord& batch : batches) bytes += EncodeBatchFrame(batch);
    return bytes;
}

const WideString kLongNote(6000, u'ж');  // 12,000 bytes: more than the first look

TEST_P(JournalEndTest, TheLastRecordIsJudgedFromTheEnd) {
    Write(GetParam().bytes());
    JournalEnd end;
    ASSERT_TRUE(ReadJournalEnd(*OpenPosixJournalFile(path_.string()), end));
    EXPECT_EQ(end.size, std::filesystem::file_size(path_));
    EXPECT_EQ(end.tail, GetParam().tail);
}

const EndCase kEndCases[] = {
    {"Empty", [] { return std::string(); }, JournalTail::Empty},
    {"HeaderOnly", [] { return EncodeJournalHeader(); }, JournalTail::HeaderOnly},
    {"WholeRecords", [] { return JournalBytes({SampleBatch(0), SampleBatch(1)}); }, JournalTail::IntactRecord},
    {"LastRecordTorn",
     [] {
         const std::string bytes = JournalBytes({SampleBatch(0), SampleBatch(1)});
         return bytes.substr(0, bytes.size() - 3);
     },
     JournalTail::Damaged},
    {"LongLastRecord", [] { return JournalBytes({SampleBatch(0), WithNote(1, kLongNote)}); }, JournalTail::IntactRecord},
    {"LongLastRecordTorn",
     [] {
         const std::string bytes = JournalBytes({SampleBatch(0), WithNote(1, kLongNote)});
         return bytes.substr(0, bytes.size() - 3);
     },
     JournalTail::Damaged},
    {"MarkerInTheLastNote",
     [] { return JournalBytes({SampleBatch(0), WithNote(1, u"LQBR\u0001\u0002 LQBR")}); },
     JournalTail::IntactRecord},
};

INSTANTIATE_TEST_SUITE_P(Cases, JournalEndTest, testing::ValuesIn(kEndCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JournalStoreTest, TwoWritersAtOnceLoseNothing) {
    constexpr std::uint32_t kWriters = 2;
    constexpr std::uint32_t kBatchesEach = 300;
    JournalStore watcher = Open();  // opened before the writers, it catches up on its own append
    std::vector<pid_t> children;
    for (std::uint32_t writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            JournalStore store(OpenPosixJournalFile(path_.string()));
            bool ok = store.Load() == JournalLoadResult::Loaded;
            for (std::uint32_t i = 0; ok && i < kBatchesEach; ++i)
                ok = store.Append(SampleBatch(writer * kBatchesEach + i)) == JournalAppendResult::Appended;
            // Its own view stays whole too: it read the other's records between its own.
            ::_exit(ok && store.Contents().Damage().empty() ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::uint32_t last = kWriters * kBatchesEach;
    ASSERT_EQ(watcher.Append(SampleBatch(last)), JournalAppendResult::Appended);

    test::ExpectEachSampleOnce(watcher.Contents(), last + 1);
    JournalStore reopened = Open();
    test::ExpectEachSampleOnce(reopened.Contents(), last + 1);
    EXPECT_TRUE(reopened.Contents().Damage().empty());
}

}  // namespace
}  // namespace lacqueron
