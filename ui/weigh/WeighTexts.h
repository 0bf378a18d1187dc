// The Russian texts of the weighing dialog, made from the pour plan.
#pragma once

#include <cstdint>

#include <vector>

#include "core/WideString.h"
#include "ledger/Costing.h"
#include "pour/PourPlan.h"

namespace lacqueron {

// "<компонент>: налейте до <показание> г" for the current step, a question while a
// correction is offered, "Готово" at the end.
WideString InstructionText(const PourPlan& plan);
// What the last recorded reading means for the step it was recorded against.
WideString OutcomeText(const PourPlan& plan, ReadingOutcome outcome);
WideString NotANumberText();
// A reading typed while a correction waits for its answer.
WideString DecisionPendingText();
// The question before a reading far over its target is recorded.
WideString FarAboveQuestion(Hundredths reading, Hundredths excess);
// A reading taken back, with the correction it caused when there was one.
WideString UndoneText(Hundredths reading, bool withCorrection);
WideString NothingToUndoText();
// A paste added while tinting, and one taken back before its reading.
WideString AddedText(const PourAddition& addition);
WideString AdditionUndoneText(const PourAddition& addition);
// The offered correction: factor, new total, whether it fits the can, then every step
// left with its new reading.
WideString CorrectionText(const PourPlan& plan);
WideString DeclinedText(const PourCorrection& declined);

// "Количество: <amount> <unit>".
WideString AmountText(std::int32_t amount, const WideString& unit);

// "<weight>" with a star when the step is too light for the scale.
WideString WeightCell(const PourStep& step, Hundredths resolution);
WideString GramsCell(Hundredths value);
WideString SignedCell(double value);
// The smallest weighable batch line, after a line explaining the star when a step has
// one: its error could pass 10 %, or it rounds to nothing at this amount.
WideString SmallestBatchText(const PourPlan& plan, const std::int32_t* amount, const WideString& unit);

// What the poured batch cost, and apart from it what went in beyond the recipe:
// "Стоимость замеса: 123.45 ₽", "Перелив обошёлся в 12.40 ₽"; or the component without
// a price.
WideString BatchCostText(const BatchCosting& costing);
// The components a batch would leave below zero or below their minimum; empty for none.
WideString ShortfallText(const std::vector<StockRow>& rows);

// The scale row: the live reading with its mark, and the states before any reading.
WideString ScaleReadingText(Hundredths reading, bool stable);
WideString ManualEntryText();
WideString WaitingForScaleText();
WideString NoReaderText();

}  // namespace lacqueron
