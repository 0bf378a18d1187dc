// A weighed batch as the journal keeps it: the recipe's weights, what went into the can,
// the corrections answered and how the weighing ended, from the plan as it was left.
#pragma once

#include <cstdint>
#include <vector>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "pour/PourPlan.h"

namespace lacqueron {

// What the plan does not know: when, which colour, for what, how much, for whom.
struct BatchHeader {
    BatchTime time;
    WideString colourCode;
    WideString colourName;
    std::uint32_t purpose = 1;
    std::uint32_t weightType = 1;
    std::int32_t amount = 0;
    WideString note;
    std::uint64_t batchId = 0;  // the same in every record of one batch
    std::vector<BatchMeasureRound> measureRounds;  // corrections by measurement, in order
};

// Finished when every step is done and no correction waits, else abandoned.
BatchRecord BatchOfPour(const PourPlan& plan, const BatchHeader& header);

// What the pastes added while tinting weigh in the can so far, by code, in plan order.
std::vector<BatchPaste> AdditionsPoured(const PourPlan& plan);
// What went in between two such counts: after less before, by code, the pastes that grew.
std::vector<BatchPaste> PouredSince(const std::vector<BatchPaste>& before, const std::vector<BatchPaste>& after);

}  // namespace lacqueron
