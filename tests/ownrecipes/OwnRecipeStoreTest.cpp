// The own recipes' store on a real file: versions, delete and restore, damage read
// around and written after, two writers at once; and the CSV a lab imports.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "core/Utf8.h"
#include "journal/posix/PosixJournalFile.h"
#include "journal/posix/PosixWholeFile.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "tests/journal/LandedButFailedFile.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kMonday = 1796601600;  // 2026-12-07 00:00 UTC
constexpr std::int32_t kMoscow = 180;

BatchTime At(std::int64_t minutes) { return {kMonday + minutes * 60, kMoscow}; }

OwnRecipe Recipe(const char16_t* code, Thousandths white) {
    return {code, u"Бежевый", u"Заказ 7; «Ока»", 0x88BACD, {{u"OSN", 1000000}, {u"WHT", white}}, {}};
}

class OwnRecipeStoreTest : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        path_ = std::filesystem::temp_directory_path() /
                ("lacqueron-own-" + std::to_string(::getpid()) + "-" + name + ".lqr");
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    OwnRecipeStore Open() {
        OwnRecipeStore store(OpenPosixJournalFile(path_.string()));
        EXPECT_EQ(store.Load(), JournalLoadResult::Loaded);
        return store;
    }

    std::filesystem::path path_;
};

std::vector<WideString> Codes(const OwnRecipeStore& store) {
    std::vector<WideString> codes;
    for (const OwnRecipeCurrent& current : store.Current()) codes.push_back(current.recipe.code);
    return codes;
}

TEST_F(OwnRecipeStoreTest, EverySaveIsAVersionAndTheLastOneStands) {
    OwnRecipeId first = 0;
    OwnRecipeId second = 0;
    {
        OwnRecipeStore store = Open();
        ASSERT_EQ(store.Save(first, Recipe(u"К-1", 100000), At(0)), JournalAppendResult::Appended);
        ASSERT_EQ(store.Save(second, Recipe(u"К-2", 200000), At(1)), JournalAppendResult::Appended);
        ASSERT_EQ(store.Save(first, Recipe(u"К-1а", 110000), At(2)), JournalAppendResult::Appended);
        EXPECT_NE(first, second);
    }
    const OwnRecipeStore store = Open();
    ASSERT_EQ(Codes(store), (std::vector<WideString>{u"К-1а", u"К-2"}));  // a renamed code keeps its place
    const OwnRecipeCurrent& renamed = store.Current().front();
    EXPECT_EQ(renamed.id, first);
    EXPECT_EQ(renamed.versions, 2u);
    EXPECT_EQ(renamed.firstSaved, At(0));
    EXPECT_EQ(renamed.lastSaved, At(2));
    EXPECT_EQ(renamed.recipe, Recipe(u"К-1а", 110000));
    EXPECT_EQ(store.History(first), (std::vector<OwnRecipeVersion>{{first, At(0), false, Recipe(u"К-1", 100000)},
                                                                   {first, At(2), false, Recipe(u"К-1а", 110000)}}));
    EXPECT_EQ(store.FindCurrent(u" к-2 ")->id, second);
    EXPECT_TRUE(store.Damage().empty());
}

TEST_F(OwnRecipeStoreTest, ADeletedRecipeStaysInTheHistoryAndComesBack) {
    OwnRecipeStore store = Open();
    OwnRecipeId id = 0;
    OwnRecipeId other = 0;
    store.Save(id, Recipe(u"К-1", 100000), At(0));
    store.Save(other, Recipe(u"К-2", 100000), At(1));
    ASSERT_EQ(store.Delete(id, At(2)), JournalAppendResult::Appended);
    EXPECT_EQ(Codes(store), std::vector<WideString>{u"К-2"});
    const std::vector<OwnRecipeVersion> deleted = store.Deleted();
    ASSERT_EQ(deleted, (std::vector<OwnRecipeVersion>{{id, At(0), false, Recipe(u"К-1", 100000)}}));
    EXPECT_TRUE(store.History(id).back().deleted);

    OwnSaveClash clash;
    ASSERT_EQ(store.Restore(deleted.front(), At(3), clash), JournalAppendResult::Appended);
    const OwnRecipeStore reopened = Open();
    EXPECT_EQ(Codes(reopened), (std::vector<WideString>{u"К-1", u"К-2"}));
    EXPECT_EQ(reopened.Current().front().versions, 3u);
    EXPECT_EQ(reopened.Current().front().lastSaved, At(3));
    EXPECT_TRUE(reopened.Deleted().empty());
}

