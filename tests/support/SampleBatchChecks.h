// Checks on journals written with sample batches.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "tests/support/SampleBatch.h"

namespace lacqueron::test {

// Each of the sample batches 0 to count - 1 exactly once and whole, in any order: the
// sample's number is carried in its amount.
inline void ExpectEachSampleOnce(const JournalContents& journal, std::uint32_t count) {
    const std::vector<BatchRecord> batches = AllBatches(journal);
    ASSERT_EQ(batches.size(), count);
    std::set<std::int32_t> amounts;
    for (const BatchRecord& batch : batches) {
        amounts.insert(batch.amount);
        EXPECT_EQ(batch, SampleBatch(static_cast<std::uint32_t>(batch.amount - kSampleAmount)));
    }
    EXPECT_EQ(amounts.size(), count);
}

}  // namespace lacqueron::test
