// The journal window's start on a journal of 100,000 batches: read and check the file,
// order the batches newest first and make the texts of the first screen of rows; and
// one batch added to that journal as the weighing dialog adds it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "journal/JournalFilter.h"
#include "journal/JournalStore.h"
#include "journal/JournalText.h"
#include "journal/posix/PosixJournalFile.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

constexpr std::uint32_t kJournalBatches = 100000;
constexpr std::size_t kRowsOnScreen = 40;

const std::filesystem::path& BigJournal() {
    static const std::filesystem::path path = [] {
        const auto file =
            std::filesystem::temp_directory_path() / ("lacqueron-bench-journal-" + std::to_string(::getpid()) + ".lqj");
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << EncodeJournalHeader();
        for (std::uint32_t i = 0; i < kJournalBatches; ++i) out << EncodeBatchFrame(test::SampleBatch(i));
        return file;
    }();
    return path;
}

void OpenFirstScreen(benchmark::State& state) {
    const std::string path = BigJournal().string();
    for (auto _ : state) {
        JournalStore store(OpenPosixJournalFile(path));
        if (store.Load() != JournalLoadResult::Loaded || store.Contents().BatchCount() != kJournalBatches)
            state.SkipWithError("journal not read");
        const std::vector<std::size_t> rows = SelectBatches(store.Contents(), u"");
        std::size_t characters = 0;
        for (std::size_t row = 0; row < kRowsOnScreen && row < rows.size(); ++row) {
            const BatchRecord batch = store.Contents().Batch(rows[row]);
            characters += FormatBatchTime(batch.time).size() + FormatBatchAmount(batch).size() +
                          BatchStatusText(batch.status).size();
        }
        benchmark::DoNotOptimize(characters);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(OpenFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// As the weighing dialog does it (AppendBatchToJournal, with the POSIX file for the
// Win32 one): open the file, add one batch, close it.
void AddBatch(benchmark::State& state) {
    const auto copy = BigJournal().string() + ".append";
    std::filesystem::copy_file(BigJournal(), copy, std::filesystem::copy_options::overwrite_existing);
    std::uint32_t number = kJournalBatches;
    for (auto _ : state) {
        const std::unique_ptr<JournalFile> file = OpenPosixJournalFile(copy);
        if (!file || AppendBatch(*file, test::SampleBatch(number++)) != JournalAppendResult::Appended)
            state.SkipWithError("batch not added");
    }
    std::filesystem::remove(copy);
}
BENCHMARK(AddBatch)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lacqueron

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(lacqueron::BigJournal());
    return 0;
}
