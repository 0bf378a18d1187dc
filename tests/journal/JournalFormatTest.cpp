// The journal's bytes: records read back as written, and every kind of damage found,
// reported where it starts and stepped over.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

#include "core/Utf8.h"
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

constexpr std::size_t kBatchIdSize = 8;

// The bytes the components' codes and addition marks take before the batch id.
std::size_t CodeFieldsSize(const BatchRecord& batch) {
    std::size_t size = 4;
    for (const BatchComponent& component : batch.components) size += 4 + ToUtf8(component.code).size() + 1;
    return size;
}

BatchRecord WithAddition(std::uint32_t number) {
    BatchRecord batch = WithDeclinedCorrection(number);
    batch.components.push_back({u"Паста жёлтая", 0, 35, u"YEL", true});
    batch.measureRounds.push_back({{5241, -310, 1800}, {5012, -150, 2230}, 312, 45, {{u"YEL", 40}, {u"BLK", 5}},
                                   {{u"YEL", 35}}});
    return batch;
}

// The bytes the rounds of correction by measurement take after the batch id.
std::size_t RoundsSize(const BatchRecord& batch) {
    std::size_t size = 4;
    for (const BatchMeasureRound& round : batch.measureRounds) {
        size += 6 * 4 + 4 + 4;
        for (const auto* pastes : {&round.proposed, &round.poured}) {
            size += 4;
            for (const BatchPaste& paste : *pastes) size += 4 + ToUtf8(paste.code).size() + 8;
        }
    }
    return size;
}

TEST(JournalFormat, RecordsReadBackAsWritten) {
    BatchRecord empty;
    empty.status = BatchStatus::Abandoned;
    const JournalContents parsed = test::JournalOf({SampleBatch(7), WithAddition(8), empty});
    EXPECT_TRUE(parsed.Damage().empty());
    EXPECT_TRUE(parsed.Appendable());
    EXPECT_EQ(AllBatches(parsed), (std::vector{SampleBatch(7), WithAddition(8), empty}));
}

// A record grows at its end: older layouts end earlier and read with the fields they
// lack at their old meaning; a later version's fields after the known ones are passed over.
struct LayoutCase {
    const char* name;
    std::function<std::string(const std::string& current, const BatchRecord& batch)> payload;
    std::function<void(BatchRecord&)> expected;  // from the batch written
};

class JournalLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(JournalLayoutTest, ReadsWithTheFieldsItHas) {
    const BatchRecord batch = WithAddition(1);
    const JournalContents parsed =
        JournalContents::Parse(EncodeJournalHeader() + Frame(GetParam().payload(PayloadOf(batch), batch)));
    BatchRecord expected = batch;
    GetParam().expected(expected);
    EXPECT_EQ(AllBatches(parsed), std::vector{expected});
    EXPECT_TRUE(parsed.Damage().empty());
}

void WithoutRounds(BatchRecord& batch) { batch.measureRounds.clear(); }

void WithoutId(BatchRecord& batch) {
    WithoutRounds(batch);
    batch.batchId = 0;
}

void WithoutCodes(BatchRecord& batch) {
    WithoutId(batch);
    for (BatchComponent& component : batch.components) component = {component.name, component.recipeWeight, component.poured, {}, false};
}

const LayoutCase kLayoutCases[] = {
    {"EndsAfterTheCorrections",
     [](const std::string& p, const BatchRecord& b) {
         return p.substr(0, p.size() - RoundsSize(b) - kBatchIdSize - CodeFieldsSize(b) - 4 - b.corrections.size());
     },
     [](BatchRecord& b) {
         WithoutCodes(b);
         for (BatchCorrection& correction : b.corrections) correction.accepted = true;
     }},
    {"EndsAfterTheFlags",
     [](const std::string& p, const BatchRecord& b) {
         return p.substr(0, p.size() - RoundsSize(b) - kBatchIdSize - CodeFieldsSize(b));
     },
     WithoutCodes},
    {"EndsAfterTheCodes",
     [](const std::string& p, const BatchRecord& b) { return p.substr(0, p.size() - RoundsSize(b) - kBatchIdSize); },
     WithoutId},
    {"EndsAfterTheId", [](const std::string& p, const BatchRecord& b) { return p.substr(0, p.size() - RoundsSize(b)); },
     WithoutRounds},
    {"Current", [](const std::string& p, const BatchRecord&) { return p; }, [](BatchRecord&) {}},
    {"LaterFieldsAfter", [](const std::string& p, const BatchRecord&) { return p + "later"; }, [](BatchRecord&) {}},
};

