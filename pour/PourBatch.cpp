#include "pour/PourBatch.h"

#include <cmath>
#include <limits>

namespace lacqueron {
namespace {

constexpr double kFactorScale = 10000;  // the journal keeps a factor to four decimals

std::uint32_t FactorInTenThousandths(double factor) noexcept {
    const double scaled = std::round(factor * kFactorScale);
    if (!(scaled >= 0)) return 0;
    if (scaled >= static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(scaled);
}

}  // namespace

BatchRecord BatchOfPour(const PourPlan& plan, const BatchHeader& header) {
    BatchRecord batch;
    batch.time = header.time;
    batch.colourCode = header.colourCode;
    batch.colourName = header.colourName;
    batch.purpose = header.purpose;
    batch.weightType = header.weightType;
    batch.amount = header.amount;
    batch.resolution = static_cast<std::uint32_t>(plan.resolution);
    for (const PourComponent& component : plan.components)
        batch.components.push_back(
            {component.name, component.recipeWeight, component.poured, component.code, component.addition});
    for (const PourDecision& decision : plan.decisions)
        batch.corrections.push_back(
            {FactorInTenThousandths(decision.correction.factor), decision.correction.total, decision.accepted});
    batch.finalTotal = plan.lastReading;
    batch.status = plan.Finished() ? BatchStatus::Done : BatchStatus::Abandoned;
    batch.note = header.note;
    batch.batchId = header.batchId;
    return batch;
}

}  // namespace lacqueron
