// The own recipes opened as the program opens them: 10,000 recipes with 20 versions each
// in one store file, read and checked (Load) and their current versions listed
// (Current), as the paint list needs them at start; and the same recipes saved once each,
// which the many versions should cost little more than.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "bench/OwnRecipeSamples.h"
#include "journal/posix/PosixJournalFile.h"
#include "journal/posix/PosixWholeFile.h"

namespace lacqueron {
namespace {

using bench::kSampleRecipes;
constexpr std::uint64_t kVersionsEach = 20;

std::map<std::uint64_t, std::filesystem::path>& Stores() {
    static std::map<std::uint64_t, std::filesystem::path> stores;
    return stores;
}

// A store of kSampleRecipes recipes saved `versionsEach` times, the versions interleaved as
// benches saving through the years leave them; written once a run.
const std::filesystem::path& Store(std::uint64_t versionsEach) {
    std::filesystem::path& path = Stores()[versionsEach];
    if (!path.empty()) return path;
    path = std::filesystem::temp_directory_path() / ("lacqueron-bench-own-" + std::to_string(::getpid()) + "-" +
                                                     std::to_string(versionsEach) + ".lqr");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    bench::WriteSampleOwnRecipes(out, versionsEach);
    return path;
}

// Opens the store as the program does, its index beside it.
void OpenOnce(benchmark::State& state, const std::string& path) {
    OwnRecipeStore store(OpenPosixJournalFile(path), OpenPosixLogIndex(path));
    if (store.Load() != JournalLoadResult::Loaded || store.Current().size() != kSampleRecipes)
        state.SkipWithError("recipes not read");
    benchmark::DoNotOptimize(store.Current().back().recipe.lines.size());
}

std::filesystem::path IndexOf(const std::string& path) { return path + kLogIndexSuffix; }

// Every opening after the first: the index read, then the log after it (nothing here).
// The argument is the versions each recipe has.
void OpenOwnRecipes(benchmark::State& state) {
    const std::string path = Store(static_cast<std::uint64_t>(state.range(0))).string();
    OpenOnce(state, path);  // the first opening writes the index
    for (auto _ : state) OpenOnce(state, path);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    state.counters["index bytes"] = static_cast<double>(std::filesystem::file_size(IndexOf(path)));
}
BENCHMARK(OpenOwnRecipes)->Arg(kVersionsEach)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first opening, or one after the index was lost: the log read whole, then the index
// written beside it.
void OpenOwnRecipesWritingTheIndex(benchmark::State& state) {
    const std::string path = Store(static_cast<std::uint64_t>(state.range(0))).string();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(IndexOf(path));
        state.ResumeTiming();
        OpenOnce(state, path);
    }
}
BENCHMARK(OpenOwnRecipesWritingTheIndex)->Arg(kVersionsEach)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the open cost before any record was looked at, when the store read the file
// whole into memory of its own.
void ReadTheFileWhole(benchmark::State& state) {
    const std::string path = Store(kVersionsEach).string();
    for (auto _ : state) {
        const std::unique_ptr<JournalFile> file = OpenPosixJournalFile(path);
        std::uint64_t size = 0;
        FileBytes bytes;
        if (!file || !file->Size(size) ||
            !file->ReadInto(0, static_cast<std::size_t>(size), bytes.Extend(static_cast<std::size_t>(size))))
            state.SkipWithError("file not read");
        benchmark::DoNotOptimize(bytes.view().data());
    }
}
BENCHMARK(ReadTheFileWhole)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the open costs now before any record is looked at: the file read in pieces of
// kReadChunk into one buffer, as the store reads it.
void ReadTheFileInPieces(benchmark::State& state) {
    const std::string path = Store(kVersionsEach).string();
    std::string piece(kReadChunk, '\0');
    for (auto _ : state) {
        const std::unique_ptr<JournalFile> file = OpenPosixJournalFile(path);
        std::uint64_t size = 0;
        if (!file || !file->Size(size)) state.SkipWithError("file not read");
        for (std::uint64_t at = 0; at < size; at += kReadChunk) {
            const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kReadChunk, size - at));
            if (!file->ReadInto(at, length, piece.data())) state.SkipWithError("file not read");
        }
        benchmark::DoNotOptimize(piece.data());
    }
}
BENCHMARK(ReadTheFileInPieces)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lacqueron

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [versions, path] : lacqueron::Stores()) {
        std::filesystem::remove(path);
        std::filesystem::remove(lacqueron::IndexOf(path.string()));
    }
    return 0;
}
