#include "formula/RecipeText.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data/catalogue/UnitAndPurpose.h"
#include "formula/NumberFormat.h"

namespace lacqueron {
namespace {

const char16_t kIncorrect[] = u"!!! ФОРМУЛА НЕКОРРЕКТНА !!!";

const char16_t* PurposeText(std::uint32_t purpose) noexcept {
    switch (purpose) {
    case kPurposeDashboardPvcMatt: return u"для торпедного материала PVC (Vinolux) матовая";
    case kPurposeHideGloss: return u"для натуральной и экокожи (Corvana Gloss) глянцевая";
    case kPurposeHideMatt: return u"для натуральной и экокожи (Corvana Matt) матовая";
    case kPurposePlasticGloss: return u"для пластика (Polira Gloss) глянцевая";
    case kPurposePlasticMattLighter: return u"для пластика (Polira Matt) матовая - оттенок светл.RAL, станд.кол-во пасты";
    case kPurposePlasticMattSaturated: return u"для пластика (Polira Matt) матовая - насыщенный оттенок, +10% пасты";
    default: return nullptr;
    }
}

// What the recipe's lines add up to before scaling: base and pigment amounts (grams) or
// volumes (millilitres), and the pigment factor of the last base that has one.
struct Sums {
    double bases = 0;
    double pigments = 0;
    double pigmentFactor = 1.0;
    bool baseFound = false;
    bool valid = true;

