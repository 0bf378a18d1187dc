// A weighed batch as the journal keeps it: the recipe's weights, what went into the can,
// the corrections answered and how the weighing ended, from the plan as it was left.
#pragma once

#include <cstdint>

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
};

// Finished when every step is done and no correction waits, else abandoned.
BatchRecord BatchOfPour(const PourPlan& plan, const BatchHeader& header);

}  // namespace lacqueron
