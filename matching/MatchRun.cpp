#include "matching/MatchRun.h"

#include <algorithm>
#include <cmath>

#include "colour/Decimal.h"
#include "core/Utf8.h"
#include "journal/JournalText.h"
#include "ledger/Costing.h"

namespace lacqueron {
namespace {

constexpr int kDeltaEDecimals = 2;

WideString Figure(double value, int decimals) {
    return FromUtf8Lenient(colour::FormatTrimmed(value, decimals));
}

WideString DeltaEText(double deltaE) {
    return FromUtf8Lenient(colour::FormatFixed(deltaE, kDeltaEDecimals)) + u" " + DeltaEWord(deltaE);
}

DraftRow Row(const colour::OpticsTable& table, const MatchOutcome& outcome, const MatchInput& input,
             double factor, const colour::Draft& draft) {
    DraftRow row;
    row.draft = draft;
    std::vector<colour::Load> poured = draft.recipe;
    for (colour::Load& load : poured) load.grams *= factor;
    row.rgb = colour::ScreenColourFromLab(colour::SpectrumToLab(colour::PredictMeasured(table, poured)));
    row.deltaE = DeltaEText(draft.deltaE);
    for (const colour::Load& load : draft.recipe)
        row.pastes += (row.pastes.empty() ? u"" : u", ") + FromUtf8Lenient(table.pastes[load.paste].code) + u" " +
                      Figure(load.grams, colour::kRecipeDecimals);
    if (!input.pricePerGram.empty())
        row.cost = FormatRoubles(static_cast<Kopecks>(std::llround(draft.cost * factor))) + u" ₽";
    if (outcome.target.target.spectral)
        row.metamerism = u"A " + FromUtf8Lenient(colour::FormatFixed(draft.deltaEA, kDeltaEDecimals)) + u", F11 " +
                         FromUtf8Lenient(colour::FormatFixed(draft.deltaEF11, kDeltaEDecimals));
    return row;
}

}  // namespace

MatchOutcome RunColourMatch(const Catalogue& catalogue, const colour::OpticsTable& table,
                            std::span<const OwnRecipeCurrent> own, const MatchInput& input) {
    MatchOutcome outcome;
    outcome.target = ReadMatchTarget(catalogue, input.target);
    if (!outcome.target.ok()) {
        outcome.problem = FromUtf8Lenient(colour::DescribeTargetProblem(outcome.target.problem, ToUtf8(input.shownAs)));
        return outcome;
    }
    const colour::Lab& lab = outcome.target.target.labs[0];
    outcome.targetRgb = input.target.kind == TargetKind::kScreen ? input.target.rgb : colour::ScreenColourFromLab(lab);
    outcome.similar = SimilarColours(catalogue, own, lab, input.similar);
    const std::optional<double> factor = MatchPigmentFactor(catalogue, input.purpose);
    if (!factor) {
        outcome.problem = u"Для этого предназначения в каталоге нет основы " + WideString(kMatchBaseCode) + u".";
        return outcome;
    }
    if (input.pastes.empty()) {
        outcome.problem = u"Нет паст, из которых можно подобрать цвет.";
        return outcome;
    }
    colour::DraftRequest request;
    request.pastes = input.pastes;
    request.maxPastes = input.maxPastes;
    request.top = input.top;
    request.pigmentFactor = *factor;
    request.pricePerGram = input.pricePerGram;
    const std::vector<colour::Draft> drafts = colour::MatchTarget(table, outcome.target.target, request);
    for (const colour::Draft& draft : drafts) outcome.drafts.push_back(Row(table, outcome, input, *factor, draft));
    if (input.byCost && !input.pricePerGram.empty())
        std::stable_sort(outcome.drafts.begin(), outcome.drafts.end(),
                         [](const DraftRow& x, const DraftRow& y) { return x.draft.cost < y.draft.cost; });
    if (BeyondReach(drafts))
        outcome.reach = drafts.empty() ? WideString(u"Пасты не дают ни одного состава.")
                                       : u"Точно этот цвет из этих паст не получить: лучшее — ΔE00 " +
                                             DeltaEText(drafts.front().deltaE) + u".";
    return outcome;
}

OwnRecipe DraftAsOwnRecipe(const colour::OpticsTable& table, const MatchOutcome& outcome, const DraftRow& row) {
    OwnRecipe recipe;
    recipe.rgb = outcome.targetRgb;
    recipe.lines.push_back({kMatchBaseCode, static_cast<Thousandths>(kMatchBaseGrams) * kThousandthsPerGram});
    for (const colour::Load& load : row.draft.recipe)
        recipe.lines.push_back({FromUtf8Lenient(table.pastes[load.paste].code),
                                static_cast<Thousandths>(std::llround(load.grams * kThousandthsPerGram))});
    const colour::Lab& lab = outcome.target.target.labs[0];
    OwnTarget target{lab.l, lab.a, lab.b, {}, u"подбор"};
    if (outcome.target.target.spectral) {
        target.reflectance.assign(outcome.target.measured.begin(), outcome.target.measured.end());
        target.method = u"замер";
    }
    recipe.target = std::move(target);
    return recipe;
}

}  // namespace lacqueron
