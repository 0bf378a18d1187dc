#include "ownrecipes/OwnRecipe.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/IntegerText.h"
#include "data/text/DecimalText.h"
#include "data/text/TextFold.h"
#include "formula/RecipeText.h"
#include "journal/BatchRecord.h"
#include "pour/PourPlan.h"

namespace lacqueron {
namespace {

constexpr int kMostDecimals = 3;
// Thousandths of a gram per 1000 g of base.
constexpr DecimalUnit kOwnAmountUnit = {kMostDecimals, kLargestOwnAmount};
constexpr char16_t kCyrillicSmallA = u'а';
constexpr char16_t kCyrillicSmallYa = u'я';
constexpr char16_t kSmallToCapital = 0x20;

bool IsLineProblem(OwnRecipeProblem problem) {
    switch (problem) {
    case OwnRecipeProblem::kUnknownComponent:
    case OwnRecipeProblem::kDuplicateComponent:
    case OwnRecipeProblem::kEmptyAmount:
    case OwnRecipeProblem::kNegativeAmount:
    case OwnRecipeProblem::kTooManyDecimals:
    case OwnRecipeProblem::kAmountTooLarge:
    case OwnRecipeProblem::kNotANumber: return true;
    default: return false;
    }
}

WideString Quoted(const WideString& text) { return u"«" + text + u"»"; }

// A base of any purpose or a pigment with the code: what a recipe line may name.
const MixComponent* FindLineComponent(const Catalogue& catalogue, const WideString& code) {
    for (const MixComponent& component : catalogue.components)
        if ((component.kind == kBase || component.kind == kPigment) && component.code == code) return &component;
    return nullptr;
}

bool IsCatalogueCode(const Catalogue& catalogue, const WideString& folded) {
    for (const ColourRecipe& recipe : catalogue.recipes)
        if (FoldText(recipe.title) == folded) return true;
    for (const ColourEntry& colour : catalogue.colours)
        if (FoldText(colour.code) == folded) return true;
    return false;
}

OwnRecipeProblem CheckLine(const Catalogue& catalogue, const OwnRecipe& recipe, std::size_t index) {
    const OwnRecipeLine& line = recipe.lines[index];
    if (!FindLineComponent(catalogue, line.component)) return OwnRecipeProblem::kUnknownComponent;
    for (std::size_t i = 0; i < index; ++i)
        if (recipe.lines[i].component == line.component) return OwnRecipeProblem::kDuplicateComponent;
    if (line.amount < 0) return OwnRecipeProblem::kNegativeAmount;
    if (line.amount > kLargestOwnAmount) return OwnRecipeProblem::kAmountTooLarge;
    return OwnRecipeProblem::kNone;
}

}  // namespace

WideString OwnProblemReason(const OwnRecipe& recipe, const OwnRecipeCheck& check) {
    const WideString component =
        check.line && *check.line < recipe.lines.size() ? Quoted(recipe.lines[*check.line].component) : u"«»";
    switch (check.problem) {
    case OwnRecipeProblem::kNone: return {};
    case OwnRecipeProblem::kEmptyCode: return u"не указан код рецепта";
    case OwnRecipeProblem::kCodeTooLong: return u"код длиннее " + IntegerText(kLongestOwnCode) + u" знаков";
    case OwnRecipeProblem::kCodeClashesWithCatalogue:
        return u"код " + Quoted(recipe.code) + u" уже есть в каталоге, выберите другой код";
    case OwnRecipeProblem::kDuplicateCode: return u"рецепт с кодом " + Quoted(recipe.code) + u" уже есть";
    case OwnRecipeProblem::kEmptyName: return u"не указано название рецепта";
    case OwnRecipeProblem::kNoLines: return u"в рецепте нет ни одной строки";
    case OwnRecipeProblem::kNoBase: return u"в рецепте нет основы";
    case OwnRecipeProblem::kUnknownComponent: return u"неизвестный компонент " + component;
    case OwnRecipeProblem::kDuplicateComponent: return u"компонент " + component + u" уже есть в рецепте";
    case OwnRecipeProblem::kEmptyAmount: return u"не указано количество компонента " + component;
    case OwnRecipeProblem::kNegativeAmount: return u"отрицательное количество компонента " + component;
    case OwnRecipeProblem::kTooManyDecimals:
        return u"у количества компонента " + component + u" больше трёх знаков после запятой";
    case OwnRecipeProblem::kAmountTooLarge: return u"слишком большое количество компонента " + component;
    case OwnRecipeProblem::kNotANumber: return u"количество компонента " + component + u" не число";
    }
    return {};
}

WideString DescribeProblem(const OwnRecipe& recipe, const OwnRecipeCheck& check) {
    WideString reason = OwnProblemReason(recipe, check);
    if (reason.empty()) return reason;
    reason += u".";
    if (IsLineProblem(check.problem) && check.line) return u"Строка " + IntegerText(*check.line + 1) + u": " + reason;
    if (reason.front() >= kCyrillicSmallA && reason.front() <= kCyrillicSmallYa)
        reason.front() = static_cast<char16_t>(reason.front() - kSmallToCapital);
    return reason;
}

OwnRecipeProblem ParseOwnAmount(std::u16string_view text, Thousandths& amount) {
    std::int64_t value = 0;
    switch (ParseDecimalText(text, kOwnAmountUnit, value)) {
    case DecimalProblem::kNone: break;
    case DecimalProblem::kEmpty: return OwnRecipeProblem::kEmptyAmount;
    case DecimalProblem::kNotANumber: return OwnRecipeProblem::kNotANumber;
    case DecimalProblem::kTooManyDecimals: return OwnRecipeProblem::kTooManyDecimals;
    case DecimalProblem::kTooLarge: return OwnRecipeProblem::kAmountTooLarge;
    }
    if (value < 0) return OwnRecipeProblem::kNegativeAmount;
    amount = value;
    return OwnRecipeProblem::kNone;
}

WideString FormatOwnAmount(Thousandths amount, char16_t decimalMark) {
    WideString text = IntegerText(amount / kThousandthsPerGram);
    if (amount < 0 && text.front() != u'-') text.insert(text.begin(), u'-');  // "-0,5"
    const Thousandths fraction = amount % kThousandthsPerGram;
    if (fraction == 0) return text;
    WideString decimals = IntegerText(fraction < 0 ? -fraction : fraction, kMostDecimals);
    while (decimals.back() == u'0') decimals.pop_back();
    return text + decimalMark + decimals;
}

OwnRecipeCheck CheckOwnRecipe(const Catalogue& catalogue, const OwnRecipe& recipe,
                              const std::vector<WideString>& otherCodes) {
    const WideString code(TrimSpaces(recipe.code));
    if (code.empty()) return {OwnRecipeProblem::kEmptyCode, {}};
    if (code.size() > kLongestOwnCode) return {OwnRecipeProblem::kCodeTooLong, {}};
    const WideString folded = FoldText(code);
    if (IsCatalogueCode(catalogue, folded)) return {OwnRecipeProblem::kCodeClashesWithCatalogue, {}};
    for (const WideString& other : otherCodes)
        if (FoldText(TrimSpaces(other)) == folded) return {OwnRecipeProblem::kDuplicateCode, {}};
    if (TrimSpaces(recipe.name).empty()) return {OwnRecipeProblem::kEmptyName, {}};
    if (recipe.lines.empty()) return {OwnRecipeProblem::kNoLines, {}};
    bool baseFound = false;
    for (std::size_t i = 0; i < recipe.lines.size(); ++i) {
        if (const OwnRecipeProblem problem = CheckLine(catalogue, recipe, i); problem != OwnRecipeProblem::kNone)
            return {problem, i};
        baseFound = baseFound || FindLineComponent(catalogue, recipe.lines[i].component)->kind == kBase;
    }
    if (!baseFound) return {OwnRecipeProblem::kNoBase, {}};
    return {};
}

WideString OwnRecipeTitle(const OwnRecipe& recipe) {
    return recipe.name.empty() ? recipe.code : recipe.code + u" " + recipe.name;
}

ColourRecipe ToColourRecipe(const OwnRecipe& recipe, std::int32_t number) {
    ColourRecipe colour;
    colour.number = number;
    colour.title = OwnRecipeTitle(recipe);
    for (const OwnRecipeLine& line : recipe.lines)
        colour.items.push_back({line.component, static_cast<double>(line.amount) / kThousandthsPerGram});
    return colour;
}

OwnRecipe CopyOfCatalogueRecipe(const ColourRecipe& recipe, const ColourEntry* colour) {
    OwnRecipe own;
    own.code = recipe.title;
    if (colour) {
        own.name = colour->name;
        own.rgb = colour->rgb;
    }
    for (const RecipeItem& item : recipe.items)
        own.lines.push_back({item.code, static_cast<Thousandths>(std::llround(item.amount * kThousandthsPerGram))});
    return own;
}

namespace {

// A batch's component as the catalogue knows it, with the base it goes into.
struct PouredComponent {
    const MixComponent* component = nullptr;
    const MixComponent* base = nullptr;  // itself for a base, the mixed base for a part; null for a pigment
};

bool Matches(const MixComponent& component, const BatchComponent& poured) {
    return poured.code.empty() ? ComponentDisplayName(component) == poured.name : component.code == poured.code;
}

// Pigments by code or by the name the recipe text shows; the parts of the batch's
// purpose's mixed bases, then its bases, the same way. A part comes first: it may be a
// base of the purpose on its own too.
PouredComponent FindPoured(const Catalogue& catalogue, std::int32_t purpose, const BatchComponent& poured) {
    for (const MixComponent& component : catalogue.components) {
        if (component.kind != kBase || component.purpose != purpose) continue;
        for (const FormulaTerm& term : component.formula) {
            const MixComponent* part = catalogue.findComponent(term.code, purpose);
            if (part && Matches(*part, poured)) return {part, &component};
        }
    }
    for (const MixComponent& component : catalogue.components) {
        if (component.kind == kPigment && Matches(component, poured)) return {&component, nullptr};
        if (component.kind == kBase && component.purpose == purpose && Matches(component, poured))
            return {&component, &component};
    }
    return {};
}

struct Gathered {
    std::vector<std::pair<const MixComponent*, Hundredths>> bases;     // by base, in order poured
    std::vector<std::pair<const MixComponent*, Hundredths>> pigments;  // additions summed in
    std::vector<std::pair<const MixComponent*, Hundredths>> poured;    // every component, parts apart, additions in
};

void AddTo(std::vector<std::pair<const MixComponent*, Hundredths>>& sums, const MixComponent* component,
           Hundredths poured) {
    const auto found = std::find_if(sums.begin(), sums.end(), [&](const auto& sum) { return sum.first == component; });
    if (found == sums.end()) {
        sums.emplace_back(component, poured);
    } else {
        found->second += poured;
    }
}

// Every step of the recipe computed for the batch's choice weighs what the batch poured for it.
std::size_t MatchingSteps(const Catalogue& catalogue, const OwnRecipe& recipe, const BatchRecord& batch,
                          const std::vector<Hundredths>& wanted) {
    const ColourRecipe colour = ToColourRecipe(recipe, 0);
    const PourPlan plan = BuildPourPlan(
        ComputeRecipe(catalogue, colour, batch.purpose, batch.weightType, batch.amount), kDefaultResolution);
    if (plan.components.size() != wanted.size()) return 0;
    std::size_t matching = 0;
    for (std::size_t i = 0; i < wanted.size(); ++i) matching += plan.components[i].recipeWeight == wanted[i];
    return matching;
}

// The step weights the saved recipe's plan must ask for, in the order it lists them:
// bases (or their parts), then pigments, each with its additions.
std::vector<Hundredths> WantedSteps(const Catalogue& catalogue, const OwnRecipe& recipe, const BatchRecord& batch,
                                    const Gathered& gathered) {
    std::vector<Hundredths> wanted;
    const std::int32_t purpose = static_cast<std::int32_t>(batch.purpose);
    auto pouredOf = [&](const MixComponent* component) {
        Hundredths sum = 0;
        for (const auto& [each, weight] : gathered.poured)
            if (each == component) sum += weight;
        return sum;
    };
    for (const OwnRecipeLine& line : recipe.lines) {
        const MixComponent* base = catalogue.findComponent(line.component, purpose);
        if (!base || base->kind != kBase) continue;
        if (!base->hasFormula()) {
            wanted.push_back(pouredOf(base));
            continue;
        }
        for (const FormulaTerm& term : base->formula) wanted.push_back(pouredOf(catalogue.findComponent(term.code, purpose)));
    }
    for (const auto& pigment : gathered.pigments) wanted.push_back(pigment.second);
    return wanted;
}

// The scale a recipe is poured at fixes every printed weight: the base's is 1000 g
// times it, each paste's its amount times it and the pigment factor, and the amount
// asked for is the recipe's weight (or volume) times it. So for a scale at which the
// base rounds to what was poured, each paste has a window of thousandths that round to
// its grams, and together they must leave that scale. A few scales across the base's
// window are tried; the plan of the result is the judge.
constexpr int kScaleSamples = 48;
constexpr double kHalfHundredth = 0.005;
constexpr double kBaseGrams = 1000.0;
constexpr double kGramsPerHundredth = 0.01;

bool SolvePastes(const Catalogue& catalogue, const BatchRecord& batch, const MixComponent& base, double factor,
                 std::size_t firstPaste, const std::vector<Hundredths>& wanted, OwnRecipe& recipe) {
    const std::int32_t purpose = static_cast<std::int32_t>(batch.purpose);
    const bool millilitres = batch.weightType == kMillilitres;
    auto perGram = [&](const MixComponent& component) { return millilitres ? 1.0 / component.density : 1.0; };
    if (millilitres && !(base.density > 0)) return false;
    std::vector<double> pasteShare;
    for (std::size_t i = firstPaste; i < recipe.lines.size(); ++i) {
        const MixComponent* paste = catalogue.findComponent(recipe.lines[i].component, purpose);
        if (!paste || (millilitres && !(paste->density > 0))) return false;
        pasteShare.push_back(perGram(*paste));
    }
    const std::size_t baseSteps = base.hasFormula() ? base.formula.size() : 1;
    if (wanted.size() != baseSteps + pasteShare.size()) return false;
    Hundredths partsSum = 0;
    for (std::size_t i = 0; i < baseSteps; ++i) partsSum += wanted[i];
    // A mixed base prints its own weight, which its rounded parts may miss by a hundredth each.
    const Hundredths reach = base.hasFormula() ? static_cast<Hundredths>(baseSteps) : 0;
    for (Hundredths printedBase = partsSum - reach; printedBase <= partsSum + reach; ++printedBase) {
        const double baseGrams = static_cast<double>(printedBase) * kGramsPerHundredth;
        for (int k = 1; k <= kScaleSamples; ++k) {
            const double scale =
                (baseGrams - kHalfHundredth + 2 * kHalfHundredth * k / (kScaleSamples + 1)) / kBaseGrams;
            double left = (batch.amount / scale - kBaseGrams * perGram(base)) / factor * kThousandthsPerGram;
            std::vector<std::pair<Thousandths, Thousandths>> windows;
            for (std::size_t j = 0; j < pasteShare.size(); ++j) {
                // The first paste after a mixed base's parts makes up for their rounding.
                const Hundredths printed = wanted[baseSteps + j] + (j == 0 ? partsSum - printedBase : 0);
                const double grams = static_cast<double>(printed) * kGramsPerHundredth;
                const auto low = static_cast<Thousandths>(
                    std::ceil((grams - kHalfHundredth) / (scale * factor) * kThousandthsPerGram));
                const auto high = static_cast<Thousandths>(
                    std::floor((grams + kHalfHundredth) / (scale * factor) * kThousandthsPerGram));
                windows.emplace_back(std::max<Thousandths>(low, 0), high);
                left -= static_cast<double>(windows.back().first) * pasteShare[j];
            }
            const bool fits = left >= 0 && std::all_of(windows.begin(), windows.end(),
                                                       [](const auto& w) { return w.first <= w.second; });
            if (!fits) continue;
            for (std::size_t j = 0; j < windows.size(); ++j) {
                const auto more = std::min<Thousandths>(windows[j].second - windows[j].first,
                                                        static_cast<Thousandths>(left / pasteShare[j]));
                recipe.lines[firstPaste + j].amount = windows[j].first + more;
                left -= static_cast<double>(more) * pasteShare[j];
            }
            if (MatchingSteps(catalogue, recipe, batch, wanted) == wanted.size()) return true;
        }
    }
    return false;
}

// When no scale fits (a batch not poured exactly), each paste takes the one of its
// neighbours that makes the most steps weigh what was poured.
// How a recipe saved from a corrected batch was made.
constexpr char16_t kCorrectedMethod[] = u"поправка по замеру";
constexpr char16_t kCorrectedMethodSuffix[] = u", поправка по замеру";

constexpr int kSearchRounds = 4;
constexpr Thousandths kSearchReach = 12;

void FitPastes(const Catalogue& catalogue, const BatchRecord& batch, std::size_t firstPaste,
               const std::vector<Hundredths>& wanted, OwnRecipe& recipe) {
    std::size_t best = MatchingSteps(catalogue, recipe, batch, wanted);
    for (int round = 0; round < kSearchRounds && best < wanted.size(); ++round) {
        const std::size_t before = best;
        for (std::size_t i = firstPaste; i < recipe.lines.size() && best < wanted.size(); ++i) {
            const Thousandths start = recipe.lines[i].amount;
            Thousandths chosen = start;
            for (Thousandths step = 1; step <= kSearchReach; ++step) {
                for (const Thousandths candidate : {start - step, start + step}) {
                    if (candidate < 0) continue;
                    recipe.lines[i].amount = candidate;
                    const std::size_t matching = MatchingSteps(catalogue, recipe, batch, wanted);
                    if (matching > best) {
                        best = matching;
                        chosen = candidate;
                    }
                }
            }
            recipe.lines[i].amount = chosen;
        }
        if (best == before) break;
    }
}

// The rounds keep their target in hundredths: the matched one stands for it, spectrum and
// all, when it rounds to the same.
std::optional<OwnTarget> TargetOfBatch(const BatchRecord& batch, const OwnTarget* matched) {
    if (batch.measureRounds.empty()) {
        if (matched) return *matched;
        return std::nullopt;
    }
    const BatchLab& last = batch.measureRounds.back().target;
    const auto hundredths = [](double value) { return static_cast<std::int32_t>(std::lround(value * kBatchLabPerUnit)); };
    if (matched && hundredths(matched->l) == last.l && hundredths(matched->a) == last.a &&
        hundredths(matched->b) == last.b) {
        OwnTarget kept = *matched;
        kept.method += kCorrectedMethodSuffix;
        return kept;
    }
    return OwnTarget{last.l / kBatchLabPerUnit, last.a / kBatchLabPerUnit, last.b / kBatchLabPerUnit, {}, kCorrectedMethod};
}

}  // namespace

WideString AbandonedBatchQuestion(const BatchRecord& batch) {
    if (batch.status != BatchStatus::Abandoned) return {};
    std::vector<const WideString*> never;
    for (const BatchComponent& component : batch.components) {
        const auto same = [&](const BatchComponent& other) { return other.name == component.name; };
        const bool poured = std::any_of(batch.components.begin(), batch.components.end(),
                                        [&](const BatchComponent& other) { return same(other) && other.poured > 0; });
        if (!poured && std::none_of(never.begin(), never.end(), [&](const WideString* name) { return *name == component.name; }))
            never.push_back(&component.name);
    }
    WideString text = u"Замес прерван";
    if (never.empty()) {
        text += u".";
    } else {
        text += u", не налиты: ";
        for (std::size_t i = 0; i < never.size(); ++i) text += (i == 0 ? u"" : u", ") + *never[i];
        text += u". В рецепте их не будет.";
    }
    return text + u"\r\n\r\nСохранить как рецепт то, что налито?";
}

bool OwnRecipeOfBatch(const Catalogue& catalogue, const BatchRecord& batch, OwnRecipe& recipe, WideString& error,
                      const OwnTarget* matched) {
    const std::int32_t purpose = static_cast<std::int32_t>(batch.purpose);
    Gathered gathered;
    for (const BatchComponent& poured : batch.components) {
        const PouredComponent found = FindPoured(catalogue, purpose, poured);
        if (!found.component) {
            error = u"Компонент " + Quoted(poured.code.empty() ? poured.name : poured.code) + u" не найден в каталоге.";
            return false;
        }
        AddTo(gathered.poured, found.component, poured.poured);
        if (found.base) {
            AddTo(gathered.bases, found.base, poured.poured);
        } else if (poured.poured > 0) {
            AddTo(gathered.pigments, found.component, poured.poured);
        }
    }
    Hundredths baseWeight = 0;
    double pigmentFactor = 1.0;
    for (const auto& [base, poured] : gathered.bases) {
        baseWeight += poured;
        if (base->hasPigmentFactor()) pigmentFactor = base->pigmentFactor;
    }
    if (baseWeight <= 0 || !(pigmentFactor > 0)) {
        error = u"В замесе не налита основа.";
        return false;
    }

    OwnRecipe result;
    result.code = batch.colourCode;
    result.name = batch.colourName;
    result.note = batch.note;
    const double perBaseGram = static_cast<double>(kThousandthsPerGram) * kThousandthsPerGram / baseWeight;
    for (const auto& [base, poured] : gathered.bases)
        result.lines.push_back({base->code, static_cast<Thousandths>(std::llround(poured * perBaseGram))});
    const std::size_t firstPaste = result.lines.size();
    for (const auto& [pigment, poured] : gathered.pigments)
        result.lines.push_back({pigment->code, static_cast<Thousandths>(std::llround(poured * perBaseGram / pigmentFactor))});
    // Additions and accepted corrections pour more than the amount asked for: then the
    // plain proportions are all there is to keep.
    const bool asPlanned =
        std::none_of(batch.components.begin(), batch.components.end(), [](const auto& c) { return c.addition; }) &&
        std::none_of(batch.corrections.begin(), batch.corrections.end(), [](const auto& c) { return c.accepted; });
    const std::vector<Hundredths> wanted = WantedSteps(catalogue, result, batch, gathered);
    if (asPlanned && MatchingSteps(catalogue, result, batch, wanted) < wanted.size()) {
        const OwnRecipe estimated = result;
        const bool solved = gathered.bases.size() == 1 &&
                            SolvePastes(catalogue, batch, *gathered.bases.front().first, pigmentFactor, firstPaste,
                                        wanted, result);
        if (!solved) {
            result = estimated;
            FitPastes(catalogue, batch, firstPaste, wanted, result);
        }
    }
    result.target = TargetOfBatch(batch, matched);
    recipe = std::move(result);
    return true;
}

}  // namespace lacqueron
