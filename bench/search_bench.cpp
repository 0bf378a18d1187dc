// Finding a paint in a package of 2,000 colours: one type-ahead search through every
// row (the worst case: nothing matches, or the match is the row before the start),
// and the find dialog's result rows after a keystroke. Then the same type-ahead in the
// paint list of a shop with 10,000 own recipes after the package's 216 colours.
#include <benchmark/benchmark.h>

#include <string>

#include "search/ColourIndex.h"

namespace lacqueron {
namespace {

constexpr int kColours = 2000;
constexpr std::int32_t kFirstNumber = 1000;
constexpr int kShippedColours = 216;
constexpr std::size_t kOwnRecipes = 10000;
// Own codes run К-10000...К-19999 and orders 50000...59999, so that "99999" is in none.
constexpr std::size_t kFirstOwnCode = 10000;
constexpr std::size_t kFirstOrder = 50000;

const char16_t* const kShades[] = {u"Светло", u"Тёмно", u"Сигнально", u"Транспортно", u"Пастельно",
                                   u"Жемчужно", u"Серо", u"Оливково"};
const char16_t* const kHues[] = {u"красный", u"синий", u"жёлтый", u"зелёный", u"серый",
                                 u"коричневый", u"оранжевый", u"фиолетовый", u"бежевый", u"белый"};

WideString Digits(std::size_t number) {
    const std::string digits = std::to_string(number);
    return WideString(digits.begin(), digits.end());
}

// Names a little longer than the shipped ones, every one different.
Catalogue MakeCatalogue(int colours) {
    Catalogue c;
    for (int i = 0; i < colours; ++i) {
        const WideString digits = Digits(static_cast<std::size_t>(kFirstNumber + i));
        const WideString code = u"RAL " + digits;
        const WideString name = WideString(kShades[i % std::size(kShades)]) + u"-" +
                                kHues[i / std::size(kShades) % std::size(kHues)] + u" " + digits;
        c.colours.Append({kFirstNumber + i, 0x336699, code, name});
        ColourRecipe recipe;
        recipe.number = kFirstNumber + i;
        recipe.title = code;
        c.recipes.Append(std::move(recipe));
    }
    return c;
}

const Catalogue& LargeCatalogue() {
    static const Catalogue catalogue = MakeCatalogue(kColours);
    return catalogue;
}

const Catalogue& ShippedSizeCatalogue() {
    static const Catalogue catalogue = MakeCatalogue(kShippedColours);
    return catalogue;
}

// A lab's recipes: a code with digits in it, a customer's name and an order in the note.
const std::vector<OwnColourRow>& OwnRows() {
    static const std::vector<OwnColourRow> rows = [] {
        std::vector<OwnColourRow> own(kOwnRecipes);
        for (std::size_t i = 0; i < kOwnRecipes; ++i) {
            const std::int32_t number = OwnRowNumber(i);
            const WideString code = u"К-" + Digits(kFirstOwnCode + i);
            own[i].recipe.number = number;
            own[i].recipe.title = code;
            own[i].colour = {number, 0x88BACD, code, u"Бежевый заказчика " + Digits(i)};
            own[i].note = u"Заказ " + Digits(kFirstOrder + i) + u", «Ока»";
        }
        return own;
    }();
    return rows;
}

void FindOnce(benchmark::State& state, const char16_t* typed, std::size_t from) {
    const ColourIndex index(LargeCatalogue());
    for (auto _ : state) {
        const std::size_t row = index.FindFrom(MakeColourQuery(typed), from);
        benchmark::DoNotOptimize(row);
    }
}

void BM_FindNothing(benchmark::State& state) { FindOnce(state, u"щщщ", 0); }

// The paint list with own rows: every own row is searched as text, digits included.
void FindWithOwnRows(benchmark::State& state, const char16_t* typed, std::size_t from) {
    const ColourIndex index(ShippedSizeCatalogue(), OwnRows());
    std::size_t row = kNoRow;
    for (auto _ : state) {
        row = index.FindFrom(MakeColourQuery(typed), from);
        benchmark::DoNotOptimize(row);
    }
    state.counters["rows"] = static_cast<double>(index.size());
}

void BM_OwnFindNothing(benchmark::State& state) { FindWithOwnRows(state, u"щщщ", 0); }
// Digits that no number starts with and no own text holds: every row looked at.
void BM_OwnFindNumberNothing(benchmark::State& state) { FindWithOwnRows(state, u"99999", 0); }
// The last own recipe by a piece of its code, and by its note, from the top.
void BM_OwnFindLastCode(benchmark::State& state) { FindWithOwnRows(state, u"к-19999", 0); }
void BM_OwnFindLastNote(benchmark::State& state) { FindWithOwnRows(state, u"заказ 59999", 0); }
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
BENCHMARK(BM_OwnFindNothing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OwnFindNumberNothing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OwnFindLastCode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OwnFindLastNote)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNameBeforeStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNumberBeforeStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogRowsBlank)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogRowsOneLetter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogRowsWord)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lacqueron

BENCHMARK_MAIN();
