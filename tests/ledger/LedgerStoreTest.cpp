// The ledger's log on a real file, shared by two benches and read past damage; and the
// price table a shop fills in and imports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Utf8.h"
#include "journal/posix/PosixJournalFile.h"
#include "ledger/LedgerCsv.h"
#include "ledger/LedgerDay.h"
#include "tests/journal/LandedButFailedFile.h"
#include "tests/ledger/LedgerTestCatalogue.h"

namespace lacqueron {
namespace {

using test::kMonday;

class LedgerStoreTest : public testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("lacqueron-ledger-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name() + ".lqs");
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::unique_ptr<LedgerStore> Open() {
        auto store = std::make_unique<LedgerStore>(OpenPosixJournalFile(path_.string()));
        EXPECT_EQ(store->Load(), JournalLoadResult::Loaded);
        return store;
    }
    void AppendBytes(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary | std::ios::app) << bytes;
    }

    std::filesystem::path path_;
};

TEST_F(LedgerStoreTest, TwoBenchesSeeEachOthersRecordsAndDamageIsReadAround) {
    const BatchTime saved = {test::kMondayUtc, test::kMoscow};
    auto first = Open();
    auto second = Open();
    ASSERT_EQ(first->AddPrices({{u"WHT", 123456, kMonday, saved}, {u"B4/OSN", 50000, std::nullopt, saved}}),
              JournalAppendResult::Appended);
    ASSERT_EQ(second->AddReceipt({u"WHT", 100000, kMonday, u"Счёт 12; «Ока»", saved}), JournalAppendResult::Appended);
    ASSERT_EQ(second->Prices().size(), 2u);  // caught up while writing
    EXPECT_TRUE(first->Refresh());
    EXPECT_FALSE(first->Refresh());
    ASSERT_EQ(first->Receipts().size(), 1u);
    EXPECT_EQ(first->Receipts()[0].note, u"Счёт 12; «Ока»");

    // A record of a ledger kind whose fields do not read, then a write cut short.
    const std::uint64_t badAt = std::filesystem::file_size(path_);
    AppendBytes(EncodeFrame(kPriceKind, "short"));
    const std::uint64_t cutAt = std::filesystem::file_size(path_);
    AppendBytes(EncodeFrame(kCountKind, EncodeCount({u"WHT", 1, 1, kMonday, saved})).substr(0, 20));
    ASSERT_EQ(first->AddMinimum({u"WHT", 50000, saved}), JournalAppendResult::Appended);

    const auto reopened = Open();
    EXPECT_EQ(reopened->Prices(), first->Prices());
    EXPECT_EQ(reopened->Prices()[1].from, std::nullopt);
    EXPECT_EQ(reopened->Receipts().size(), 1u);
    EXPECT_TRUE(reopened->Counts().empty());
    ASSERT_EQ(reopened->Minimums().size(), 1u);  // written after the damage, found again
    // The import of two prices is four records: its opening, the prices, its closing.
    EXPECT_EQ(reopened->Damage(), (std::vector<JournalDamage>{{badAt, 6, JournalDamageKind::BadPayload},
                                                              {cutAt, 7, JournalDamageKind::TruncatedRecord}}));
}

// A delivery and a price import that landed although the painter was told they failed,
// entered again: each counts once. The same delivery entered after a success is another.
TEST_F(LedgerStoreTest, ARecordReportedFailedIsNotDoubledByItsRetry) {
    const BatchTime saved = {test::kMondayUtc, test::kMoscow};
    const BatchTime retried = {test::kMondayUtc + 60, test::kMoscow};
    const std::vector<PriceRecord> prices = {{u"WHT", 123456, kMonday, saved}, {u"BLK", 50000, std::nullopt, saved}};
    bool failNext = true;
    LedgerStore store(std::make_unique<test::LandedButFailedFile>(path_.string(), failNext));
    ASSERT_EQ(store.Load(), JournalLoadResult::Loaded);
    ASSERT_EQ(store.AddReceipt({u"WHT", 100000, kMonday, u"Счёт 12", saved}), JournalAppendResult::WriteFailed);
    ASSERT_EQ(store.AddReceipt({u"WHT", 100000, kMonday, u"Счёт 12", retried}), JournalAppendResult::Appended);
    failNext = true;
    ASSERT_EQ(store.AddPrices(prices), JournalAppendResult::WriteFailed);
    ASSERT_EQ(store.AddPrices(prices), JournalAppendResult::Appended);
    ASSERT_EQ(store.AddReceipt({u"WHT", 100000, kMonday, u"Счёт 12", retried}), JournalAppendResult::Appended);

    const auto reopened = Open();
    EXPECT_EQ(reopened->Prices(), prices);
    ASSERT_EQ(reopened->Receipts().size(), 2u);
    EXPECT_EQ(reopened->Receipts()[0].saved, saved);  // the retry wrote the first attempt again
    EXPECT_EQ(reopened->Receipts()[1].saved, retried);
    EXPECT_TRUE(reopened->Damage().empty());
}

TEST(LedgerRecordTest, APayloadGrownByLaterFieldsStillReads) {
    const PriceRecord price{u"B6/LAK", 30000, kMonday, {1, 2}};
    PriceRecord read;
    ASSERT_TRUE(DecodePrice(EncodePrice(price) + "later", read));
    EXPECT_EQ(read.perKilogram, price.perKilogram);
    EXPECT_EQ(read.from, price.from);
    EXPECT_FALSE(DecodePrice(EncodePrice(price).substr(0, 20), read));
    // A record written before records had ids ends before the id, and has id 0.
    const std::string withId = EncodePrice(price, 7);
    RecordId id = 1;
    ASSERT_TRUE(DecodePrice(withId, read, &id));
    EXPECT_EQ(id, 7u);
    ASSERT_TRUE(DecodePrice(withId.substr(0, withId.size() - sizeof(RecordId)), read, &id));
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(read.perKilogram, price.perKilogram);
}

TEST(PricesCsvTest, AnExportReadsBackAsTheSamePricesAndAddsNothingAgain) {
    const std::vector<LedgerComponent> components = LedgerComponents(test::LedgerCatalogue());
    const std::vector<PriceRecord> prices = {{u"WHT", 150000, kMonday, {}},
                                             {u"WHT", 123456, std::nullopt, {}},
                                             {u"B6/LAK", 30000, std::nullopt, {}}};
    const std::string csv = ExportPricesCsv(components, prices, SharedKeys(test::LedgerCatalogue()));
    EXPECT_NE(csv.find("WHT;Паста белая;1234,56;\r\nWHT;Паста белая;1500,00;07.12.2026\r\n"), std::string::npos);
    EXPECT_NE(csv.find("B4/OSN;Основа для пластика глянцевая;;\r\n"), std::string::npos);

    const BatchTime now = {test::kMondayUtc, test::kMoscow};
    std::vector<PriceRecord> read;
    CsvError error;
    ASSERT_TRUE(ReadPricesCsv(csv, components, PriceBook({}, test::LedgerCatalogue()), now, read, error))
        << ToUtf8(error.reason);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].key, u"B6/LAK");
    EXPECT_EQ(read[2].perKilogram, 150000);
    EXPECT_EQ(read[2].from, kMonday);
    EXPECT_EQ(read[2].saved, now);
    ASSERT_TRUE(ReadPricesCsv(csv, components, PriceBook(prices, test::LedgerCatalogue()), now, read, error));
    EXPECT_TRUE(read.empty());
}

