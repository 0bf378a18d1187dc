// The ledger on the paths the program takes: the cost line under the recipe each time
// the recipe changes; the stock window opening over a journal of 100,000 batches (both
// files read, the account built); and one weighed batch taken into the open account.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "bench/LongestShippedRecipe.h"
#include "journal/JournalStore.h"
#include "journal/posix/PosixJournalFile.h"
#include "ledger/Costing.h"
#include "tests/formula/ShippedCatalogue.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

constexpr std::uint32_t kJournalBatches = 100000;
constexpr std::uint32_t kDeliveriesPerComponent = 50;  // a delivery a week for a year
constexpr Kopecks kSomePrice = 123456;
constexpr Hundredths kDelivery = 500000;  // 5 kg

std::filesystem::path BenchPath(const char* name) {
    return std::filesystem::temp_directory_path() / ("lacqueron-bench-" + std::to_string(::getpid()) + "-" + name);
}

// Every component priced, twice: the price a year ago and today's.
std::vector<PriceRecord> AllPrices(const Catalogue& catalogue) {
    std::vector<PriceRecord> prices;
    for (const LedgerComponent& component : LedgerComponents(catalogue)) {
        prices.push_back({component.key, kSomePrice, std::nullopt, {}});
        prices.push_back({component.key, kSomePrice + 1, 0, {}});
    }
    return prices;
}

void CostLine(benchmark::State& state) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const bench::LongestRecipe longest = bench::FindLongest(catalogue);
    const Recipe recipe = ComputeRecipe(catalogue, *longest.recipe, longest.purpose, kGrams, bench::kBenchAmount);
    const PriceBook prices(AllPrices(catalogue), catalogue);
    const Hundredths paint = std::llround(recipe.total * kHundredthsPerGram);
    for (auto _ : state) {
        const WideString text = CostLineText(CostOfRecipe(catalogue, recipe, prices, 1), paint);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(CostLine);

struct DataFolder {
    std::filesystem::path journal = BenchPath("journal.lqj");
    std::filesystem::path ledger = BenchPath("ledger.lqs");
    DataFolder() {
        std::ofstream out(journal, std::ios::binary | std::ios::trunc);
        out << EncodeJournalHeader();
        for (std::uint32_t i = 0; i < kJournalBatches; ++i) out << EncodeBatchFrame(test::SampleBatch(i));
        out.close();
        std::filesystem::remove(ledger);
        LedgerStore store(OpenPosixJournalFile(ledger.string()));
        store.Load();
        store.AddPrices(AllPrices(test::ShippedCatalogue()));
        for (const LedgerComponent& component : LedgerComponents(test::ShippedCatalogue()))
            for (std::uint32_t week = 0; week < kDeliveriesPerComponent; ++week)
                store.AddReceipt({component.key, kDelivery, static_cast<DayNumber>(week * 7), u"Поставка", {}});
    }
    ~DataFolder() {
        std::filesystem::remove(journal);
        std::filesystem::remove(ledger);
    }
};

const DataFolder& Folder() {
    static const DataFolder folder;
    return folder;
}

void OpenStock(benchmark::State& state) {
    const DataFolder& folder = Folder();
    for (auto _ : state) {
        JournalStore journal(OpenPosixJournalFile(folder.journal.string()));
        LedgerStore ledger(OpenPosixJournalFile(folder.ledger.string()));
        if (journal.Load() != JournalLoadResult::Loaded || ledger.Load() != JournalLoadResult::Loaded)
            state.SkipWithError("data folder not read");
        const StockAccount account(test::ShippedCatalogue(), ledger, journal.Contents());
        const std::vector<StockRow> rows = account.Rows(test::kSampleEpoch / 86400);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(OpenStock)->Unit(benchmark::kMillisecond)->UseRealTime();

void AddBatchToStock(benchmark::State& state) {
    const DataFolder& folder = Folder();
    JournalStore journal(OpenPosixJournalFile(folder.journal.string()));
    LedgerStore ledger(OpenPosixJournalFile(folder.ledger.string()));
    journal.Load();
    ledger.Load();
    StockAccount account(test::ShippedCatalogue(), ledger, journal.Contents());
    std::uint32_t number = kJournalBatches;
    for (auto _ : state) {
        account.AddBatch(test::SampleBatch(number++));
        benchmark::DoNotOptimize(account.OnHand(u"ROX", test::kSampleEpoch / 86400));
    }
}
BENCHMARK(AddBatchToStock)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lacqueron

BENCHMARK_MAIN();
