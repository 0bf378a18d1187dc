// One recipe computation on the longest shipped recipe, with the catalogue as shipped
// and with ten and a hundred times as many components ahead of the ones it uses.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "bench/LongestShippedRecipe.h"
#include "formula/RecipeText.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

// The shipped components preceded by (times - 1) renamed copies that match no code.
Catalogue Enlarged(const Catalogue& shipped, int times) {
    Catalogue catalogue;
    for (int copy = 1; copy < times; ++copy) {
        const WideString suffix = u"~" + WideString(1, static_cast<char16_t>(u'A' + copy % 26)) +
                                  WideString(1, static_cast<char16_t>(u'A' + copy / 26));
        for (const MixComponent& component : shipped.components) {
            MixComponent renamed = component;
            renamed.code += suffix;
            catalogue.components.Append(std::move(renamed));
        }
    }
    for (const MixComponent& component : shipped.components) catalogue.components.Append(component);
    return catalogue;
}

void BM_LongestRecipe(benchmark::State& state) {
    const Catalogue& shipped = test::ShippedCatalogue();
    const bench::LongestRecipe longest = bench::FindLongest(shipped);
    if (!longest.recipe) {
        state.SkipWithError("the shipped package has no recipes");
        return;
    }
    const Catalogue catalogue = Enlarged(shipped, static_cast<int>(state.range(0)));
    std::size_t length = 0;
    for (auto _ : state) {
        const WideString text = ComputeRecipeText(catalogue, longest.recipe, longest.purpose, kGrams, bench::kBenchAmount);
        length = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["components"] = static_cast<double>(catalogue.components.size());
    state.counters["chars"] = static_cast<double>(length);
}

BENCHMARK(BM_LongestRecipe)->Arg(1)->Arg(10)->Arg(100);

}  // namespace
}  // namespace lacqueron

BENCHMARK_MAIN();