struct ImportCase {
    const char* what;
    std::vector<PriceRecord> known;  // in file order
    const char* rows;                // under the title
    std::vector<std::pair<Kopecks, std::optional<DayNumber>>> imported;
};

class PriceImportTest : public testing::TestWithParam<ImportCase> {};

TEST_P(PriceImportTest, ARowIsPassedOverOnlyWhenItIsThePriceInForceOnItsStart) {
    const Catalogue& catalogue = test::LedgerCatalogue();
    const std::string csv = "\xEF\xBB\xBF" "Код;Компонент;Цена за кг, ₽;Действует с\r\n" + std::string(GetParam().rows);
    std::vector<PriceRecord> read;
    CsvError error;
    ASSERT_TRUE(ReadPricesCsv(csv, LedgerComponents(catalogue), PriceBook(GetParam().known, catalogue), {}, read, error))
        << ToUtf8(DescribeCsvError(error));
    std::vector<std::pair<Kopecks, std::optional<DayNumber>>> imported;
    for (const PriceRecord& price : read) imported.emplace_back(price.perKilogram, price.from);
    EXPECT_EQ(imported, GetParam().imported);
}

// A bench whose clock is behind saves later with an earlier time.
constexpr BatchTime kEarlier = {test::kMondayUtc - 3600, 0};
constexpr BatchTime kLater = {test::kMondayUtc, 0};