INSTANTIATE_TEST_SUITE_P(Layouts, JournalLayoutTest, testing::ValuesIn(kLayoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Records of kinds a batch journal does not hold are indexed apart and are no damage.
TEST(JournalFormat, RecordsOfAnotherKindAreIndexedApart) {
    const std::string other = EncodeFrame({'L', 'Q', 'Z', 'Z'}, "payload of a later kind");
    const std::string bytes = EncodeJournalHeader() + EncodeBatchFrame(SampleBatch(0)) + other +
                              EncodeBatchFrame(SampleBatch(1));
    const JournalContents parsed = JournalContents::Parse(bytes);
    EXPECT_EQ(AllBatches(parsed), (std::vector{SampleBatch(0), SampleBatch(1)}));
    EXPECT_TRUE(parsed.Damage().empty());
    ASSERT_EQ(parsed.Frames().size(), 1u);
    EXPECT_EQ(parsed.Frames()[0].recordNumber, 2u);
    EXPECT_EQ(parsed.Frames()[0].offset, RecordStart(1));
    EXPECT_EQ(parsed.Payload(parsed.Frames()[0]), "payload of a later kind");
    // A writer finds such a record ending the file whole.
    const std::string_view endsWithIt = std::string_view(bytes).substr(0, RecordStart(1) + other.size());
    EXPECT_EQ(ClassifyJournalTail(endsWithIt.substr(0, kJournalHeaderSize), endsWithIt.size(),
                                  endsWithIt.substr(kJournalHeaderSize)),
              JournalTail::IntactRecord);
}

TEST(JournalFormat, CrcOfTheStandardCheckString) { EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u); }

// Bytes that repeat no shorter than 256, so that a fold mixing up its lanes shows.
std::string CrcSample(std::size_t size) {
    constexpr unsigned kStep = 31;
    constexpr unsigned kStart = 7;
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * kStep + kStart) & 0xFF);
    return bytes;
}

struct CrcCase {
    std::size_t size;
    std::uint32_t crc;  // as zlib's crc32 gives it for CrcSample(size)
};

constexpr std::size_t kMegabyte = 1 << 20;

// Lengths about the folding's steps (16 and 64 bytes), a record's size and a megabyte.
const std::vector<CrcCase> kCrcCases = {
    {64, 0x84C86088u}, {100, 0xB5A935FCu}, {1000, 0x8902161Eu}, {kMegabyte, 0xD424BDC1u}};

class CrcTest : public testing::TestWithParam<CrcCase> {};

TEST_P(CrcTest, FoldedAndByTablesAgreeWithTheReference) {
    const std::string bytes = CrcSample(GetParam().size);
    EXPECT_EQ(Crc32(bytes.data(), bytes.size()), GetParam().crc);
    EXPECT_EQ(Crc32Sliced(bytes.data(), bytes.size()), GetParam().crc);
    // Any start and length, continued from a CRC as a record's is after its length field.
    for (std::size_t start = 0; start < 3; ++start)
        for (std::size_t size = 0; start + size <= std::min<std::size_t>(bytes.size(), 300); ++size) {
            const std::uint32_t head = Crc32Sliced(bytes.data(), start);
            ASSERT_EQ(Crc32(bytes.data() + start, size, head), Crc32Sliced(bytes.data() + start, size, head))
                << "from " << start << ", " << size << " bytes";
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CrcTest, testing::ValuesIn(kCrcCases),
                         [](const testing::TestParamInfo<CrcCase>& info) { return std::to_string(info.param.size); });

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
    {"ChecksumRightButTheIdCutShort",
     [](std::string& b) {
         std::string payload = PayloadOf(SampleBatch(1));
         payload.resize(payload.size() - 1);
         b.replace(RecordStart(1), RecordStart(2) - RecordStart(1), Frame(payload));
     },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadPayload}},
     JournalTail::IntactRecord},
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
         payload[payload.size() - kBatchIdSize - CodeFieldsSize(SampleBatch(1)) - 5] = 2;  // two flags for the one correction
         b.replace(RecordStart(1), RecordStart(2) - RecordStart(1), Frame(payload));
     },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadPayload}},
     JournalTail::IntactRecord},
    {"ChecksumRightButCodesForOtherComponents",
     [](std::string& b) {
         std::string payload = PayloadOf(SampleBatch(1));
         payload[payload.size() - kBatchIdSize - CodeFieldsSize(SampleBatch(1))] = 2;  // two codes for three components
         b.replace(RecordStart(1), RecordStart(2) - RecordStart(1), Frame(payload));
     },
     {0, 2},
     {{RecordStart(1), 2, Kind::BadPayload}},
     JournalTail::IntactRecord},
    {"ChecksumRightButAnAdditionMarkNeitherYesNorNo",
     [](std::string& b) {
         std::string payload = PayloadOf(SampleBatch(1));
         payload[payload.size() - kBatchIdSize - 1] = 2;
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
