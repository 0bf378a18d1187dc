// Writes the full data folder of the start-up benchmark (bench/startup/run-startup-bench
// full): 10,000 own recipes saved 20 times each and a journal of 100,000 batches, as a
// shop that has used the program for years has them.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench/OwnRecipeSamples.h"
#include "tests/support/SampleBatch.h"

namespace {

constexpr std::uint64_t kVersionsEach = 20;
constexpr std::uint32_t kBatches = 100000;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_data <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::ofstream recipes(folder / "recipes.lqr", std::ios::binary | std::ios::trunc);
    lacqueron::bench::WriteSampleOwnRecipes(recipes, kVersionsEach);
    std::ofstream journal(folder / "journal.lqj", std::ios::binary | std::ios::trunc);
    journal << lacqueron::EncodeJournalHeader();
    for (std::uint32_t i = 0; i < kBatches; ++i) journal << lacqueron::EncodeBatchFrame(lacqueron::test::SampleBatch(i));
    recipes.close();
    journal.close();
    if (!recipes || !journal) {
        std::fprintf(stderr, "%s: not written\n", argv[1]);
        return 1;
    }
    return 0;
}
