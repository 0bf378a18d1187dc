// Finding a paint in a package of 2,000 colours: one type-ahead search through every
// row (the worst case: nothing matches, or the match is the row before the start),
// and the find dialog's result rows after a keystroke.
#include <benchmark/benchmark.h>

#include <string>

#include "search/ColourIndex.h"

namespace lacqueron {
namespace {

constexpr int kColours = 2000;
constexpr std::int32_t kFirstNumber = 1000;

const char16_t* const kShades[] = {u"Светло", u"Тёмно", u"Сигнально", u"Транспортно", u"Пастельно",
                                   u"Жемчужно", u"Серо", u"Оливково"};
const char16_t* const kHues[] = {u"красный", u"синий", u"жёлтый", u"зелёный", u"серый",
                                 u"коричневый", u"оранжевый", u"фиолетовый", u"бежевый", u"белый"};

// Names a little longer than the shipped ones, every one different.
const Catalogue& LargeCatalogue() {
    static const Catalogue catalogue = [] {
        Catalogue c;
        for (int i = 0; i < kColours; ++i) {
            const std::string digits = std::to_string(kFirstNumber + i);
            const WideString code = u"RAL " + WideString(digits.begin(), digits.end());
            const WideString name = WideString(kShades[i % std::size(kShades)]) + u"-" +
                                    kHues[i / std::size(kShades) % std::size(kHues)] + u" " +
                                    WideString(digits.begin(), digits.end());
            c.colours.Append({kFirstNumber + i, 0x336699, code, name});
            ColourRecipe recipe;
            recipe.number = kFirstNumber + i;
            recipe.title = code;
            c.recipes.Append(std::move(recipe));
        }
        return c;
    }();
    return catalogue;
}

void FindOnce(benchmark::State& state, const char16_t* typed, std::size_t from) {
    const ColourIndex index(LargeCatalogue());
    for (auto _ : state) {
        const std::size_t row = index.FindFrom(MakeColourQuery(typed), from);
        benchmark::DoNotOptimize(row);
    }
}

void BM_FindNothing(benchmark::State& state) { FindOnce(state, u"щщщ", 0); }
void BM_FindNameBeforeStart(benchmark::State& state) { FindOnce(state, u"СВЕТЛО-КРАСНЫЙ 1000", 1); }
void BM_FindNumberBeforeStart(benchmark::State& state) { FindOnce(state, u"1000", 1); }

void DialogRows(benchmark::State& state, const char16_t* typed) {
    const ColourIndex index(LargeCatalogue());
    const std::vector<WideString> recent = {u"RAL 2999", u"RAL 1500", u"RAL 1000", u"RAL 2000", u"RAL 2500",
                                            u"RAL 1200", u"RAL 1300", u"RAL 1400", u"RAL 1600", u"RAL 9999"};
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = FindDialogRows(index, typed, recent).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_DialogRowsBlank(benchmark::State& state) { DialogRows(state, u""); }
void BM_DialogRowsOneLetter(benchmark::State& state) { DialogRows(state, u"о"); }
void BM_DialogRowsWord(benchmark::State& state) { DialogRows(state, u"сигнально-синий"); }

BENCHMARK(BM_FindNothing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNameBeforeStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNumberBeforeStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogRowsBlank)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogRowsOneLetter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogRowsWord)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lacqueron

BENCHMARK_MAIN();