TEST_F(OwnRecipeStoreTest, ACutLastVersionIsReportedAndSavesGoOnAfterIt) {
    OwnRecipeId id = 0;
    Open().Save(id, Recipe(u"К-1", 100000), At(0));
    const auto cutAt = std::filesystem::file_size(path_);
    OwnRecipeId lost = 0;
    Open().Save(lost, Recipe(u"К-2", 100000), At(1));
    std::filesystem::resize_file(path_, cutAt + 20);  // the power went off during the write

    OwnRecipeStore store = Open();
    EXPECT_EQ(Codes(store), std::vector<WideString>{u"К-1"});
    const std::vector<JournalDamage> cut = {{cutAt, 2, JournalDamageKind::TruncatedRecord}};
    EXPECT_EQ(store.Damage(), cut);
    OwnRecipeId next = 0;
    ASSERT_EQ(store.Save(next, Recipe(u"К-3", 100000), At(2)), JournalAppendResult::Appended);

    const OwnRecipeStore reopened = Open();
    EXPECT_EQ(Codes(reopened), (std::vector<WideString>{u"К-1", u"К-3"}));
    EXPECT_EQ(reopened.Damage(), cut);
    EXPECT_GT(std::filesystem::file_size(path_), cutAt + 20);
}

// A version whose checksum holds but whose fields do not read (a later program's bug,
// say) is reported, and the version before it stands.
TEST_F(OwnRecipeStoreTest, AnUnreadableLastVersionLeavesThePreviousOne) {
    OwnRecipeId id = 0;
    Open().Save(id, Recipe(u"К-1", 100000), At(0));
    const auto badAt = std::filesystem::file_size(path_);
    const std::string cutFields = EncodeOwnRecipeVersion({id, At(1), false, Recipe(u"К-1", 1)}).substr(0, 30);
    ASSERT_TRUE(OpenPosixJournalFile(path_.string())->Append(EncodeFrame(kOwnRecipeKind, cutFields)));
    const OwnRecipeStore store = Open();
    ASSERT_EQ(store.Current().size(), 1u);
    EXPECT_EQ(store.Current().front().recipe, Recipe(u"К-1", 100000));
    EXPECT_EQ(store.Damage(), (std::vector<JournalDamage>{{badAt, 2, JournalDamageKind::BadPayload}}));
}

