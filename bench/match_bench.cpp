// The matching window's search for a typed target, as its worker runs it: the shipped
// optics read, the purpose's pastes chosen, drafts over all of them with up to 4 in a
// draft, and the similar colours among the catalogue's and 10,000 own recipes (those
// keeping a target compared by it). Target: under 300 ms from the click to the drafts.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/OwnRecipeSamples.h"
#include "colour/ShippedOptics.h"
#include "matching/MatchRun.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

constexpr std::int32_t kPurpose = 1;
// Every tenth own recipe was matched to a target of its own.
constexpr std::uint64_t kMatchedEvery = 10;
constexpr double kTargetStep = 0.001;

std::vector<OwnRecipeCurrent> OwnRecipes() {
    std::vector<OwnRecipeCurrent> own(bench::kSampleRecipes);
    for (std::uint64_t i = 0; i < own.size(); ++i) {
        own[i].recipe = bench::SampleOwnRecipe(i, 0);
        if (i % kMatchedEvery == 0)
            own[i].recipe.target = OwnTarget{50 + kTargetStep * static_cast<double>(i), 0, 0, {}, u"подбор"};
    }
    return own;
}

void MatchWindowSearch(benchmark::State& state) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const std::vector<OwnRecipeCurrent> own = OwnRecipes();
    for (auto _ : state) {
        colour::OpticsTable table;
        colour::OpticsError error;
        if (!colour::ReadOptics(colour::ShippedOpticsText(), table, error)) std::abort();
        MatchInput input;
        input.target = {TargetKind::kLab, "52,3 -4,1 -18,6", {}, 0};
        input.purpose = kPurpose;
        input.pastes = PackagePastes(catalogue, table);
        const MatchOutcome outcome = RunColourMatch(catalogue, table, own, input);
        if (outcome.drafts.empty()) state.SkipWithError("no drafts");
        benchmark::DoNotOptimize(outcome.drafts.data());
    }
}
BENCHMARK(MatchWindowSearch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lacqueron

BENCHMARK_MAIN();
