// Stock as a running account: the latest count with the deliveries after it, less what
// the journal's standing batches poured after it; the usage of the last 30 days; what a
// batch would leave short.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "journal/posix/PosixJournalFile.h"
#include "ledger/Costing.h"
#include "ledger/LedgerCsv.h"
#include "ledger/LedgerDay.h"
#include "tests/ledger/LedgerTestCatalogue.h"

namespace lacqueron {
namespace {

using test::kMonday;
using test::LedgerCatalogue;

constexpr Hundredths kGram = kHundredthsPerGram;

// A moment on a day, at an hour UTC, recorded in Moscow.
BatchTime At(DayNumber day, std::int64_t hour, std::int32_t offset = test::kMoscow) {
    return {static_cast<std::int64_t>(day) * 86400 + hour * test::kSecondsPerHour, offset};
}

BatchRecord Batch(std::uint64_t id, DayNumber day, std::vector<BatchComponent> components,
                  BatchStatus status = BatchStatus::Done) {
    BatchRecord batch;
    batch.time = {static_cast<std::int64_t>(day) * 86400 + 12 * test::kSecondsPerHour, test::kMoscow};
    batch.purpose = 4;
    batch.components = std::move(components);
    batch.status = status;
    batch.batchId = id;
    return batch;
}

BatchComponent White(Hundredths recipe, Hundredths poured, bool addition = false) {
    return {u"Паста белая", recipe, poured, u"WHT", addition};
}

JournalContents JournalOf(const std::vector<BatchRecord>& batches) {
    std::string bytes = EncodeJournalHeader();
    for (const BatchRecord& batch : batches) bytes += EncodeBatchFrame(batch);
    return JournalContents::Parse(std::move(bytes));
}

class StockTest : public testing::Test {
protected:
    void SetUp() override {
        // A parameterised test's name holds a slash.
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        path_ = std::filesystem::temp_directory_path() /
                ("lacqueron-stock-" + std::to_string(::getpid()) + "-" + name + ".lqs");
        std::filesystem::remove(path_);
        ledger_ = std::make_unique<LedgerStore>(OpenPosixJournalFile(path_.string()));
        ASSERT_EQ(ledger_->Load(), JournalLoadResult::Loaded);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    static StockRow Find(const std::vector<StockRow>& rows, const ComponentKey& key) {
        for (const StockRow& row : rows)
            if (row.key == key) return row;
        ADD_FAILURE() << "no row";
        return {};
    }

    std::filesystem::path path_;
    std::unique_ptr<LedgerStore> ledger_;
};

TEST_F(StockTest, DeliveriesCountsAndEveryGramReallyPoured) {
    ASSERT_EQ(ledger_->AddReceipt({u"WHT", 1000 * kGram, kMonday - 40, u"Поставка 1", {}}), JournalAppendResult::Appended);
    const JournalContents journal = JournalOf({
        Batch(1, kMonday - 35, {White(10000, 10000)}),  // before the last 30 days
        Batch(2, kMonday - 10, {White(5000, 5000)}),
        Batch(3, kMonday - 5, {White(5000, 3000)}, BatchStatus::Abandoned),  // stopped after 30 g
        // Batch 2 again, with 20 g added while tinting: it replaces the record above.
        Batch(2, kMonday - 10, {White(5000, 5000), White(0, 2000, true)}),
    });
    StockAccount account(LedgerCatalogue(), *ledger_, journal);
    EXPECT_EQ(account.OnHand(u"WHT", kMonday - 36), 1000 * kGram);
    // 1000 − 100 − 70 − 30; the shop counts 1200 g, 400 more than the account says.
    EXPECT_EQ(account.OnHand(u"WHT", kMonday - 2), 800 * kGram);
    const CountRecord count = account.CountOf(u"WHT", 1200 * kGram, At(kMonday - 2, 12));
    EXPECT_EQ(count.correction, 400 * kGram);
    EXPECT_EQ(count.day, kMonday - 2);
    ASSERT_EQ(ledger_->AddCount(count), JournalAppendResult::Appended);
    ASSERT_EQ(ledger_->AddReceipt({u"WHT", 500 * kGram, kMonday - 1, {}, {}}), JournalAppendResult::Appended);
    ASSERT_EQ(ledger_->AddMinimum({u"WHT", 2000 * kGram, {}}), JournalAppendResult::Appended);
    account.CatchUp(*ledger_, journal);

    StockRow white = Find(account.Rows(kMonday), u"WHT");
    EXPECT_EQ(white.onHand, 1700 * kGram);
    EXPECT_EQ(white.usedLast30Days, 100 * kGram);
    EXPECT_EQ(white.daysLeft, 510);  // 1700 g at 100 g per 30 days
    EXPECT_EQ(white.minimum, 2000 * kGram);
    EXPECT_TRUE(white.belowMinimum);
    const StockRow base = Find(account.Rows(kMonday), u"B4/OSN");
    EXPECT_EQ(base.onHand, 0);
    EXPECT_EQ(base.daysLeft, std::nullopt);
    EXPECT_FALSE(base.belowMinimum);

    // A new batch, then its later record with more poured: only the latest counts.
    account.AddBatch(Batch(4, kMonday, {White(20000, 20000)}));
    account.AddBatch(Batch(4, kMonday, {White(20000, 20000), White(0, 5000, true)}));
    white = Find(account.Rows(kMonday), u"WHT");
    EXPECT_EQ(white.onHand, 1450 * kGram);
    EXPECT_EQ(white.usedLast30Days, 350 * kGram);
    EXPECT_EQ(white.daysLeft, 124);  // 1450 × 30 / 350 = 124.3

    // A new account over the same records comes to the same figures.
    const JournalContents later = JournalOf({
        Batch(1, kMonday - 35, {White(10000, 10000)}), Batch(2, kMonday - 10, {White(5000, 5000)}),
        Batch(3, kMonday - 5, {White(5000, 3000)}, BatchStatus::Abandoned),
        Batch(2, kMonday - 10, {White(5000, 5000), White(0, 2000, true)}),
        Batch(4, kMonday, {White(20000, 20000), White(0, 5000, true)}),
    });
    EXPECT_EQ(StockAccount(LedgerCatalogue(), *ledger_, later).OnHand(u"WHT", kMonday), 1450 * kGram);

    // 1500 g more of white would leave −50 g; none of the base leaves it as it is.
    const std::vector<StockRow> shortfalls =
        account.Shortfalls({{u"WHT", u"Паста белая", 1000 * kGram, {}, 0}, {u"WHT", u"Паста белая", 500 * kGram, {}, 0},
                            {u"B4/OSN", u"Основа", 0, {}, 0}},
                           kMonday);
    ASSERT_EQ(shortfalls.size(), 1u);
    EXPECT_EQ(shortfalls[0].onHand, -50 * kGram);

    const std::string order = ExportOrderCsv(account.Rows(kMonday));
    EXPECT_EQ(order.substr(order.find("\r\n") + 2), "WHT;Паста белая;1450,00;2000,00;550,00\r\n");
}

// The lacquer of purposes 5 and 6 alike; purpose 4's is another, of its own density.
const Catalogue& SharedLacquerCatalogue() {
    static const Catalogue* const catalogue = [] {
        auto* made = new Catalogue;
        made->components.Append(test::Base(u"LAK", 4, u"Лак для пластика", 0.90));
        made->components.Append(test::Base(u"LAK", 5, u"Лак для пластика", 0.96));
        made->components.Append(test::Base(u"LAK", 6, u"Лак для пластика", 0.96));
        made->components.Append(test::Pigment(u"WHT", u"Паста белая", u"", 2.0));
        made->components.Append(test::Pigment(u"GRN", u"Паста зелёная", u"", 1.25));
        made->recipes.Append(test::Recipe({{u"LAK", 100}, {u"WHT", 10}}));
        return made;
    }();
    return *catalogue;
}

TEST_F(StockTest, OnePasteForPricesAndStockAndOnlyKeptStockWarned) {
    const Catalogue& catalogue = SharedLacquerCatalogue();
    std::vector<ComponentKey> keys;
    for (const LedgerComponent& component : LedgerComponents(catalogue)) keys.push_back(component.key);
    EXPECT_EQ(keys, (std::vector<ComponentKey>{u"B4/LAK", u"B5/LAK", u"WHT", u"GRN"}));

    // Recorded under purpose 6's key, as before: it is the one paste's.
    ASSERT_EQ(ledger_->AddPrice({u"B6/LAK", 50000, std::nullopt, {}}), JournalAppendResult::Appended);
    ASSERT_EQ(ledger_->AddReceipt({u"B6/LAK", 1000 * kGram, kMonday - 1, {}, At(kMonday - 1, 9)}),
              JournalAppendResult::Appended);
    ASSERT_EQ(ledger_->AddMinimum({u"GRN", 5 * kGram, {}}), JournalAppendResult::Appended);
    const PriceBook prices(ledger_->Prices(), catalogue);
    const Recipe recipe = ComputeRecipe(catalogue, catalogue.recipes[0], 5, kGrams, 110);
    const Costing costing = CostOfRecipe(catalogue, recipe, prices, kMonday);
    ASSERT_EQ(costing.lines.size(), 2u);
    EXPECT_EQ(costing.lines[0].key, u"B5/LAK");
    EXPECT_EQ(costing.lines[0].cost, 5000);  // 100 g at 500.00

    BatchRecord batch = Batch(1, kMonday, {{u"Лак для пластика", 30000, 30000, u"LAK", false}, White(1000, 1000)});
    batch.purpose = 6;
    const StockAccount account(catalogue, *ledger_, JournalOf({batch}));
    EXPECT_EQ(account.OnHand(u"B5/LAK", kMonday), 700 * kGram);
    EXPECT_EQ(account.OnHand(u"B6/LAK", kMonday), 700 * kGram);
    EXPECT_EQ(account.OnHand(u"B4/LAK", kMonday), 0);

    // White went below nothing, but the shop keeps no stock of it; green has a minimum.
    const std::vector<StockRow> shortfalls =
        account.Shortfalls({{u"B5/LAK", u"Лак", 800 * kGram, {}, 0}, {u"WHT", u"Паста белая", 10 * kGram, {}, 0},
                            {u"GRN", u"Паста зелёная", 1 * kGram, {}, 0}, {u"B4/LAK", u"Лак", 1 * kGram, {}, 0}},
                           kMonday);
    std::vector<ComponentKey> named;
    for (const StockRow& row : shortfalls) named.push_back(row.key);
    EXPECT_EQ(named, (std::vector<ComponentKey>{u"B5/LAK", u"GRN"}));
}

// What happened to the white paste, in the order the files got it: ledger records in
// the ledger's order, batches in the journal's.
struct Movement {
    enum Kind { kDelivery, kCount, kBatch } kind;
    BatchTime at;           // entered, counted or ended
    Hundredths grams = 0;   // delivered, counted or poured
    DayNumber day = 0;      // a delivery's
    Hundredths correction = 0;  // what the counting window worked out, which no reader takes
};

Movement Delivery(DayNumber day, BatchTime entered, Hundredths grams) { return {Movement::kDelivery, entered, grams, day}; }
Movement Count(BatchTime at, Hundredths counted, Hundredths correction = 0) {
    return {Movement::kCount, at, counted, LocalDay(at), correction};
}
Movement Poured(BatchTime at, Hundredths grams) { return {Movement::kBatch, at, grams}; }

struct CountCase {
    const char* what;
    std::vector<Movement> movements;
    DayNumber today;
    Hundredths onHand;
};

// The movements written to the ledger as they come; the batches, in order, for the journal.
std::vector<BatchRecord> Replay(LedgerStore& ledger, const std::vector<Movement>& movements) {
    std::vector<BatchRecord> batches;
    for (const Movement& m : movements) {
        switch (m.kind) {
        case Movement::kDelivery:
            EXPECT_EQ(ledger.AddReceipt({u"WHT", m.grams, m.day, {}, m.at}), JournalAppendResult::Appended);
            break;
        case Movement::kCount:
            EXPECT_EQ(ledger.AddCount({u"WHT", m.grams, m.correction, m.day, m.at}), JournalAppendResult::Appended);
            break;
        case Movement::kBatch: {
            BatchRecord batch = Batch(batches.size() + 1, 0, {White(m.grams, m.grams)});
            batch.time = m.at;
            batches.push_back(batch);
            break;
        }
        }
    }
    return batches;
}

class CountTest : public StockTest, public testing::WithParamInterface<CountCase> {};

TEST_P(CountTest, TheLatestCountIsWhatWasOnHandThen) {
    const std::vector<BatchRecord> batches = Replay(*ledger_, GetParam().movements);
    const JournalContents journal = JournalOf(batches);
    EXPECT_EQ(StockAccount(LedgerCatalogue(), *ledger_, journal).OnHand(u"WHT", GetParam().today), GetParam().onHand);
    // Taken in one record and one batch at a time, as a window catching up does.
    StockAccount growing(LedgerCatalogue(), *ledger_, JournalOf({}));
    for (const BatchRecord& batch : batches) growing.AddBatch(batch);
    EXPECT_EQ(growing.OnHand(u"WHT", GetParam().today), GetParam().onHand);
}

INSTANTIATE_TEST_SUITE_P(
    Stocktake, CountTest,
    testing::Values(
        CountCase{"no count: deliveries less batches",
                  {Delivery(kMonday - 1, At(kMonday - 1, 9), 1000 * kGram), Poured(At(kMonday, 10), 100 * kGram)},
                  kMonday, 900 * kGram},
        // The window stood open since before the other bench's batch at 10:00 and wrote
        // 950 − 1000; the batch at 10:00 is inside the count, the one at 12:00 after it.
        CountCase{"a batch poured on another bench while the stock window stood open",
                  {Delivery(kMonday - 1, At(kMonday - 1, 9), 1000 * kGram), Poured(At(kMonday, 10), 100 * kGram),
                   Count(At(kMonday, 11), 950 * kGram, -50 * kGram), Poured(At(kMonday, 12), 30 * kGram)},
                  kMonday, 920 * kGram},
        // Bench B counted at 10:00 and wrote first, bench A counted at 09:00 and wrote
        // after: B's is the later count.
        CountCase{"two counts of one paste",
                  {Delivery(kMonday - 2, At(kMonday - 2, 9), 1000 * kGram), Poured(At(kMonday, 9), 60 * kGram),
                   Count(At(kMonday, 10), 700 * kGram), Count(At(kMonday, 8), 800 * kGram), Poured(At(kMonday, 11), 20 * kGram)},
                  kMonday, 680 * kGram},
        CountCase{"the same moment twice: the one written last",
                  {Count(At(kMonday, 10), 700 * kGram), Count(At(kMonday, 10), 650 * kGram)}, kMonday, 650 * kGram},
        // Entered at noon, dated the day before the count: inside it. One dated the
        // count's day is inside when entered before it and after when entered after.
        CountCase{"a delivery entered after a count but dated before it",
                  {Delivery(kMonday, At(kMonday, 8), 40 * kGram), Count(At(kMonday, 10), 500 * kGram),
                   Delivery(kMonday - 1, At(kMonday, 12), 200 * kGram), Delivery(kMonday, At(kMonday, 13), 300 * kGram)},
                  kMonday, 800 * kGram},
        // The window saw no batch and wrote 600 − 1000; both batches before it are inside.
        CountCase{"a count taken while the journal could not be read",
                  {Delivery(kMonday - 3, At(kMonday - 3, 9), 1000 * kGram), Poured(At(kMonday - 2, 9), 100 * kGram),
                   Poured(At(kMonday - 1, 9), 200 * kGram), Count(At(kMonday, 9), 600 * kGram, -400 * kGram),
                   Poured(At(kMonday, 15), 50 * kGram)},
                  kMonday, 550 * kGram},
        // 21:00 UTC is Tuesday in Moscow, yet before a count at 22:00 UTC on a bench in London.
        CountCase{"a batch of another time zone's next day that ended before the count",
                  {Poured(At(kMonday, 21), 70 * kGram), Count(At(kMonday, 22, 0), 300 * kGram), Poured(At(kMonday + 1, 9), 10 * kGram)},
                  kMonday + 1, 290 * kGram},
        CountCase{"a count after the day asked about stands only from its own",
                  {Delivery(kMonday - 1, At(kMonday - 1, 9), 1000 * kGram), Count(At(kMonday + 1, 9), 10 * kGram)},
                  kMonday, 1000 * kGram}),
    [](const testing::TestParamInfo<CountCase>& info) { return "case" + std::to_string(info.index); });

// Whether a match that wants only pastes in stock may use the white paste on Monday.
struct InStockCase {
    const char* what;
    std::vector<Movement> movements;
    bool inStock;
};

class InStockTest : public StockTest, public testing::WithParamInterface<InStockCase> {};

TEST_P(InStockTest, OnlyAPasteWithSomethingOnHand) {
    const StockAccount account(LedgerCatalogue(), *ledger_, JournalOf(Replay(*ledger_, GetParam().movements)));
    EXPECT_EQ(account.InStock(u"WHT", kMonday), GetParam().inStock);
    EXPECT_FALSE(account.InStock(u"GRN", kMonday));  // never recorded
}

INSTANTIATE_TEST_SUITE_P(
    Match, InStockTest,
    testing::Values(
        InStockCase{"never recorded", {}, false},
        InStockCase{"delivered", {Delivery(kMonday - 1, At(kMonday - 1, 9), 100 * kGram)}, true},
        InStockCase{"delivered today", {Delivery(kMonday, At(kMonday, 9), 1)}, true},
        InStockCase{"all of it poured",
                    {Delivery(kMonday - 1, At(kMonday - 1, 9), 100 * kGram), Poured(At(kMonday, 10), 100 * kGram)},
                    false},
        InStockCase{"more poured than delivered",
                    {Delivery(kMonday - 1, At(kMonday - 1, 9), 100 * kGram), Poured(At(kMonday, 10), 150 * kGram)},
                    false},
        InStockCase{"some left after a batch",
                    {Delivery(kMonday - 1, At(kMonday - 1, 9), 100 * kGram), Poured(At(kMonday, 10), 60 * kGram)},
                    true},
        InStockCase{"counted empty after a delivery",
                    {Delivery(kMonday - 2, At(kMonday - 2, 9), 100 * kGram), Count(At(kMonday - 1, 9), 0)}, false},
        InStockCase{"delivered after an empty count",
                    {Count(At(kMonday - 1, 9), 0), Delivery(kMonday, At(kMonday, 9), 50 * kGram)}, true},
        InStockCase{"a delivery dated tomorrow", {Delivery(kMonday + 1, At(kMonday, 9), 100 * kGram)}, false}),
    [](const testing::TestParamInfo<InStockCase>& info) { return "case" + std::to_string(info.index); });

}  // namespace
}  // namespace lacqueron
