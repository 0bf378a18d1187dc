// Stock as a running account: deliveries and count corrections in, whatever the
// journal's standing batches really poured out; the usage of the last 30 days.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "journal/posix/PosixJournalFile.h"
#include "ledger/Costing.h"
#include "ledger/LedgerCsv.h"
#include "tests/ledger/LedgerTestCatalogue.h"

namespace lacqueron {
namespace {

using test::kMonday;
using test::LedgerCatalogue;

constexpr Hundredths kGram = kHundredthsPerGram;

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
        path_ = std::filesystem::temp_directory_path() /
                ("lacqueron-stock-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name() + ".lqs");
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
    // 1000 − 100 − 70 − 30; the shop counts 1200 g, so the correction is +400.
    const Hundredths before = account.OnHand(u"WHT", kMonday - 2);
    EXPECT_EQ(before, 800 * kGram);
    ASSERT_EQ(ledger_->AddCount({u"WHT", 1200 * kGram, 1200 * kGram - before, kMonday - 2, {}}),
              JournalAppendResult::Appended);
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

}  // namespace
}  // namespace lacqueron