    double Total() const noexcept { return pigmentFactor * pigments + bases; }
};

Sums SumLines(const Catalogue& catalogue, const ColourRecipe& recipe, std::int32_t purpose, std::uint32_t weightType) {
    Sums sums;
    for (const RecipeItem& item : recipe.items) {
        const MixComponent* component = catalogue.findComponent(item.code, purpose);
        if (!component) {
            sums.valid = false;
            continue;
        }
        const bool base = component->kind == kBase;
        if (base) {
            sums.baseFound = true;
            if (component->hasPigmentFactor()) sums.pigmentFactor = component->pigmentFactor;
        }
        double share = item.amount;
        if (weightType == kMillilitres) {
            if (!(component->density > 0)) {
                sums.valid = false;
                continue;
            }
            share = item.amount / component->density;
        }
        (base ? sums.bases : sums.pigments) += share;
    }
    return sums;
}

// A base's parts: each weighs its share of the base's weight; their running totals start
// from the total before the base and leave the recipe's running total alone.
void AddBaseParts(const Catalogue& catalogue, const MixComponent& base, double baseWeight, double totalBefore,
                  std::int32_t purpose, std::vector<RecipeLine>& lines) {
    double partsTotal = totalBefore;
    for (const FormulaTerm& term : base.formula) {
        const MixComponent* part = catalogue.findComponent(term.code, purpose);
        const double weight = RoundToHundredths(term.share * baseWeight);
        partsTotal += weight;
        lines.push_back({RecipeLineKind::kBasePart, part ? ComponentDisplayName(*part) : WideString(), weight, partsTotal,
                         false, false, term.code});
    }
}

void AddBases(const Catalogue& catalogue, const ColourRecipe& recipe, std::int32_t purpose, double scale,
              double& runningTotal, std::vector<RecipeLine>& lines) {
    for (const RecipeItem& item : recipe.items) {
        const MixComponent* base = catalogue.findComponent(item.code, purpose);
        if (!base || base->kind != kBase) continue;
        const double totalBefore = runningTotal;
        const double weight = RoundToHundredths(item.amount * scale);
        runningTotal += weight;
        lines.push_back({RecipeLineKind::kBase, ComponentDisplayName(*base), weight, runningTotal, base->hasFormula(),
                         base->hasFormula() && base->formula.empty(), base->code});
        if (base->hasFormula()) AddBaseParts(catalogue, *base, weight, totalBefore, purpose, lines);
    }
}

void AddPigments(const Catalogue& catalogue, const ColourRecipe& recipe, std::int32_t purpose, double scale,
                 double pigmentFactor, double& runningTotal, std::vector<RecipeLine>& lines) {
    for (const RecipeItem& item : recipe.items) {
        const MixComponent* pigment = catalogue.findComponent(item.code, purpose);
        if (!pigment || pigment->kind != kPigment) continue;
        const double weight = RoundToHundredths(item.amount * scale * pigmentFactor);
        runningTotal += weight;
        lines.push_back({RecipeLineKind::kPigment, ComponentDisplayName(*pigment), weight, runningTotal, false, false,
                         pigment->code});
    }
}

bool AllFinite(const std::vector<RecipeLine>& lines) {
    return std::all_of(lines.begin(), lines.end(), [](const RecipeLine& line) {
        return std::isfinite(line.weight) && std::isfinite(line.runningTotal);
    });
}

void AppendAscii(WideString& text, const std::string& ascii) {
    for (const char c : ascii) text.push_back(static_cast<char16_t>(c));
}

void AppendAmountLine(WideString& text, std::uint32_t weightType, std::int32_t targetWeight) {
    text += weightType == kMillilitres ? u"Требуемый объём: " : u"Требуемый вес: ";
    AppendAscii(text, FormatInt(targetWeight));
    text += weightType == kMillilitres ? u".00 миллилитров\r\n\r\n" : u".00 грамм\r\n\r\n";
}

// "name: %+0.2f грамм (=%0.2f грамм)", a base part's with an arrow in front, a mixed
// base's followed by its formula mark and, when it kept no term, the warning line.
void AppendLine(WideString& text, const RecipeLine& line) {
    if (line.kind == RecipeLineKind::kBasePart) text += u"---> ";
    text += line.name;
    text += u": ";
    AppendAscii(text, FormatFixed2(line.weight, true));
    text += u" грамм (=";
    AppendAscii(text, FormatFixed2(line.runningTotal, false));
    text += u" грамм)";
    if (line.byFormula) text += u" по формуле:";
    text += u"\r\n";
    if (line.formulaMissing) text += u"---> !!! ФОРМУЛА КОМПОНЕНТА НЕКОРРЕКТНА !!!\r\n";
}

}  // namespace

WideString ComponentDisplayName(const MixComponent& component) {
    const bool pigment = component.kind == kPigment;
    WideString text = !component.name.empty() ? component.name : pigment ? u"Пигмент" : u"Основа";
    if (pigment && !component.note.empty()) {
        text += u" (";
        text += component.note;
        text += u")";
    }
    return text;
}

double RoundToHundredths(double x) noexcept {
    double whole;
    const double fraction = std::modf(x, &whole);
    double hundredths;
    const double rest = std::modf(100.0 * fraction, &hundredths);
    int exponent;
    const double mantissa = std::frexp(100.0 * x, &exponent);
    const double tolerance = std::ldexp(mantissa, exponent - 52);
    if (x >= 0) {
        return rest >= 0.5 - tolerance ? whole + (hundredths + 1) / 100 : whole + hundredths / 100;
    }
    return rest <= tolerance - 0.5 ? whole + (hundredths - 1) / 100 : whole + hundredths / 100;
}

Recipe ComputeRecipe(const Catalogue& catalogue, const ColourRecipe& recipe, std::uint32_t purpose,
                     std::uint32_t weightType, std::int32_t targetWeight) {
    Recipe result;
    result.source = &recipe;
    result.purpose = purpose;
    result.weightType = weightType;
    result.targetWeight = targetWeight;

    // Purpose is a stored 32-bit value; lookups compare it as the signed field it is.
    const std::int32_t lookupPurpose = static_cast<std::int32_t>(purpose);
    const Sums sums = SumLines(catalogue, recipe, lookupPurpose, weightType);
    const bool choiceKnown = PurposeText(purpose) && (weightType == kGrams || weightType == kMillilitres);
    const double total = sums.Total();
    if (!choiceKnown || !sums.valid || !sums.baseFound || !(total > 0) || !std::isfinite(total)) return result;

    const double scale = targetWeight / total;
    double runningTotal = 0;
    AddBases(catalogue, recipe, lookupPurpose, scale, runningTotal, result.lines);
    AddPigments(catalogue, recipe, lookupPurpose, scale, sums.pigmentFactor, runningTotal, result.lines);
    // Amounts that cancel can still overflow a single weight.
    if (!AllFinite(result.lines)) {
        result.lines.clear();
        return result;
    }
    result.total = runningTotal;
    const bool partsMissing = std::any_of(result.lines.begin(), result.lines.end(),
                                          [](const RecipeLine& line) { return line.formulaMissing; });
    result.kind = partsMissing ? RecipeKind::kIncorrectComponentFormula : RecipeKind::kCorrect;
    return result;
}

WideString WriteRecipeText(const Recipe& recipe) {
    if (recipe.kind == RecipeKind::kIncorrectFormula || !recipe.source) return kIncorrect;
    WideString text = u"Краска ";
    text += recipe.source->title;
    text += u" ";
    text += PurposeText(recipe.purpose);
    text += u"\r\n";
    AppendAmountLine(text, recipe.weightType, recipe.targetWeight);
    for (const RecipeLine& line : recipe.lines)
        if (line.kind != RecipeLineKind::kPigment) AppendLine(text, line);
    text += u"\r\n";
    for (const RecipeLine& line : recipe.lines)
        if (line.kind == RecipeLineKind::kPigment) AppendLine(text, line);
    text += u"\r\nИтого полный вес краски: ";
    AppendAscii(text, FormatFixed2(recipe.total, false));
    text += u" грамм\r\n";
    return text;
}

WideString ComputeRecipeText(const Catalogue& catalogue, const ColourRecipe* recipe, std::uint32_t purpose,
                             std::uint32_t weightType, std::int32_t targetWeight) {
    if (!recipe) return {};
    return WriteRecipeText(ComputeRecipe(catalogue, *recipe, purpose, weightType, targetWeight));
}

}  // namespace lacqueron
