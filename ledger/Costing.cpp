#include "ledger/Costing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ledger/ComponentKeys.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

constexpr DayNumber kAlways = std::numeric_limits<DayNumber>::min();

// Recipe weights are rounded to hundredths already; this only makes them whole.
Hundredths RecipeGrams(double weight) { return std::llround(weight * kHundredthsPerGram); }

// Adds a line at the price of its day and keeps the total and the first one missing.
void AddLine(Costing& costing, CostLine line) {
    if (line.perKilogram) {
        line.cost = CostOfGrams(line.grams, *line.perKilogram);
        if (costing.total) *costing.total += line.cost;
    } else {
        if (costing.total) costing.missing = line.name;
        costing.total.reset();
    }
    costing.lines.push_back(std::move(line));
}

}  // namespace

PriceBook::PriceBook(const std::vector<PriceRecord>& prices) {
    std::vector<const PriceRecord*> order;
    order.reserve(prices.size());
    for (const PriceRecord& price : prices) order.push_back(&price);
    // By start, then by when saved; file order among equals.
    std::stable_sort(order.begin(), order.end(), [](const PriceRecord* a, const PriceRecord* b) {
        const DayNumber fromA = a->from.value_or(kAlways), fromB = b->from.value_or(kAlways);
        return fromA != fromB ? fromA < fromB : a->saved.utcSeconds < b->saved.utcSeconds;
    });
    for (const PriceRecord* price : order) steps_[price->key].push_back({price->from.value_or(kAlways), price->perKilogram});
}

std::optional<Kopecks> PriceBook::PriceOn(const ComponentKey& key, DayNumber day) const {
    const auto found = steps_.find(key);
    if (found == steps_.end()) return std::nullopt;
    const std::vector<Step>& steps = found->second;
    const auto after = std::upper_bound(steps.begin(), steps.end(), day,
                                        [](DayNumber d, const Step& step) { return d < step.from; });
    if (after == steps.begin()) return std::nullopt;
    return std::prev(after)->perKilogram;
}

Costing CostOfRecipe(const Catalogue& catalogue, const Recipe& recipe, const PriceBook& prices, DayNumber day) {
    Costing costing;
    costing.total = 0;
    for (const RecipeLine& line : recipe.lines) {
        // A mixed base counts as its parts, unless it has none to count.
        if (line.kind == RecipeLineKind::kBase && line.byFormula && !line.formulaMissing) continue;
        const ComponentKey key = line.kind == RecipeLineKind::kPigment ? line.code : BaseKey(recipe.purpose, line.code);
        AddLine(costing, {key, line.name, RecipeGrams(line.weight), prices.PriceOn(key, day), 0});
    }
    return costing;
}

WideString CostLineText(const Costing& costing, Hundredths paintGrams) {
    if (costing.lines.empty()) return {};
    if (!costing.total) return u"Нет цены: " + costing.missing;
    return u"Стоимость: " + FormatRoubles(*costing.total) + u" ₽ (" +
           FormatRoubles(CostPerKilogram(*costing.total, paintGrams)) + u" ₽ за кг краски)";
}

BatchCosting CostOfBatch(const BatchComponentKeys& keys, const BatchRecord& batch, const PriceBook& prices) {
    BatchCosting result;
    result.poured.total = 0;
    result.overPour = 0;
    const DayNumber day = LocalDay(batch.time);
    for (const BatchComponent& component : batch.components) {
        const ComponentKey key = keys.KeyOf(component, batch.purpose);
        const std::optional<Kopecks> price = prices.PriceOn(key, day);
        AddLine(result.poured, {key, component.name, component.poured, price, 0});
        const Hundredths beyond =
            component.addition ? component.poured : std::max<Hundredths>(0, component.poured - component.recipeWeight);
        if (beyond == 0 || !result.overPour) continue;
        if (price)
            *result.overPour += CostOfGrams(beyond, *price);
        else
            result.overPour.reset();
    }
    return result;
}

BatchCosting CostOfBatch(const Catalogue& catalogue, const BatchRecord& batch, const PriceBook& prices) {
    return CostOfBatch(BatchComponentKeys(catalogue), batch, prices);
}

}  // namespace lacqueron
