// A store's log on a real file: one record per id wherever a retry put the second one,
// an import whole or not at all wherever its write stopped, and a retry of a write that
// landed although it was reported failed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "journal/RecordLog.h"
#include "journal/RecordPayload.h"
#include "journal/posix/PosixJournalFile.h"
#include "tests/journal/LandedButFailedFile.h"
#include "tests/support/SampleBatchChecks.h"

namespace lacqueron {
namespace {

constexpr RecordKind kTestKind = {'L', 'Q', 'T', 'S'};
constexpr RecordId kImport = 90;
constexpr RecordId kOtherImport = 91;
constexpr std::size_t kImportMarkSize = kRecordFrameOverhead + sizeof(RecordId) + sizeof(std::uint32_t);

std::string Record(const char16_t* text, RecordId id) {
    PayloadWriter out;
    out.Text(text);
    WriteRecordId(out, id);
    return EncodeFrame(kTestKind, out.bytes());
}

std::string Opening(RecordId import, std::uint32_t records) {
    return EncodeImport(import, records, "-").substr(0, kImportMarkSize);
}

std::string Closing(RecordId import, std::uint32_t records) {
    const std::string whole = EncodeImport(import, records, "-");
    return whole.substr(whole.size() - kImportMarkSize);
}

// Keeps the texts of the test kind's records, the first of each id.
class TextReader final : public RecordReader {
public:
    explicit TextReader(RecordLog& log) : log_(log) {}
    void Restart() override { kept.clear(); }
    bool Read(const JournalFrame& frame, std::string_view payload) override {
        if (frame.kind != kTestKind) return true;
        PayloadReader in(payload);
        WideString text;
        in.Text(text);
        const RecordId id = ReadRecordId(in);
        if (!in.ok()) return false;
        if (log_.FirstOfId(id)) kept.push_back(text);
        return true;
    }
    std::vector<WideString> kept;

private:
    RecordLog& log_;
};

std::vector<WideString> Texts(const JournalContents& contents) {
    std::vector<WideString> texts;
    for (const JournalFrame& frame : contents.Frames()) {
        PayloadReader in(contents.Payload(frame));
        WideString text;
        in.Text(text);
        if (frame.kind == kTestKind && in.ok()) texts.push_back(text);
    }
    return texts;
}

class RecordLogFile : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        path_ = std::filesystem::temp_directory_path() /
                ("lacqueron-records-" + std::to_string(::getpid()) + "-" + name + ".lqr");
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::filesystem::path path_;
};

struct ReadCase {
    const char* name;
    std::string records;  // after the header
    std::vector<WideString> kept;
    std::vector<JournalDamageKind> damage;
};

std::vector<ReadCase> ReadCases() {
    const std::string b = Record(u"b", 2);
    const std::string c = Record(u"c", 3);
    const std::string d = Record(u"d", 4);
    return {
        {"OldRecordsWithoutIdsEachStand", Record(u"a", 0) + Record(u"a", 0), {u"a", u"a"}, {}},
        {"ARetryThatLandedTwiceCountsWhereTheFirstLanded", Record(u"a", 1) + b + Record(u"a", 1), {u"a", u"b"}, {}},
        {"AWholeImportStands", Record(u"a", 1) + EncodeImport(kImport, 2, b + c), {u"a", u"b", u"c"}, {}},
        {"AnImportCutAtARecordsEndIsPassedOver", Opening(kImport, 2) + b + c + d, {u"d"},
         {JournalDamageKind::TruncatedRecord}},
        {"AnImportWithMoreRecordsThanItSaysIsPassedOver", Opening(kImport, 1) + b + c + Closing(kImport, 1), {u"c"},
         {JournalDamageKind::TruncatedRecord}},
        {"AnotherImportsClosingRecordDoesNotCloseIt", Opening(kImport, 1) + b + Closing(kOtherImport, 1) + d, {u"d"},
         {JournalDamageKind::TruncatedRecord}},
        {"ABatchEndsAnOpenImport", Opening(kImport, 1) + EncodeBatchFrame(test::SampleBatch(0)) + b, {u"b"},
         {JournalDamageKind::TruncatedRecord}},
        {"ARetriedImportAfterACutOneStandsOnce",
         Opening(kImport, 2) + b + EncodeImport(kImport, 2, b + c) + EncodeImport(kImport, 2, b + c), {u"b", u"c"},
         {JournalDamageKind::TruncatedRecord}},
    };
}

class RecordLogReadTest : public RecordLogFile, public testing::WithParamInterface<ReadCase> {};

TEST_P(RecordLogReadTest, KeepsWhatTheWritesLeft) {
    std::ofstream(path_, std::ios::binary) << EncodeJournalHeader() + GetParam().records;
    RecordLog log(OpenPosixJournalFile(path_.string()));
    TextReader reader(log);
    ASSERT_EQ(log.Load(reader), JournalLoadResult::Loaded);
    EXPECT_EQ(reader.kept, GetParam().kept);
    std::vector<JournalDamageKind> damage;
    for (const JournalDamage& found : log.Damage()) damage.push_back(found.kind);
    EXPECT_EQ(damage, GetParam().damage);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordLogReadTest, testing::ValuesIn(ReadCases()),
                         [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

// Wherever the power went off in an import's write, and whatever another bench writes
// after it, the reader has all of the import's records or none.
TEST_F(RecordLogFile, AnImportCutAtEveryByteStandsWholeOrNotAtAll) {
    const std::string before = EncodeJournalHeader() + Record(u"a", 1);
    const std::string import = EncodeImport(kImport, 3, Record(u"b", 2) + Record(u"c", 3) + Record(u"d", 4));
    const std::vector<WideString> imported = {u"a", u"b", u"c", u"d"};
    const std::vector<WideString> none = {u"a"};
    for (std::size_t cut = 0; cut <= import.size(); ++cut) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
        const bool whole = cut == import.size();
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << before + import.substr(0, cut);
        JournalStore store(OpenPosixJournalFile(path_.string()));
        ASSERT_EQ(store.Load(), JournalLoadResult::Loaded);
        EXPECT_EQ(Texts(store.Contents()), whole ? imported : none);
        ASSERT_EQ(store.AppendFrame(Record(u"e", 5)), JournalAppendResult::Appended);
        std::vector<WideString> then = whole ? imported : none;
        then.push_back(u"e");
        EXPECT_EQ(Texts(store.Contents()), then);
        std::ifstream in(path_, std::ios::binary);
        const JournalContents reread =
            JournalContents::Parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        EXPECT_EQ(Texts(reread), then);
        // A cut import is a write that never finished, and says so.
        EXPECT_EQ(reread.Damage().empty(), whole || cut == 0);
    }
}

// A log of several pieces read in pieces holds what the same bytes read whole hold,
// with records, damage and an import lying across the pieces' ends.
struct PiecesCase {
    const char* name;
    std::string inserted;  // after a third of the records
};

std::vector<PiecesCase> PiecesCases() {
    const std::string big(kReadChunk / 3, 'x');
    WideString text(big.begin(), big.end());
    std::string import;
    for (RecordId id = 1; id <= 4; ++id) import += Record(text.c_str(), 1000000 + id);
    const std::string cut = Record(text.c_str(), 2000000);
    return {
        {"Intact", ""},
        {"ARecordCutShort", cut.substr(0, cut.size() / 2)},
        {"BytesThatAreNoRecord", "LQ not a record"},
        {"AnImportAcrossThePieces", EncodeImport(kImport, 4, import)},
        {"AnImportCutShort", EncodeImport(kImport, 4, import).substr(0, kReadChunk)},
    };
}

class RecordLogPiecesTest : public RecordLogFile, public testing::WithParamInterface<PiecesCase> {};

// Enough piece ends for records of every length to lie across some.
constexpr std::size_t kSeveralPieces = 6;

TEST_P(RecordLogPiecesTest, ReadInPiecesAsWhole) {
    constexpr RecordId kRecords = 1000;
    constexpr std::size_t kLongestText = 1000;
    std::string bytes = EncodeJournalHeader();
    for (RecordId id = 1; id <= kRecords; ++id) {
        if (id == kRecords / 3) bytes += GetParam().inserted;
        bytes += Record(WideString(id * 37 % kLongestText, u'ж').c_str(), id);
    }
    ASSERT_GT(bytes.size(), kSeveralPieces * kReadChunk);
    std::ofstream(path_, std::ios::binary) << bytes;
    const JournalContents whole = JournalContents::Parse(bytes);

    RecordLog log(OpenPosixJournalFile(path_.string()));
    TextReader reader(log);
    ASSERT_EQ(log.Load(reader), JournalLoadResult::Loaded);
    EXPECT_EQ(reader.kept, Texts(whole));
    EXPECT_EQ(log.Damage(), whole.Damage());
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordLogPiecesTest, testing::ValuesIn(PiecesCases()),
                         [](const testing::TestParamInfo<PiecesCase>& info) { return info.param.name; });

class RecordLogRetryTest : public RecordLogFile, public testing::WithParamInterface<std::size_t> {};

// A write reported failed had landed; the painter tries again, and one copy counts. A
// later write of the same records is a write of its own.
TEST_P(RecordLogRetryTest, AWriteReportedFailedIsNotDoubledByItsRetry) {
    const std::size_t records = GetParam();
    const auto encode = [&](const std::vector<RecordId>& ids, bool) {
        std::string bytes;
        for (std::size_t i = 0; i < records; ++i) bytes += Record(i == 0 ? u"a" : u"b", ids[i]);
        return bytes;
    };
    bool failNext = false;
    RecordLog log(std::make_unique<test::LandedButFailedFile>(path_.string(), failNext));
    TextReader reader(log);
    ASSERT_EQ(log.Load(reader), JournalLoadResult::Loaded);
    failNext = true;
    ASSERT_EQ(log.Write(records, records, encode, reader), JournalAppendResult::WriteFailed);
    ASSERT_EQ(log.Write(records, records, encode, reader), JournalAppendResult::Appended);
    const std::vector<WideString> once(reader.kept);
    EXPECT_EQ(once.size(), records);
    ASSERT_EQ(log.Write(records, records, encode, reader), JournalAppendResult::Appended);

    RecordLog reopened(OpenPosixJournalFile(path_.string()));
    TextReader again(reopened);
    ASSERT_EQ(reopened.Load(again), JournalLoadResult::Loaded);
    std::vector<WideString> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(again.kept, twice);
    std::ifstream in(path_, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Texts(JournalContents::Parse(bytes)).size(), 3 * records);  // all three writes are in the file
    EXPECT_TRUE(reopened.Damage().empty());
}

INSTANTIATE_TEST_SUITE_P(Records, RecordLogRetryTest, testing::Values(1, 2));

}  // namespace
}  // namespace lacqueron