TEST_F(OwnRecipeStoreTest, TwoWritersAtOnceLoseNothingAndTheOtherBenchCatchesUp) {
    constexpr int kWriters = 2;
    constexpr int kRecipesEach = 150;
    OwnRecipeStore watcher = Open();
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            OwnRecipeStore store(OpenPosixJournalFile(path_.string()));
            bool ok = store.Load() == JournalLoadResult::Loaded;
            for (int i = 0; ok && i < kRecipesEach; ++i) {
                OwnRecipeId id = 0;
                WideString code = u"К-" + WideString(1, static_cast<char16_t>(u'А' + writer));
                for (const char digit : std::to_string(i)) code += static_cast<char16_t>(digit);
                ok = store.Save(id, Recipe(code.c_str(), 1000 * i), At(i)) == JournalAppendResult::Appended;
            }
            ::_exit(ok && store.Damage().empty() ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::uint64_t shown = watcher.Revision();
    EXPECT_TRUE(watcher.Refresh());
    EXPECT_FALSE(watcher.Refresh());  // nothing new the second time
    // Whoever refreshed, a window that showed the earlier revision sees it moved.
    EXPECT_NE(watcher.Revision(), shown);
    std::set<WideString> codes;
    std::set<OwnRecipeId> ids;
    for (const OwnRecipeCurrent& current : watcher.Current()) {
        codes.insert(current.recipe.code);
        ids.insert(current.id);
    }
    EXPECT_EQ(codes.size(), static_cast<std::size_t>(kWriters * kRecipesEach));
    EXPECT_EQ(ids.size(), codes.size());
    EXPECT_TRUE(watcher.Damage().empty());
}

TEST_F(OwnRecipeStoreTest, ExportedRecipesImportBackAsNewVersions) {
    OwnRecipeStore store = Open();
    OwnRecipeId id = 0;
    OwnRecipe formulaLike = Recipe(u"=К-2", 2500);
    formulaLike.note = u"+7 900 \"срочно\"";
    store.Save(id, Recipe(u"К-1", 119125), At(0));
    OwnRecipeId second = 0;
    store.Save(second, formulaLike, At(1));
    const std::string csv = ExportOwnRecipesCsv(store.Current());
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF"
                                "Код;Название;Цвет R-G-B;Примечание;Компонент;Количество на 1000 г основы;Цель L*a*b*\r\n"
                                "К-1;Бежевый;205-186-136;\"Заказ 7; «Ока»\";OSN;1000;\r\n"
                                "К-1;Бежевый;205-186-136;\"Заказ 7; «Ока»\";WHT;119,125;\r\n"
                                "'=К-2;"));

    std::vector<OwnRecipe> read;
    CsvError error;
    ASSERT_TRUE(ReadOwnRecipesCsv(csv, test::ShippedCatalogue(), read, error)) << error.row << ToUtf8(error.reason);
    EXPECT_EQ(read, (std::vector<OwnRecipe>{Recipe(u"К-1", 119125), formulaLike}));
    ASSERT_EQ(ImportOwnRecipes(store, read, At(2)), JournalAppendResult::Appended);
    EXPECT_EQ(store.Current().size(), 2u);
    EXPECT_EQ(store.Current().front().versions, 2u);
}

// A save reported failed, then asked for again: a save that landed after all is
// written again as it was, neither doubled nor refused by the check under the lock as
// another bench's; one that was lost is checked against what other benches saved since.
enum class SaveKind { kNewRecipe, kEdit, kImport };
enum class Meanwhile { kNothing, kOtherSavesK2, kOtherEditsK1 };

struct RetryCase {
    const char* name;
    SaveKind kind;
    bool landed;
    Meanwhile meanwhile;
    JournalAppendResult retry;
    std::size_t k1Versions;
    std::size_t k2Versions;      // 0: no К-2
    const char16_t* clashCode;   // told on a refusal; empty when none
    bool changed;
};

const RetryCase kRetryCases[] = {
    {"ANewRecipeThatLanded", SaveKind::kNewRecipe, true, Meanwhile::kNothing, JournalAppendResult::Appended, 1, 1, u"",
     false},
    {"AnEditThatLanded", SaveKind::kEdit, true, Meanwhile::kNothing, JournalAppendResult::Appended, 2, 0, u"", false},
    {"AnImportThatLanded", SaveKind::kImport, true, Meanwhile::kNothing, JournalAppendResult::Appended, 2, 1, u"",
     false},
    {"ANewRecipeLostWhileAnotherBenchTookItsCode", SaveKind::kNewRecipe, false, Meanwhile::kOtherSavesK2,
     JournalAppendResult::Refused, 1, 1, u"К-2", false},
    {"AnEditLostWhileAnotherBenchEditedIt", SaveKind::kEdit, false, Meanwhile::kOtherEditsK1,
     JournalAppendResult::Refused, 2, 0, u"", true},
    {"AnImportLostWhileAnotherBenchTookACode", SaveKind::kImport, false, Meanwhile::kOtherSavesK2,
     JournalAppendResult::Appended, 2, 2, u"", false},
};

class OwnRecipeRetryTest : public OwnRecipeStoreTest, public testing::WithParamInterface<RetryCase> {};

