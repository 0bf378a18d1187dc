// The journal's bytes: records read back as written, and every kind of damage found,
// reported where it starts and stepped over.
#include <gtest/gtest.h>

#include <functional>

#include "journal/JournalFormat.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

using test::AllBatches;
using test::SampleBatch;
using Kind = JournalDamageKind;

constexpr std::size_t kSampleRecords = 3;

std::string SampleJournal(std::size_t records = kSampleRecords) {
    std::string bytes = EncodeJournalHeader();
    for (std::uint32_t i = 0; i < records; ++i) bytes += EncodeBatchFrame(SampleBatch(i));
    return bytes;
}

std::size_t RecordStart(std::size_t index) {
    return kJournalHeaderSize + index * EncodeBatchFrame(SampleBatch(0)).size();
}

TEST(JournalFormat, RecordsReadBackAsWritten) {
    BatchRecord empty;
    empty.status = BatchStatus::Abandoned;
    const JournalContents parsed = test::JournalOf({SampleBatch(7), empty});
    EXPECT_TRUE(parsed.Damage().empty());
    EXPECT_TRUE(parsed.Appendable());
    EXPECT_EQ(AllBatches(parsed), (std::vector{SampleBatch(7), empty}));
}

TEST(JournalFormat, CrcOfTheStandardCheckString) { EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u); }

struct DamageCase {
    const char* name;
    std::function<void(std::string&)> damage;
    std::vector<std::uint32_t> recovered;  // sample numbers, in order
    std::vector<JournalDamage> reported;
    bool appendable = true;
};

class JournalDamageTest : public testing::TestWithParam<DamageCase> {};

TEST_P(JournalDamageTest, RecoversTheIntactRecordsAndReportsTheRest) {
    std::string bytes = SampleJournal();
    GetParam().damage(bytes);
    const JournalContents parsed = JournalContents::Parse(bytes);
    std::vector<BatchRecord> expected;
    for (std::uint32_t number : GetParam().recovered) expected.push_back(SampleBatch(number));
    EXPECT_EQ(AllBatches(parsed), expected);
    EXPECT_EQ(parsed.Damage(), GetParam().reported);
    EXPECT_EQ(parsed.Appendable(), GetParam().appendable);
}

const DamageCase kDamageCases[] = {
    {"LastRecordCutInItsPayload",
     [](std::string& b) { b.resize(b.size() - 9); },
     {0, 1},
     {{RecordStart(2), 3, Kind::TruncatedRecord}}},
    {"LastRecordCutInItsMarker",
     [](std::string& b) { b.resize(RecordStart(2) + 2); },
     {0, 1},
     {{RecordStart(2), 3, Kind::TruncatedRecord}}},
    {"CutRecordThenAnAppendedOne",
     [](std::string& b) {
         b.resize(b.size() - 9);
         b += EncodeBatchFrame(SampleBatch(5));
     },
     {0, 1, 5},
     {{RecordStart(2), 3, Kind::TruncatedRecord}}},
    {"FlippedByteInTheMiddleRecord",
     [](std::string& b) { b[RecordStart(1) + 40] ^= 0x20; },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadChecksum}}},
    {"GarbageBetweenRecords",
     [](std::string& b) { b.insert(RecordStart(1), "junk"); },
     {0, 1, 2},
     {{RecordStart(1), 2, Kind::UnexpectedBytes}}},
    {"ChecksumRightButNoBatch",
     [](std::string& b) {
         BatchRecord odd = SampleBatch(1);
         odd.status = static_cast<BatchStatus>(7);
         b.replace(RecordStart(1), RecordStart(2) - RecordStart(1), EncodeBatchFrame(odd));
     },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadPayload}}},
    {"HeaderOverwritten", [](std::string& b) { b[0] = 'X'; }, {0, 1, 2}, {{0, 0, Kind::BadHeader}}, false},
    {"NewerVersion", [](std::string& b) { b[8] = 2; }, {}, {{0, 0, Kind::NewerVersion}}, false},
    {"HeaderCutShort", [](std::string& b) { b.resize(5); }, {}, {{0, 0, Kind::TruncatedRecord}}},
    {"ShorterThanAHeaderAndNotOne", [](std::string& b) { b = "MZ"; }, {}, {{0, 0, Kind::BadHeader}}, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, JournalDamageTest, testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
