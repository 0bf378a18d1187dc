#include "ledger/Costing.h"

#include <algorithm>
#include <cmath>

#include "ledger/ComponentKeys.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

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

PriceBook::PriceBook(const std::vector<PriceRecord>& prices, const Catalogue& catalogue) : keys_(catalogue) {
    for (const PriceRecord& price : prices) Add(price);
}

void PriceBook::Add(const PriceRecord& price) {
    std::vector<Step>& steps = steps_[keys_.Of(price.key)];
    const Step step{price.from.value_or(kFromAlways), price.perKilogram};
    steps.insert(After(steps, step.from), step);
}

const std::vector<PriceBook::Step>* PriceBook::StepsOf(const ComponentKey& key) const {
    const auto found = steps_.find(keys_.Of(key));
    return found == steps_.end() ? nullptr : &found->second;
}

std::vector<PriceBook::Step>::const_iterator PriceBook::After(const std::vector<Step>& steps, DayNumber day) const {
    return std::upper_bound(steps.begin(), steps.end(), day, [](DayNumber d, const Step& step) { return d < step.from; });
}

std::optional<PriceStep> PriceBook::InForce(const ComponentKey& key, DayNumber day) const {
    const std::vector<Step>* steps = StepsOf(key);
    if (steps == nullptr) return std::nullopt;
    const auto after = After(*steps, day);
    if (after == steps->begin()) return std::nullopt;
    const Step& step = *std::prev(after);
    return PriceStep{step.from == kFromAlways ? std::nullopt : std::optional<DayNumber>(step.from), step.perKilogram};
}

std::optional<PriceStep> PriceBook::Next(const ComponentKey& key, DayNumber day) const {
    const std::vector<Step>* steps = StepsOf(key);
    if (steps == nullptr) return std::nullopt;
    const auto after = After(*steps, day);
    if (after == steps->end()) return std::nullopt;
    // Of several written for the same later day, the last is the one that will be in force.
    const auto last = std::prev(After(*steps, after->from));
    return PriceStep{last->from, last->perKilogram};
}

std::optional<Kopecks> PriceBook::PriceOn(const ComponentKey& key, DayNumber day) const {
    const std::optional<PriceStep> step = InForce(key, day);
    return step ? std::optional<Kopecks>(step->perKilogram) : std::nullopt;
}

Costing CostOfRecipe(const Catalogue& catalogue, const Recipe& recipe, const PriceBook& prices, DayNumber day) {
    Costing costing;
    costing.total = 0;
    const SharedKeys& keys = prices.Keys();
    for (const RecipeLine& line : recipe.lines) {
        // A mixed base counts as its parts, unless it has none to count.
        if (line.kind == RecipeLineKind::kBase && line.byFormula && !line.formulaMissing) continue;
        const ComponentKey key =
            line.kind == RecipeLineKind::kPigment ? line.code : keys.Of(BaseKey(recipe.purpose, line.code));
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