INSTANTIATE_TEST_SUITE_P(
    PricesInForce, PriceImportTest,
    testing::Values(
        ImportCase{"a return to an earlier price",
                   {{u"WHT", 10000, std::nullopt, kLater}, {u"WHT", 12000, std::nullopt, kEarlier}},
                   "WHT;;100,00;\r\n",
                   {{10000, std::nullopt}}},
        ImportCase{"the prices in force on their starts again",
                   {{u"WHT", 10000, std::nullopt, kLater}, {u"WHT", 12000, kMonday, kLater}},
                   "WHT;;100,00;\r\nWHT;;120,00;07.12.2026\r\n",
                   {}},
        ImportCase{"a price back on a later day", {{u"WHT", 10000, std::nullopt, kLater}, {u"WHT", 12000, kMonday, kLater}},
                   "WHT;;100,00;08.12.2026\r\n",
                   {{10000, kMonday + 1}}},
        ImportCase{"the same row twice in one table",
                   {},
                   "WHT;;130,00;07.12.2026\r\nWHT;;130,00;07.12.2026\r\n",
                   {{13000, kMonday}}},
        ImportCase{"another price on the same start", {{u"WHT", 13000, kMonday, kLater}},
                   "WHT;;140,00;07.12.2026\r\n", {{14000, kMonday}}}),
    [](const testing::TestParamInfo<ImportCase>& info) { return "case" + std::to_string(info.index); });

TEST(PricesCsvTest, ABadRowIsNamedAndNothingIsRead) {
    const std::vector<LedgerComponent> components = LedgerComponents(test::LedgerCatalogue());
    const std::string title = "\xEF\xBB\xBF" "Код;Компонент;Цена за кг, ₽;Действует с\r\n";
    const std::string good = "WHT;Паста белая;1 234,56;\r\n";
    const std::pair<std::string, const char16_t*> cases[] = {
        {"Код;Цена\r\n", u"Строка 1: первая строка не заголовок «Код;Компонент;Цена за кг, ₽;Действует с»"},
        {title + good + "B6/OSN;Основа;100;\r\n", u"Строка 3: неизвестный компонент «B6/OSN»"},
        {title + good + "GRN;;12,345;\r\n", u"Строка 3: цена «12,345» не число с двумя знаками после запятой"},
        {title + "GRN;;12;31.02.2026\r\n", u"Строка 2: дата «31.02.2026» не в виде ДД.ММ.ГГГГ"},
        {title + good + "\r\nGRN;12\r\n", u"Строка 4: полей 2 вместо 4"},
    };
    for (const auto& [csv, message] : cases) {
        std::vector<PriceRecord> read = {{u"RAZ", 1, std::nullopt, {}}};
        CsvError error;
        EXPECT_FALSE(ReadPricesCsv(csv, components, PriceBook({}, test::LedgerCatalogue()), {}, read, error));
        EXPECT_EQ(DescribeCsvError(error), message);
        EXPECT_EQ(read.size(), 1u);
    }
}

}  // namespace
}  // namespace lacqueron
