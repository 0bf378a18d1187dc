// Copying a log into another: which records the target lacks (a table over logs made of
// numbered batches, duplicates and damage), and the copy between two real files, which
// appends only those and leaves a file that is no log alone.
#include "journal/RecordCopy.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "journal/JournalStore.h"
#include "journal/posix/PosixJournalFile.h"
#include "tests/support/SampleBatchChecks.h"

namespace lacqueron {
namespace {

using test::AllBatches;
using test::SampleBatch;

constexpr int kDamage = -1;  // bytes that are no record
constexpr int kCutShort = -2;  // a record whose write stopped halfway

// A log of the numbered sample batches, with damage where asked.
std::string LogOf(const std::vector<int>& items) {
    std::string bytes = EncodeJournalHeader();
    for (int item : items) {
        if (item == kDamage) {
            bytes += "no record here";
        } else if (item == kCutShort) {
            const std::string frame = EncodeBatchFrame(SampleBatch(99));
            bytes += frame.substr(0, frame.size() / 2);
        } else {
            bytes += EncodeBatchFrame(SampleBatch(static_cast<std::uint32_t>(item)));
        }
    }
    return bytes;
}

struct MissingCase {
    std::vector<int> to, from, missing;
};

class FramesMissing : public testing::TestWithParam<MissingCase> {};

TEST_P(FramesMissing, AreTheSourcesRecordsTheTargetLacksInOrderOnce) {
    const MissingCase& c = GetParam();
    const std::string expected = c.missing.empty() ? std::string() : LogOf(c.missing).substr(kJournalHeaderSize);
    EXPECT_EQ(FramesMissingFrom(LogOf(c.to), LogOf(c.from)), expected);
}

INSTANTIATE_TEST_SUITE_P(Logs, FramesMissing, testing::Values(
    MissingCase{{}, {0, 1}, {0, 1}}, MissingCase{{0}, {0, 1}, {1}}, MissingCase{{0, 1}, {1, 0}, {}},
    MissingCase{{}, {1, 1, 2}, {1, 2}}, MissingCase{{1}, {0, kDamage, 1, 2}, {0, 2}},
    MissingCase{{0, kCutShort}, {0, 1}, {1}}, MissingCase{{2}, {kCutShort}, {}}, MissingCase{{0, 1}, {}, {}}));

class RecordCopyTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string stem = std::filesystem::temp_directory_path() /
                                 ("lacqueron-copy-" + std::to_string(::getpid()) + "-");
        from_ = stem + "from.lqj";
        to_ = stem + "to.lqj";
        std::filesystem::remove(from_);
        std::filesystem::remove(to_);
    }
    void TearDown() override {
        std::filesystem::remove(from_);
        std::filesystem::remove(to_);
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    JournalAppendResult Copy(std::size_t& copied) {
        const auto from = OpenPosixJournalFile(from_);
        const auto to = OpenPosixJournalFile(to_);
        return CopyMissingRecords(*from, *to, copied);
    }

    std::string from_, to_;
};

TEST_F(RecordCopyTest, AppendsWhatTheTargetLacksAndNothingTheSecondTime) {
    Write(from_, LogOf({0, 1, 2}));
    std::size_t copied = 0;
    ASSERT_EQ(Copy(copied), JournalAppendResult::Appended);
    EXPECT_EQ(copied, 3u);
    EXPECT_EQ(Read(to_), LogOf({0, 1, 2}));  // the header came first

    Write(to_, LogOf({3, 1}));
    ASSERT_EQ(Copy(copied), JournalAppendResult::Appended);
    EXPECT_EQ(copied, 2u);
    ASSERT_EQ(Copy(copied), JournalAppendResult::Appended);
    EXPECT_EQ(copied, 0u);
    JournalStore store(OpenPosixJournalFile(to_));
    ASSERT_EQ(store.Load(), JournalLoadResult::Loaded);
    EXPECT_EQ(AllBatches(store.Contents()), (std::vector{SampleBatch(3), SampleBatch(1), SampleBatch(0), SampleBatch(2)}));
    EXPECT_EQ(Read(from_), LogOf({0, 1, 2}));
}

TEST_F(RecordCopyTest, LeavesAFileThatIsNoLogAlone) {
    const std::string text = "a shopping list, not a log";
    Write(from_, LogOf({0}));
    Write(to_, text);
    std::size_t copied = 1;
    EXPECT_EQ(Copy(copied), JournalAppendResult::NotAJournal);
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(Read(to_), text);

    Write(from_, text);
    Write(to_, LogOf({1}));
    EXPECT_EQ(Copy(copied), JournalAppendResult::NotAJournal);
    EXPECT_EQ(Read(to_), LogOf({1}));
}

}  // namespace
}  // namespace lacqueron
