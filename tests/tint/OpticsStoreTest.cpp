// The shop's optics in the data folder: two benches on one file, every calibration kept,
// the latest in force, a return to the vendor's table, and a record that does not read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "journal/RecordPayload.h"
#include "journal/posix/PosixJournalFile.h"
#include "tests/support/RunCommand.h"
#include "tint/OpticsStore.h"

namespace lacqueron {
namespace {

OpticsEntry Calibrated(const char* optics, std::int64_t when) {
    OpticsEntry entry;
    entry.time = {when, 180};
    entry.optics = optics;
    entry.source = "лестницы-2026.txt";
    entry.median = 42;
    entry.largest = 310;
    entry.outliers = {"WHT+BLK 1:8"};
    return entry;
}

OpticsEntry Vendor(std::int64_t when) {
    OpticsEntry entry;
    entry.time = {when, 180};
    entry.vendor = true;
    return entry;
}

class OpticsStoreTest : public testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() / ("lacqueron-optics-" + std::to_string(::getpid()) + ".lqo");
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::unique_ptr<OpticsStore> Open() {
        auto store = std::make_unique<OpticsStore>(OpenPosixJournalFile(path_.string()));
        EXPECT_EQ(store->Load(), JournalLoadResult::Loaded);
        return store;
    }

    std::filesystem::path path_;
};

TEST_F(OpticsStoreTest, BenchesShareEveryCalibrationAndTheLatestStands) {
    auto first = Open();
    EXPECT_EQ(first->InForce(), nullptr) << "the vendor's table before any calibration";
    ASSERT_EQ(first->Keep(Calibrated("optics\t1\nA\n", 100)), JournalAppendResult::Appended);
    ASSERT_EQ(first->Keep(Calibrated("optics\t1\nB\n", 200)), JournalAppendResult::Appended);
    ASSERT_NE(first->InForce(), nullptr);
    EXPECT_EQ(first->InForce()->optics, "optics\t1\nB\n");

    auto second = Open();
    ASSERT_EQ(second->History().size(), 2u);
    const OpticsEntry& kept = second->History().front();
    EXPECT_EQ(kept.optics, "optics\t1\nA\n");
    EXPECT_EQ(kept.source, "лестницы-2026.txt");
    EXPECT_EQ(kept.time.utcSeconds, 100);
    EXPECT_EQ(kept.time.localOffsetMinutes, 180);
    EXPECT_EQ(kept.median, 42u);
    EXPECT_EQ(kept.largest, 310u);
    EXPECT_EQ(kept.outliers, std::vector<std::string>{"WHT+BLK 1:8"});
    EXPECT_NE(kept.id, second->History().back().id);
    EXPECT_EQ(second->InForce()->optics, "optics\t1\nB\n");

    // The other bench goes back to the vendor's table; the first sees it, history and all.
    ASSERT_EQ(second->Keep(Vendor(300)), JournalAppendResult::Appended);
    EXPECT_EQ(second->InForce(), nullptr);
    EXPECT_TRUE(first->Refresh());
    EXPECT_EQ(first->History().size(), 3u);
    EXPECT_TRUE(first->History().back().vendor);
    EXPECT_EQ(first->InForce(), nullptr);
    EXPECT_FALSE(first->Refresh()) << "nothing new";

    // A calibration after the return is in force again.
    ASSERT_EQ(first->Keep(Calibrated("optics\t1\nC\n", 400)), JournalAppendResult::Appended);
    EXPECT_EQ(Open()->InForce()->optics, "optics\t1\nC\n");
}

TEST_F(OpticsStoreTest, ARecordThatDoesNotReadIsDamageAndTheRestStand) {
    ASSERT_EQ(Open()->Keep(Calibrated("optics\t1\nA\n", 100)), JournalAppendResult::Appended);
    // An entry of a kind this program does not know, framed whole.
    PayloadWriter out;
    WriteRecordId(out, 77);
    out.I64(150);
    out.I32(0);
    out.U8(9);
    {
        std::ofstream file(path_, std::ios::binary | std::ios::app);
        file << EncodeFrame(kOpticsKind, out.bytes());
    }
    auto store = Open();
    ASSERT_EQ(store->History().size(), 1u);
    EXPECT_EQ(store->InForce()->optics, "optics\t1\nA\n");
    EXPECT_EQ(store->Damage().size(), 1u);
}

// What the tool reads of the store: every record by its local day, the table in force
// written out, and none while the vendor's table is in force.
TEST_F(OpticsStoreTest, DatapackListsTheRecordsAndWritesTheTableInForce) {
    const char* binary = std::getenv("LACQUERON_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    const std::string tool = (std::filesystem::path(binary) / "tools" / "datapack" / "datapack").string();
    const std::filesystem::path table = path_.string() + ".txt";
    const std::string command = "'" + tool + "' optics --store '" + path_.string() + "' --out '" + table.string() +
                                "' 2>/dev/null";
    // 2026-12-08 22:30 UTC is 09.12.2026 at UTC+3.
    constexpr std::int64_t kLateEvening = 1796769000;
    auto store = Open();
    ASSERT_EQ(store->Keep(Calibrated("optics\t1\nA\n", kLateEvening)), JournalAppendResult::Appended);
    const test::CommandResult calibrated = test::RunCommand(command);
    EXPECT_EQ(calibrated.status, 0);
    EXPECT_EQ(calibrated.out,
              "calibration\t09.12.2026\tлестницы-2026.txt\tmedian\t0.42\tlargest\t3.10\toutliers\tWHT+BLK 1:8\n"
              "in force\tcalibration\n");
    std::ifstream written(table, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "optics\t1\nA\n");

    ASSERT_EQ(store->Keep(Vendor(kLateEvening + 60)), JournalAppendResult::Appended);
    const test::CommandResult vendor = test::RunCommand(command);
    EXPECT_EQ(vendor.status, 1) << "no table to write while the vendor's is in force";
    EXPECT_NE(vendor.out.find("vendor\t09.12.2026\nin force\tvendor\n"), std::string::npos) << vendor.out;
    std::filesystem::remove(table);
}

}  // namespace
}  // namespace lacqueron
