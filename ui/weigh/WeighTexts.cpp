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
    if (plan.steps.empty()) return u"Взвешивать нечего.";
    if (plan.Finished()) return u"Готово";
    const PourStep& step = plan.steps[plan.current];
    return NameOf(plan, step) + u": налейте до " + Wide(FormatGrams(step.target)) + u" г";
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
    return u"Введите показание весов числом, например 480.77. Ничего не записано.";
}

WideString AddedText(const PourAddition& addition) {
    return u"Добавлена паста " + addition.paste.name + u": " + Grams(addition.weight) + u".";
}

WideString AdditionUndoneText(const PourAddition& addition) {
    return u"Добавление пасты " + addition.paste.name + u" (" + Grams(addition.weight) + u") отменено.";
}

WideString DecisionPendingText() { return u"Сначала примите или отклоните пересчёт партии."; }

WideString FarAboveQuestion(Hundredths reading, Hundredths excess) {
    return u"Показание " + Grams(reading) + u" больше цели на " + Grams(excess) + u". Записать?";
}

WideString UndoneText(Hundredths reading, bool withCorrection) {
    return u"Показание " + Grams(reading) + (withCorrection ? u" и его пересчёт отменены." : u" отменено.");
}

WideString NothingToUndoText() { return u"Отменять нечего."; }

WideString CorrectionText(const PourPlan& plan) {
    if (!plan.offer) return {};
    const PourCorrection& offer = *plan.offer;
    WideString text = u"Увеличить партию в " + Wide(FormatFactor(offer.factor)) + u" раза, новый итог " +
                      Grams(offer.total) + u".\r\n";
    if (!OfferFits(plan))
        text += u"Такая партия не поместится в тару (" + Grams(plan.capacity) + u"): принять пересчёт нельзя.\r\n";
    text += u"Далее:\r\n";
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

WideString WeightCell(const PourStep& step, Hundredths resolution) {
    return Wide(FormatGrams(step.weight)) + (IsHardToWeigh(step, resolution) ? u" *" : u"");
}

WideString GramsCell(Hundredths value) { return Wide(FormatGrams(value)); }

WideString SignedCell(double value) { return Wide(FormatFixed2(value, true)); }

WideString SmallestBatchText(const PourPlan& plan, const std::int32_t* amount, const WideString& unit) {
    bool starred = false;
    bool unweighable = false;
    for (const PourStep& step : plan.steps) {
        starred = starred || IsHardToWeigh(step, plan.resolution);
        unweighable = unweighable || IsTooLightToWeigh(step);
    }
    WideString text;
    if (unweighable)
        text = u"* меньше 10 делений весов; 0.00 г при этом количестве не взвесить\r\n";
    else if (starred)
        text = u"* меньше 10 делений весов: при этом количестве не взвесить точно\r\n";
    text += u"Наименьшая партия: ";
    text += amount ? Wide(FormatInt(*amount)) + u" " + unit : WideString(u"нет");
    return text;
}

WideString BatchCostText(const BatchCosting& costing) {
    const Costing& poured = costing.poured;
    if (!poured.total) return poured.missing.empty() ? WideString() : u"Нет цены: " + poured.missing;
    WideString text = u"Стоимость замеса: " + FormatRoubles(*poured.total) + u" ₽";
    if (costing.overPour && *costing.overPour > 0)
        text += u"\r\nПерелив обошёлся в " + FormatRoubles(*costing.overPour) + u" ₽";
    return text;
}

WideString ShortfallText(const std::vector<StockRow>& rows) {
    if (rows.empty()) return {};
    WideString text = u"Остатков мало:";
    const char16_t* separator = u" ";
    for (const StockRow& row : rows) {
        text += separator + row.name;
        if (row.onHand < 0)
            text += u" — не хватит " + Grams(-row.onHand);
        else
            text += u" — останется " + Grams(row.onHand) + u", минимум " + Grams(row.minimum.value_or(0));
        separator = u"; ";
    }
    return text + u".";
}

WideString ScaleReadingText(Hundredths reading, bool stable) {
    return u"Весы: " + Grams(reading) + (stable ? u" — стабильно" : u" — нестабильно, подождите");
}

WideString ManualEntryText() { return u"Показание вводится вручную."; }

WideString WaitingForScaleText() { return u"Ожидание показаний весов..."; }

WideString NoReaderText() { return u"Не удалось начать чтение весов: введите показание вручную."; }

}  // namespace lacqueron
