// The journal's bytes: records read back as written, and every kind of damage found,
// reported where it starts and stepped over.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

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

// A frame around a payload made here, as another version of the program would write it.
std::string Frame(const std::string& payload) {
    std::string frame = "LQBR" + std::string(4, '\0') + payload;
    for (std::size_t i = 0; i < 4; ++i) frame[4 + i] = static_cast<char>(payload.size() >> (8 * i));
    const std::uint32_t crc = Crc32(frame.data() + 4, 4 + payload.size());
    for (std::size_t i = 0; i < 4; ++i) frame += static_cast<char>(crc >> (8 * i));
    return frame;
}

std::string PayloadOf(const BatchRecord& batch) {
    const std::string frame = EncodeBatchFrame(batch);
    return frame.substr(kRecordFrameOverhead - 4, frame.size() - kRecordFrameOverhead);
}

BatchRecord WithDeclinedCorrection(std::uint32_t number) {
    BatchRecord batch = SampleBatch(number);
    batch.corrections.insert(batch.corrections.begin(), {10500, 26250, false});
    return batch;
}

TEST(JournalFormat, RecordsReadBackAsWritten) {
    BatchRecord empty;
    empty.status = BatchStatus::Abandoned;
    const JournalContents parsed = test::JournalOf({SampleBatch(7), WithDeclinedCorrection(8), empty});
    EXPECT_TRUE(parsed.Damage().empty());
    EXPECT_TRUE(parsed.Appendable());
    EXPECT_EQ(AllBatches(parsed), (std::vector{SampleBatch(7), WithDeclinedCorrection(8), empty}));
}

// Records of the first layout end with the corrections: each was an accepted one. A
// record may also carry fields after the flags, from a later version.
TEST(JournalFormat, RecordsWithoutFlagsReadAsAcceptedAndLaterFieldsArePassedOver) {
    const BatchRecord twoCorrections = WithDeclinedCorrection(1);
    const std::size_t flagBytes = 4 + twoCorrections.corrections.size();
    const std::string current = PayloadOf(twoCorrections);
    const std::string firstLayout = current.substr(0, current.size() - flagBytes);
    const JournalContents parsed =
        JournalContents::Parse(EncodeJournalHeader() + Frame(firstLayout) + Frame(current + "later"));
    BatchRecord allAccepted = twoCorrections;
    allAccepted.corrections.front().accepted = true;
    EXPECT_EQ(AllBatches(parsed), (std::vector{allAccepted, twoCorrections}));
    EXPECT_TRUE(parsed.Damage().empty());
}

TEST(JournalFormat, CrcOfTheStandardCheckString) { EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u); }

struct DamageCase {
    const char* name;
    std::function<void(std::string&)> damage;
    std::vector<std::uint32_t> recovered;  // sample numbers, in order
    std::vector<JournalDamage> reported;
    JournalTail tail;  // as a writer judges the file's end
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
    const std::size_t head = std::min(bytes.size(), kJournalHeaderSize);
    EXPECT_EQ(ClassifyJournalTail(std::string_view(bytes).substr(0, head), bytes.size(),
                                  std::string_view(bytes).substr(head)),
              GetParam().tail);
}

const DamageCase kDamageCases[] = {
    {"NoDamage", [](std::string&) {}, {0, 1, 2}, {}, JournalTail::IntactRecord},
    {"LastRecordCutInItsPayload",
     [](std::string& b) { b.resize(b.size() - 9); },
     {0, 1},
     {{RecordStart(2), 3, Kind::TruncatedRecord}},
     JournalTail::Damaged},
    {"LastRecordCutInItsMarker",
     [](std::string& b) { b.resize(RecordStart(2) + 2); },
     {0, 1},
     {{RecordStart(2), 3, Kind::TruncatedRecord}},
     JournalTail::Damaged},
    {"CutRecordThenAnAppendedOne",
     [](std::string& b) {
         b.resize(b.size() - 9);
         b += EncodeBatchFrame(SampleBatch(5));
     },
     {0, 1, 5},
     {{RecordStart(2), 3, Kind::TruncatedRecord}},
     JournalTail::IntactRecord},
    {"FlippedByteInTheMiddleRecord",
     [](std::string& b) { b[RecordStart(1) + 40] ^= 0x20; },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadChecksum}},
     JournalTail::IntactRecord},
    {"FlippedByteInTheLastRecord",
     [](std::string& b) { b[RecordStart(2) + 40] ^= 0x20; },
     {0, 1},
     {{RecordStart(2), 3, Kind::BadChecksum}},
     JournalTail::Damaged},
    {"GarbageBetweenRecords",
     [](std::string& b) { b.insert(RecordStart(1), "junk"); },
     {0, 1, 2},
     {{RecordStart(1), 2, Kind::UnexpectedBytes}},
     JournalTail::IntactRecord},
    {"GarbageAtTheEnd",
     [](std::string& b) { b += "junk"; },
     {0, 1, 2},
     {{RecordStart(3), 4, Kind::UnexpectedBytes}},
     JournalTail::Damaged},
    {"ChecksumRightButNoBatch",
     [](std::string& b) {
         BatchRecord odd = SampleBatch(1);
         odd.status = static_cast<BatchStatus>(7);
         b.replace(RecordStart(1), RecordStart(2) - RecordStart(1), EncodeBatchFrame(odd));
     },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadPayload}},
     JournalTail::IntactRecord},
    {"ChecksumRightButFlagsForOtherCorrections",
     [](std::string& b) {
         std::string payload = PayloadOf(SampleBatch(1));
         payload[payload.size() - 5] = 2;  // two flags counted for the one correction
         b.replace(RecordStart(1), RecordStart(2) - RecordStart(1), Frame(payload));
     },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadPayload}},
     JournalTail::IntactRecord},
    {"HeaderOverwritten",
     [](std::string& b) { b[0] = 'X'; },
     {0, 1, 2},
     {{0, 0, Kind::BadHeader}},
     JournalTail::NotAJournal,
     false},
    {"NewerVersion", [](std::string& b) { b[8] = 2; }, {}, {{0, 0, Kind::NewerVersion}}, JournalTail::NotAJournal, false},
    {"HeaderOnly", [](std::string& b) { b.resize(kJournalHeaderSize); }, {}, {}, JournalTail::HeaderOnly},
    {"Empty", [](std::string& b) { b.clear(); }, {}, {}, JournalTail::Empty},
    {"HeaderCutShort",
     [](std::string& b) { b.resize(5); },
     {},
     {{0, 0, Kind::TruncatedRecord}},
     JournalTail::HeaderCutShort},
    {"ShorterThanAHeaderAndNotOne",
     [](std::string& b) { b = "MZ"; },
     {},
     {{0, 0, Kind::BadHeader}},
     JournalTail::NotAJournal,
     false},
};

INSTANTIATE_TEST_SUITE_P(Cases, JournalDamageTest, testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
