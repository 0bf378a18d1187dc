#include "ui/weigh/WeighTexts.h"

#include <string>

#include "formula/NumberFormat.h"
#include "pour/PourText.h"

namespace lacqueron {
namespace {

WideString Wide(const std::string& ascii) { return WideString(ascii.begin(), ascii.end()); }

WideString Grams(Hundredths value) { return Wide(FormatGrams(value)) + u" г"; }

const WideString& NameOf(const PourPlan& plan, const PourStep& step) { return plan.components[step.component].name; }

// The step a reading was just recorded against: the current one, or the one before it
// once the reading finished it.
const PourStep& RecordedStep(const PourPlan& plan, ReadingOutcome outcome) {
    return plan.steps[outcome == ReadingOutcome::kShort ? plan.current : plan.current - 1];
}

}  // namespace

WideString InstructionText(const PourPlan& plan) {
    if (plan.offer) return u"Перелив: пересчитать партию?";
    if (plan.Finished()) return u"Готово";
    const PourStep& step = plan.steps[plan.current];
    return u"Налейте " + NameOf(plan, step) + u" до " + Wide(FormatGrams(step.target)) + u" г";
}

WideString OutcomeText(const PourPlan& plan, ReadingOutcome outcome) {
    switch (outcome) {
    case ReadingOutcome::kShort: {
        const PourStep& step = RecordedStep(plan, outcome);
        return u"долейте ещё " + Grams(step.target - plan.lastReading);
    }
    case ReadingOutcome::kOverPour: {
        const PourStep& step = RecordedStep(plan, outcome);
        return u"Перелив: " + NameOf(plan, step) + u" — показание " + Grams(plan.lastReading) + u" вместо " +
               Grams(step.target);
    }
    case ReadingOutcome::kNegative: return u"Показание не может быть отрицательным. Ничего не записано.";
    case ReadingOutcome::kBelowPrevious:
        return u"Показание меньше предыдущего (" + Grams(plan.lastReading) +
               u"): краску можно только доливать. Ничего не записано.";
    case ReadingOutcome::kDone:
    case ReadingOutcome::kNoStepLeft:
    case ReadingOutcome::kDecisionPending: break;
    }
    return {};
}

WideString NotANumberText() {
    return u"Введите показание весов числом, например 480.77 или 480,77. Ничего не записано.";
}

WideString CorrectionText(const PourPlan& plan) {
    if (!plan.offer) return {};
    const PourCorrection& offer = *plan.offer;
    WideString text = u"Увеличить партию в " + Wide(FormatFactor(offer.factor)) + u" раза, новый итог " +
                      Grams(offer.total) + u".\r\nДалее:\r\n";
    for (const PourStep& step : offer.remaining) {
        text += step.kind == PourStepKind::kTopUp ? u"долить " : u"";
        text += plan.components[step.component].name + u": +" + Grams(step.weight) + u" (=" + Grams(step.target) +
                u")\r\n";
    }
    return text;
}

WideString DeclinedText(const PourCorrection& declined) {
    return u"Пересчёт отклонён (итог был бы " + Grams(declined.total) +
           u"): веса прежние, показания сдвинуты на перелив.";
}

WideString AmountText(std::int32_t amount, const WideString& unit) {
    return u"Количество: " + Wide(FormatInt(amount)) + u" " + unit;
}

WideString WeightCell(Hundredths weight, Hundredths resolution) {
    return Wide(FormatGrams(weight)) + (IsHardToWeigh(weight, resolution) ? u" *" : u"");
}

WideString GramsCell(Hundredths value) { return Wide(FormatGrams(value)); }

WideString SignedCell(double value) { return Wide(FormatFixed2(value, true)); }

WideString SmallestBatchText(const PourPlan& plan, const std::int32_t* amount, const WideString& unit) {
    bool starred = false;
    for (const PourStep& step : plan.steps) starred = starred || IsHardToWeigh(step.weight, plan.resolution);
    WideString text = starred ? u"* меньше 10 делений весов\r\n" : u"";
    text += u"Наименьшая партия: ";
    text += amount ? Wide(FormatInt(*amount)) + u" " + unit : WideString(u"нет");
    return text;
}

}  // namespace lacqueron
