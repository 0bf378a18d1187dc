// The Russian texts of the weighing dialog, made from the pour plan.
#pragma once

#include <cstdint>

#include "core/WideString.h"
#include "pour/PourPlan.h"

namespace lacqueron {

// "Налейте <компонент> до <показание> г" for the current step, a question while a
// correction is offered, "Готово" at the end.
WideString InstructionText(const PourPlan& plan);
// What the last recorded reading means for the step it was recorded against.
WideString OutcomeText(const PourPlan& plan, ReadingOutcome outcome);
WideString NotANumberText();
// The offered correction: factor, new total, then every step left with its new reading.
WideString CorrectionText(const PourPlan& plan);
WideString DeclinedText(const PourCorrection& declined);

// "Количество: <amount> <unit>".
WideString AmountText(std::int32_t amount, const WideString& unit);

// "<weight>" with a star when the step is too light for the scale.
WideString WeightCell(Hundredths weight, Hundredths resolution);
WideString GramsCell(Hundredths value);
WideString SignedCell(double value);
// The smallest weighable batch line, after a line explaining the star when a step has
// one: its error could pass 10 %.
WideString SmallestBatchText(const PourPlan& plan, const std::int32_t* amount, const WideString& unit);

}  // namespace lacqueron
