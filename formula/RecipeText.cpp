#include "formula/RecipeText.h"

#include <cmath>
#include <string>

#include "formula/NumberFormat.h"

namespace lacqueron {
namespace {

const char16_t kIncorrect[] = u"!!! ФОРМУЛА НЕКОРРЕКТНА !!!";

const char16_t* PurposeText(std::uint32_t purpose) noexcept {
    switch (purpose) {
    case 1: return u"для торпедного материала PVC (Vinolux) матовая";
    case 2: return u"для натуральной и экокожи (Corvana Gloss) глянцевая";
    case 3: return u"для натуральной и экокожи (Corvana Matt) матовая";
    case 4: return u"для пластика (Polira Gloss) глянцевая";
    case 5: return u"для пластика (Polira Matt) матовая - оттенок светл.RAL, станд.кол-во пасты";
    case 6: return u"для пластика (Polira Matt) матовая - насыщенный оттенок, +10% пасты";
    default: return nullptr;
    }
}

void AppendAscii(WideString& text, const std::string& ascii) {
    for (const char c : ascii) text.push_back(static_cast<char16_t>(c));
}

// "%+0.2f грамм (=%0.2f грамм)" with a weight and the running total after it.
void AppendWeight(WideString& text, double weight, double runningTotal) {
    AppendAscii(text, FormatFixed2(weight, true));
    text += u" грамм (=";
    AppendAscii(text, FormatFixed2(runningTotal, false));
    text += u" грамм)";
}

// The name shown for a component: its own, or the kind's word; a pigment's note follows.
WideString DisplayName(const MixComponent& component) {
    const bool pigment = component.kind == kPigment;
    WideString text = !component.name.empty() ? component.name : pigment ? u"Пигмент" : u"Основа";
    if (pigment && !component.note.empty()) {
        text += u" (";
        text += component.note;
        text += u")";
    }
    return text;
}

}  // namespace

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

WideString ComputeRecipeText(const Catalogue& catalogue, const ColourRecipe* recipe, std::uint32_t purpose,
                             std::uint32_t weightType, std::int32_t targetWeight) {
    WideString text;
    if (!recipe) return text;

    bool valid = true;
    const char16_t* purposeText = PurposeText(purpose);
    if (!purposeText) valid = false;

    text += u"Краска ";
    text += recipe->title;
    text += u" ";
    if (purposeText) text += purposeText;
    text += u"\r\n";

    if (weightType == 2) {
        text += u"Требуемый объём: ";
        AppendAscii(text, FormatInt(targetWeight));
        text += u".00 миллилитров\r\n\r\n";
    } else if (weightType == 1) {
        text += u"Требуемый вес: ";
        AppendAscii(text, FormatInt(targetWeight));
        text += u".00 грамм\r\n\r\n";
    } else {
        valid = false;
    }

    // Purpose is a stored 32-bit value; lookups compare it as the signed field it is.
    const std::int32_t lookupPurpose = static_cast<std::int32_t>(purpose);
    double baseSum = 0;
    double pigmentSum = 0;
    double pigmentFactor = 1.0;
    bool baseFound = false;
    for (const RecipeItem& item : recipe->items) {
        const MixComponent* component = catalogue.findComponent(item.code, lookupPurpose);
        if (!component) {
            valid = false;
            continue;
        }
        const bool base = component->kind == kBase;
        if (base) {
            baseFound = true;
            if (component->hasPigmentFactor()) pigmentFactor = component->pigmentFactor;
        }
        double share = item.amount;
        if (weightType == 2) {
            if (!(component->density > 0)) {
                valid = false;
                continue;
            }
            share = item.amount / component->density;
        }
        (base ? baseSum : pigmentSum) += share;
    }

    const double total = pigmentFactor * pigmentSum + baseSum;
    if (!(total > 0) || !baseFound || !valid) return kIncorrect;

    const double scale = targetWeight / total;
    double runningTotal = 0;

    for (const RecipeItem& item : recipe->items) {
        const MixComponent* base = catalogue.findComponent(item.code, lookupPurpose);
        if (!base || base->kind != kBase) continue;
        const double totalBefore = runningTotal;
        const double weight = RoundToHundredths(item.amount * scale);
        runningTotal += weight;
        text += DisplayName(*base);
        text += u": ";
        AppendWeight(text, weight, runningTotal);
        if (base->hasFormula()) text += u" по формуле:";
        text += u"\r\n";
        if (!base->hasFormula()) continue;
        if (base->formula.empty()) {
            text += u"---> !!! ФОРМУЛА КОМПОНЕНТА НЕКОРРЕКТНА !!!\r\n";
            continue;
        }
        double partsTotal = totalBefore;
        for (const FormulaTerm& term : base->formula) {
            const MixComponent* part = catalogue.findComponent(term.code, lookupPurpose);
            const double partWeight = RoundToHundredths(term.share * weight);
            partsTotal += partWeight;
            text += u"---> ";
            if (part) text += DisplayName(*part);
            text += u": ";
            AppendWeight(text, partWeight, partsTotal);
            text += u"\r\n";
        }
    }

    text += u"\r\n";

    for (const RecipeItem& item : recipe->items) {
        const MixComponent* pigment = catalogue.findComponent(item.code, lookupPurpose);
        if (!pigment || pigment->kind != kPigment) continue;
        const double weight = RoundToHundredths(item.amount * scale * pigmentFactor);
        runningTotal += weight;
        text += DisplayName(*pigment);
        text += u": ";
        AppendWeight(text, weight, runningTotal);
        text += u"\r\n";
    }

    text += u"\r\nИтого полный вес краски: ";
    AppendAscii(text, FormatFixed2(runningTotal, false));
    text += u" грамм\r\n";
    return text;
}

}  // namespace lacqueron
