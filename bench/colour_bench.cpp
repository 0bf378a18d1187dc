// The colour engine on the paths the commands take, with the shipped optics table:
// one match over all 13 pastes with up to 4 in a draft (the table read first, as the
// program reads it), one correction of a trial, and the calibration of 80 ladder
// samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "colour/Calibration.h"
#include "colour/Correction.h"
#include "colour/Drafting.h"
#include "colour/Optics.h"
#include "colour/ShippedOptics.h"

namespace lacqueron::colour {
namespace {

constexpr int kLadderSamples = 80;
constexpr int kMaxPastes = 4;
constexpr double kReadingNoise = 0.002;
// A mid-blue grey no two pastes give exactly.
constexpr Lab kTarget{52.3, -4.1, -18.6};

OpticsTable ShippedTable() {
    OpticsTable table;
    OpticsError error;
    if (!ReadOptics(ShippedOpticsText(), table, error)) std::abort();
    return table;
}

std::vector<int> AllPastes(const OpticsTable& table) {
    std::vector<int> pastes;
    for (int p = 0; p < static_cast<int>(table.pastes.size()); ++p) pastes.push_back(p);
    return pastes;
}

void Match(benchmark::State& state) {
    for (auto _ : state) {
        const OpticsTable table = ShippedTable();
        DraftRequest request;
        request.pastes = AllPastes(table);
        request.maxPastes = kMaxPastes;
        const std::vector<Draft> drafts = MatchTarget(table, TargetFromLab(kTarget), request);
        benchmark::DoNotOptimize(drafts.data());
    }
}
BENCHMARK(Match)->Unit(benchmark::kMillisecond);

void Correct(benchmark::State& state) {
    const OpticsTable table = ShippedTable();
    DraftRequest draftRequest;
    draftRequest.pastes = AllPastes(table);
    draftRequest.top = 1;
    const Draft draft = MatchTarget(table, TargetFromLab(kTarget), draftRequest).front();
    // A trial that came out a little weak and yellowish.
    Trial trial;
    trial.poured = draft.recipe;
    const Lab predicted = SpectrumToLab(PredictMeasured(table, draft.recipe));
    trial.measuredLab = {predicted.l + 1.2, predicted.a, predicted.b + 1.5};
    CorrectionRequest request;
    request.pastes = draftRequest.pastes;
    for (auto _ : state) {
        const OpticsTable fresh = ShippedTable();
        const Correction correction = CorrectTrial(fresh, TargetFromLab(kTarget), trial, request);
        benchmark::DoNotOptimize(correction.additions.data());
    }
}
BENCHMARK(Correct)->Unit(benchmark::kMillisecond);

// Ladders made from the shipped table with reading noise: the white alone, then each
// paste alone and with the white at falling ratios, 80 samples in all.
std::vector<LadderSample> Ladders(const OpticsTable& table, int white) {
    constexpr double kWhiteGrams = 100;
    constexpr double kRatios[] = {0, 1.0, 1.0 / 3, 1.0 / 9, 1.0 / 27, 1.0 / 81, 1.0 / 243};
    std::mt19937 random(80);
    std::normal_distribution<double> noise(0, kReadingNoise);
    std::vector<LadderSample> samples;
    const auto add = [&](std::vector<Load> loads) {
        LadderSample sample{"s" + std::to_string(samples.size()), loads, PredictMeasured(table, loads)};
        for (double& r : sample.measured) r += noise(random);
        samples.push_back(sample);
    };
    add({{white, kWhiteGrams}});
    for (int p = 0; p < static_cast<int>(table.pastes.size()); ++p) {
        if (p == white) continue;
        for (const double ratio : kRatios) {
            if (static_cast<int>(samples.size()) == kLadderSamples) return samples;
            if (ratio == 0) add({{p, kWhiteGrams}});
            else add({{white, kWhiteGrams}, {p, kWhiteGrams * ratio}});
        }
    }
    return samples;
}

void Calibrate80(benchmark::State& state) {
    const OpticsTable table = ShippedTable();
    const std::vector<LadderSample> samples = Ladders(table, table.Find("WHT"));
    std::vector<std::string> codes;
    for (const PasteOptics& paste : table.pastes) codes.push_back(paste.code);
    for (auto _ : state) {
        Calibration result;
        std::string error;
        if (!Calibrate(codes, samples, {}, result, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(result.median);
    }
    state.counters["samples"] = static_cast<double>(samples.size());
}
BENCHMARK(Calibrate80)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lacqueron::colour

BENCHMARK_MAIN();
