// The bench's pour plan for the longest shipped recipe: the recipe computed, the plan
// built from it, the first step over-poured by a tenth and the correction accepted.
#include <benchmark/benchmark.h>

#include "bench/LongestShippedRecipe.h"
#include "pour/PourPlan.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

constexpr double kOverPour = 1.1;

void BM_PlanAndOneCorrection(benchmark::State& state) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const bench::LongestRecipe longest = bench::FindLongest(catalogue);
    if (!longest.recipe) {
        state.SkipWithError("the shipped package has no recipes");
        return;
    }
    std::size_t steps = 0;
    for (auto _ : state) {
        PourPlan plan = BuildPourPlan(
            ComputeRecipe(catalogue, *longest.recipe, longest.purpose, kGrams, bench::kBenchAmount), kDefaultResolution);
        const auto reading = static_cast<Hundredths>(static_cast<double>(plan.steps.front().target) * kOverPour);
        if (RecordReading(plan, reading) != ReadingOutcome::kOverPour) {
            state.SkipWithError("the first step was not over-poured");
            return;
        }
        AcceptCorrection(plan);
        steps = plan.steps.size();
        benchmark::DoNotOptimize(plan.steps.data());
    }
    state.counters["steps"] = static_cast<double>(steps);
}

BENCHMARK(BM_PlanAndOneCorrection);

}  // namespace
}  // namespace lacqueron

BENCHMARK_MAIN();
