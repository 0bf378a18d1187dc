// Which records of a journal are its batches: the latest record of each batch id, and
// every record written before batches had ids.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "journal/StandingBatches.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

constexpr std::uint64_t kLargestId = std::numeric_limits<std::uint64_t>::max();

struct StandingCase {
    const char* name;
    std::vector<std::uint64_t> ids;  // of the records, in file order
    std::vector<std::size_t> standing;
};

class StandingBatchesTest : public testing::TestWithParam<StandingCase> {};

TEST_P(StandingBatchesTest, TakesTheLatestRecordOfEachBatch) {
    std::vector<BatchRecord> records;
    for (std::size_t i = 0; i < GetParam().ids.size(); ++i) {
        records.push_back(test::SampleBatch(static_cast<std::uint32_t>(i)));
        records.back().batchId = GetParam().ids[i];
    }
    EXPECT_EQ(StandingBatches(test::JournalOf(records)), GetParam().standing);
}

const StandingCase kStandingCases[] = {
    {"Empty", {}, {}},
    {"EachItsOwn", {7, 8, 9}, {0, 1, 2}},
    {"APasteAddedAfterTheEnd", {7, 7}, {1}},
    {"RewrittenBetweenOthers", {7, 8, 7, 9, 7}, {1, 3, 4}},
    {"TwoBatchesInterleaved", {7, 8, 8, 7}, {2, 3}},
    {"IdZeroNeverMerged", {0, 0, 0}, {0, 1, 2}},
    {"IdZeroBesideIds", {0, 7, 0, 7}, {0, 2, 3}},
    {"LargestId", {kLargestId, 1, kLargestId}, {1, 2}},
};

INSTANTIATE_TEST_SUITE_P(Cases, StandingBatchesTest, testing::ValuesIn(kStandingCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