TEST_P(OwnRecipeRetryTest, IsNeitherDoubledNorRefusedAsAnotherBenchs) {
    const RetryCase& test = GetParam();
    OwnRecipeId k1 = 0;
    Open().Save(k1, Recipe(u"К-1", 100000), At(0));
    bool failNext = false;
    OwnRecipeStore here(std::make_unique<test::LandedButFailedFile>(path_.string(), failNext, test.landed));
    ASSERT_EQ(here.Load(), JournalLoadResult::Loaded);
    OwnRecipeId k2 = 0;
    OwnSaveClash clash;
    const auto save = [&](std::int64_t minute) {
        switch (test.kind) {
        case SaveKind::kNewRecipe: return here.Save(k2, Recipe(u"К-2", 200000), At(minute), std::nullopt, clash);
        case SaveKind::kEdit: return here.Save(k1, Recipe(u"К-1", 110000), At(minute), 1, clash);
        case SaveKind::kImport: break;
        }
        return ImportOwnRecipes(here, {Recipe(u"К-1", 110000), Recipe(u"К-2", 200000)}, At(minute));
    };
    failNext = true;
    ASSERT_EQ(save(1), JournalAppendResult::WriteFailed);
    OwnRecipeId theirs = 0;
    if (test.meanwhile == Meanwhile::kOtherSavesK2) Open().Save(theirs, Recipe(u"К-2", 300000), At(2));
    if (test.meanwhile == Meanwhile::kOtherEditsK1) Open().Save(k1, Recipe(u"К-1", 120000), At(2));
    ASSERT_EQ(save(3), test.retry);
    EXPECT_EQ(clash.code, test.clashCode);
    EXPECT_EQ(clash.changed, test.changed);

    const OwnRecipeStore reopened = Open();
    const OwnRecipeCurrent* k1Now = reopened.FindCurrent(u"К-1");
    const OwnRecipeCurrent* k2Now = reopened.FindCurrent(u"К-2");
    ASSERT_NE(k1Now, nullptr);
    EXPECT_EQ(k1Now->versions, test.k1Versions);
    EXPECT_EQ(k2Now ? k2Now->versions : 0, test.k2Versions);
    // A retry of what landed writes its bytes again, times as they were.
    if (test.landed && test.kind != SaveKind::kNewRecipe) {
        EXPECT_EQ(k1Now->lastSaved, At(1));
    }
    if (test.landed && k2Now) {
        EXPECT_EQ(k2Now->lastSaved, At(1));
    }
    if (test.kind == SaveKind::kNewRecipe && test.retry == JournalAppendResult::Appended) {
        EXPECT_EQ(k2Now->id, k2);
    }
    EXPECT_TRUE(reopened.Damage().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, OwnRecipeRetryTest, testing::ValuesIn(kRetryCases),
                         [](const testing::TestParamInfo<RetryCase>& info) { return info.param.name; });

// An import cut by a power loss at any byte leaves the recipes as they were, and the
// next save goes on after it.
TEST_F(OwnRecipeStoreTest, AnImportCutAnywhereSavesNoneOfItsRecipes) {
    OwnRecipeId id = 0;
    Open().Save(id, Recipe(u"К-1", 100000), At(0));
    const auto before = std::filesystem::file_size(path_);
    std::vector<OwnRecipeId> ids = {id, 0, 0};
    ASSERT_EQ(Open().SaveAll(ids, {Recipe(u"К-1", 1), Recipe(u"К-2", 2), Recipe(u"К-3", 3)}, At(1)),
              JournalAppendResult::Appended);
    std::string whole;
    ASSERT_TRUE(OpenPosixJournalFile(path_.string())->ReadAt(0, std::filesystem::file_size(path_), whole));
    for (std::size_t cut = before; cut < whole.size(); ++cut) {
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << whole.substr(0, cut);
        OwnRecipeId next = 0;
        ASSERT_EQ(Open().Save(next, Recipe(u"К-4", 4), At(2)), JournalAppendResult::Appended);
        const OwnRecipeStore store = Open();
        EXPECT_EQ(Codes(store), (std::vector<WideString>{u"К-1", u"К-4"}));
        EXPECT_EQ(store.Current().front().recipe, Recipe(u"К-1", 100000));
        EXPECT_EQ(store.Damage().empty(), cut == before);
    }
}

// What a store shows the painter, every recipe's history included.
struct Shown {
    std::vector<OwnRecipeCurrent> current;
    std::vector<OwnRecipeVersion> deleted;
    std::vector<std::vector<OwnRecipeVersion>> histories;
    std::vector<JournalDamage> damage;
    bool operator==(const Shown&) const = default;
};

Shown ShownBy(const OwnRecipeStore& store) {
    Shown shown{store.Current(), store.Deleted(), {}, store.Damage()};
    for (const OwnRecipeCurrent& current : shown.current) shown.histories.push_back(store.History(current.id));
    for (const OwnRecipeVersion& deleted : shown.deleted) shown.histories.push_back(store.History(deleted.id));
    return shown;
}

// The index beside the log: an opening through it shows what the log alone shows.
class OwnRecipeIndexTest : public OwnRecipeStoreTest {
protected:
    void TearDown() override {
        std::filesystem::remove(Index());
        OwnRecipeStoreTest::TearDown();
    }
    std::string Index() const { return path_.string() + kLogIndexSuffix; }
    OwnRecipeStore OpenIndexed() {
        OwnRecipeStore store(OpenPosixJournalFile(path_.string()), OpenPosixLogIndex(path_.string()));
        EXPECT_EQ(store.Load(), JournalLoadResult::Loaded);
        return store;
    }
    void WriteIndex() { EXPECT_TRUE(OpenIndexed().WriteIndex()); }
    void Append(const std::string& bytes) { ASSERT_TRUE(OpenPosixJournalFile(path_.string())->Append(bytes)); }

    // Versions, a delete, bytes that are no record, a version whose fields do not read,
    // and an edit reported failed that landed, retried after `meanwhile`: it counts once.
    void WriteHistory(const std::function<void()>& meanwhile) {
        bool failNext = false;
        OwnRecipeStore here(std::make_unique<test::LandedButFailedFile>(path_.string(), failNext));
        ASSERT_EQ(here.Load(), JournalLoadResult::Loaded);
        OwnRecipeId k1 = 0, k2 = 0, k3 = 0, k4 = 0;
        here.Save(k1, Recipe(u"К-1", 100000), At(0));
        here.Save(k2, Recipe(u"К-2", 200000), At(1));
        here.Save(k3, Recipe(u"К-3", 300000), At(2));
        ASSERT_EQ(here.Delete(k2, At(3)), JournalAppendResult::Appended);
        Append("no record here");
        const std::string cutFields = EncodeOwnRecipeVersion({k3, At(4), false, Recipe(u"К-3", 1)}).substr(0, 30);
        Append(EncodeFrame(kOwnRecipeKind, cutFields));
        OwnSaveClash clash;
        failNext = true;
        ASSERT_EQ(here.Save(k1, Recipe(u"К-1", 110000), At(5), 1, clash), JournalAppendResult::WriteFailed);
        meanwhile();
        ASSERT_EQ(here.Save(k1, Recipe(u"К-1", 110000), At(6), 1, clash), JournalAppendResult::Appended);
        ASSERT_EQ(here.Save(k4, Recipe(u"К-4", 400000), At(7)), JournalAppendResult::Appended);
    }
};

enum class IndexKind { kNone, kAtTheEnd, kBeforeTheTail, kOfAnotherLogOfTheSameSize, kGarbled, kOfANewerVersion,
                       kBeforeAnImportCutShort };

struct IndexedOpenCase {
    const char* name;
    IndexKind index;
    bool read;  // the opening reads on from the index
};

class OwnRecipeIndexedOpen : public OwnRecipeIndexTest, public testing::WithParamInterface<IndexedOpenCase> {};

TEST_P(OwnRecipeIndexedOpen, ShowsWhatTheLogAloneShows) {
    const IndexKind kind = GetParam().index;
    WriteHistory([&] {
        if (kind == IndexKind::kBeforeTheTail || kind == IndexKind::kBeforeAnImportCutShort) WriteIndex();
    });
    if (kind == IndexKind::kAtTheEnd || kind == IndexKind::kOfAnotherLogOfTheSameSize || kind == IndexKind::kGarbled ||
        kind == IndexKind::kOfANewerVersion)
        WriteIndex();
    std::string index;
    if (kind != IndexKind::kNone) ASSERT_TRUE(OpenPosixWholeFile(Index())->Read(index));
    if (kind == IndexKind::kOfAnotherLogOfTheSameSize) {
        // The log restored from another bench's copy, as long as this one: new ids throughout.
        const auto size = std::filesystem::file_size(path_);
        std::filesystem::remove(path_);
        WriteHistory([] {});
        ASSERT_EQ(std::filesystem::file_size(path_), size);
    }
    if (kind == IndexKind::kGarbled) index[index.size() / 2] ^= 0x20;
    if (kind == IndexKind::kOfANewerVersion) {
        // A later program's index, whole and checksummed: its version, after the magic, is one up.
        constexpr std::size_t kVersionAt = 8;
        constexpr std::size_t kCrcSize = 4;
        index[kVersionAt] = static_cast<char>(kOwnRecipeIndexVersion + 1);
        const std::uint32_t crc = Crc32(index.data(), index.size() - kCrcSize);
        for (std::size_t i = 0; i < kCrcSize; ++i)
            index[index.size() - kCrcSize + i] = static_cast<char>(crc >> (8 * i));
    }
    if (kind != IndexKind::kNone) ASSERT_TRUE(OpenPosixWholeFile(Index())->Replace(index));
    if (kind == IndexKind::kBeforeAnImportCutShort) {
        const auto frame = [](OwnRecipeId id, const char16_t* code, RecordId save) {
            return EncodeFrame(kOwnRecipeKind, EncodeOwnRecipeVersion({id, At(8), false, Recipe(code, 5)}, save));
        };
        const std::string first = frame(55, u"К-5", 501);
        const std::string second = frame(56, u"К-6", 502);
        const std::string import = EncodeImport(9, 2, first + second);
        Append(import.substr(0, import.size() - second.size() - EncodeImportAbandoned().size()));
        EXPECT_FALSE(OpenIndexed().WriteIndex());  // its end may come yet
    }

    OwnRecipeStore indexed = OpenIndexed();
    EXPECT_EQ(indexed.Indexed(), GetParam().read);
    const Shown alone = ShownBy(Open());
    EXPECT_EQ(ShownBy(indexed), alone);
    ASSERT_NE(indexed.FindCurrent(u"К-1"), nullptr);
    EXPECT_EQ(indexed.FindCurrent(u"К-1")->versions, 2u);
    EXPECT_EQ(alone.damage.size(), 2u);  // the bytes that are no record and the version that does not read

    // Saved through it, counted as the log counts: the next opening agrees again.
    OwnRecipeId k1 = indexed.FindCurrent(u"К-1")->id;
    OwnSaveClash clash;
    ASSERT_EQ(indexed.Save(k1, Recipe(u"К-1", 120000), At(9), 2, clash), JournalAppendResult::Appended);
    EXPECT_EQ(ShownBy(OpenIndexed()), ShownBy(Open()));
}

const IndexedOpenCase kIndexedOpenCases[] = {
    {"NoIndex", IndexKind::kNone, false},
    {"AtTheEnd", IndexKind::kAtTheEnd, true},
    {"BeforeTheTail", IndexKind::kBeforeTheTail, true},
    {"OfAnotherLogOfTheSameSize", IndexKind::kOfAnotherLogOfTheSameSize, false},
    {"Garbled", IndexKind::kGarbled, false},
    {"OfANewerVersion", IndexKind::kOfANewerVersion, false},
    {"BeforeAnImportCutShort", IndexKind::kBeforeAnImportCutShort, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, OwnRecipeIndexedOpen, testing::ValuesIn(kIndexedOpenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OwnRecipeIndexTest, CutAnywhereOpensAsTheLogAlone) {
    WriteHistory([] {});
    WriteIndex();
    std::string whole;
    ASSERT_TRUE(OpenPosixWholeFile(Index())->Read(whole));
    ASSERT_TRUE(OpenIndexed().Indexed());
    const Shown alone = ShownBy(Open());
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        std::ofstream(Index(), std::ios::binary | std::ios::trunc) << whole.substr(0, cut);
        const OwnRecipeStore store = OpenIndexed();
        ASSERT_FALSE(store.Indexed());
        ASSERT_EQ(ShownBy(store), alone);
    }
}

struct BadCsvCase {
    const char* name;
    std::string rows;  // after the title row
    std::size_t row;
    const char16_t* reason;
};

class OwnRecipeCsvErrors : public testing::TestWithParam<BadCsvCase> {};

TEST_P(OwnRecipeCsvErrors, NameTheRowAndTheReasonAndReadNothing) {
    const std::string csv = "Код;Название;Цвет R-G-B;Примечание;Компонент;Количество на 1000 г основы\n"
                            "К-1;Бежевый;1-2-3;;OSN;1000\n"
                            "К-1;Бежевый;1-2-3;;WHT;5\n" +
                            GetParam().rows;
    std::vector<OwnRecipe> read = {Recipe(u"untouched", 1)};
    CsvError error;
    EXPECT_FALSE(ReadOwnRecipesCsv(csv, test::ShippedCatalogue(), read, error));
    EXPECT_EQ(error.row, GetParam().row);
    EXPECT_EQ(error.reason, GetParam().reason);
    EXPECT_EQ(read, std::vector<OwnRecipe>{Recipe(u"untouched", 1)});
}

const BadCsvCase kBadCsvCases[] = {
    {"TooFewFields", "К-2;Синий;1-2-3;OSN;1000\n", 4, u"полей 5 вместо 6"},
    {"BadColour", "К-2;Синий;1-2-300;;OSN;1000\n", 4, u"цвет «1-2-300» не в виде R-G-B от 0 до 255"},
    {"FourDecimals", "К-2;Синий;1-2-3;;OSN;1000\nК-2;Синий;1-2-3;;BLU;1,2345\n", 5,
     u"у количества компонента «BLU» больше трёх знаков после запятой"},
    {"UnknownComponent", "К-2;Синий;1-2-3;;OSN;1000\nК-2;Синий;1-2-3;;XYZ;1\n", 5, u"неизвестный компонент «XYZ»"},
    {"CatalogueCode", "RAL 5005;Синий;1-2-3;;OSN;1000\n", 4,
     u"код «RAL 5005» уже есть в каталоге, выберите другой код"},
    {"SameCodeFurtherDown", "К-2;Синий;1-2-3;;OSN;1000\nк-1;Бежевый;1-2-3;;OSN;1000\n", 5,
     u"рецепт с кодом «к-1» уже есть"},
    {"QuoteLeftOpen", "К-2;\"Синий;1-2-3;;OSN;1000\n", 4, u"не закрыта кавычка"},
};

INSTANTIATE_TEST_SUITE_P(Cases, OwnRecipeCsvErrors, testing::ValuesIn(kBadCsvCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A recipe's target: kept in its versions (spectrum and how it was made too), read
// as nothing from a version written before targets were kept.
OwnTarget MatchedTarget() {
    OwnTarget target{52.31, -4.1, 18.0, std::vector<double>(kOwnTargetBands, 0.25), u"замер"};
    target.reflectance.back() = 0.0312345678901;
    return target;
}

struct TargetKeptCase {
    const char* name;
    std::optional<OwnTarget> target;
    bool writtenBeforeTargets;  // the payload ends with the save's id
};

class OwnTargetKeptTest : public testing::TestWithParam<TargetKeptCase> {};

TEST_P(OwnTargetKeptTest, ReadsBackExactly) {
    OwnRecipeVersion version{7, At(3), false, Recipe(u"К-1", 5000)};
    version.recipe.target = GetParam().target;
    std::string payload = EncodeOwnRecipeVersion(version, 42);
    if (GetParam().writtenBeforeTargets) {
        OwnRecipeVersion plain = version;
        plain.recipe.target.reset();
        payload = EncodeOwnRecipeVersion(plain, 42);
        payload.pop_back();  // the flag that says no target is kept
        version.recipe.target.reset();
    }
    OwnRecipeVersion read;
    RecordId save = 0;
    ASSERT_TRUE(DecodeOwnRecipeVersion(payload, read, &save));
    EXPECT_EQ(read, version);
    EXPECT_EQ(save, 42u);
}

const TargetKeptCase kTargetKeptCases[] = {
    {"NoTarget", std::nullopt, false},
    {"TypedLab", OwnTarget{60, 0, -0.5, {}, u"подбор"}, false},
    {"MeasuredSpectrum", MatchedTarget(), false},
    {"WrittenBeforeTargets", MatchedTarget(), true},
};

INSTANTIATE_TEST_SUITE_P(Cases, OwnTargetKeptTest, testing::ValuesIn(kTargetKeptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OwnRecipeStoreTest, ATargetSurvivesTheFileAndTheTableKeepsItsLab) {
    OwnRecipe matched = Recipe(u"К-1", 119125);
    matched.target = MatchedTarget();
    OwnRecipeId id = 0;
    ASSERT_EQ(Open().Save(id, matched, At(0)), JournalAppendResult::Appended);
    const OwnRecipeStore store = Open();
    ASSERT_EQ(store.Current().size(), 1u);
    EXPECT_EQ(store.Current().front().recipe, matched);

    const std::string csv = ExportOwnRecipesCsv(store.Current());
    EXPECT_NE(csv.find("OSN;1000;52,31 -4,1 18\r\n"), std::string::npos) << csv;
    std::vector<OwnRecipe> read;
    CsvError error;
    ASSERT_TRUE(ReadOwnRecipesCsv(csv, test::ShippedCatalogue(), read, error)) << ToUtf8(error.reason);
    ASSERT_EQ(read.size(), 1u);
    // The table keeps the L*a*b* only: the spectrum and how it was made stay in the store.
    EXPECT_EQ(read.front().target, (OwnTarget{52.31, -4.1, 18.0, {}, {}}));
}

struct CsvTargetCase {
    const char* name;
    std::string header;  // the title row's end after the amount's title
    std::string field;   // the first row's target, with its ';' when the column is there
    std::size_t row;     // 0: read
    std::optional<OwnTarget> target;
    const char16_t* reason;
};

class OwnRecipeCsvTarget : public testing::TestWithParam<CsvTargetCase> {};

TEST_P(OwnRecipeCsvTarget, IsReadOrNamedAsTheReason) {
    const CsvTargetCase& c = GetParam();
    const std::string csv = "Код;Название;Цвет R-G-B;Примечание;Компонент;Количество на 1000 г основы" + c.header +
                            "\nК-1;Бежевый;1-2-3;;OSN;1000" + c.field + "\nК-1;Бежевый;1-2-3;;WHT;5" +
                            (c.header.empty() ? "" : ";") + "\n";
    std::vector<OwnRecipe> read;
    CsvError error;
    ASSERT_EQ(ReadOwnRecipesCsv(csv, test::ShippedCatalogue(), read, error), c.row == 0) << ToUtf8(error.reason);
    if (c.row == 0) {
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read.front().target, c.target);
    } else {
        EXPECT_EQ(error.row, c.row);
        EXPECT_EQ(error.reason, c.reason);
    }
}

const CsvTargetCase kCsvTargetCases[] = {
    {"OldTableWithoutTheColumn", "", "", 0, std::nullopt, u""},
    {"EmptyField", ";Цель L*a*b*", ";", 0, std::nullopt, u""},
    {"DecimalCommas", ";Цель L*a*b*", ";52,5 -4 18,25", 0, OwnTarget{52.5, -4, 18.25, {}, {}}, u""},
    {"PointsAndCommas", ";Цель L*a*b*", ";\"52.5, -4, 18.25\"", 0, OwnTarget{52.5, -4, 18.25, {}, {}}, u""},
    {"LightnessOver100", ";Цель L*a*b*", ";120 0 0", 2, std::nullopt,
     u"цель L*a*b* «120 0 0» не три числа: L* от 0 до 100, a* и b* от -200 до 200"},
    {"TwoNumbers", ";Цель L*a*b*", ";52 4", 2, std::nullopt,
     u"цель L*a*b* «52 4» не три числа: L* от 0 до 100, a* и b* от -200 до 200"},
    {"OldHeaderNewRows", "", ";52 4 1", 2, std::nullopt, u"полей 7 вместо 6"},
};

INSTANTIATE_TEST_SUITE_P(Cases, OwnRecipeCsvTarget, testing::ValuesIn(kCsvTargetCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
