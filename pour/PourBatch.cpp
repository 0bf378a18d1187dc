#include "pour/PourBatch.h"

#include <algorithm>
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
    batch.measureRounds = header.measureRounds;
    return batch;
}

namespace {

Hundredths WeightOf(const std::vector<BatchPaste>& pastes, const WideString& code) noexcept {
    Hundredths weight = 0;
    for (const BatchPaste& paste : pastes)
        if (paste.code == code) weight += paste.weight;
    return weight;
}

}  // namespace

std::vector<BatchPaste> AdditionsPoured(const PourPlan& plan) {
    std::vector<BatchPaste> pastes;
    for (const PourComponent& component : plan.components) {
        if (!component.addition) continue;
        auto same = std::find_if(pastes.begin(), pastes.end(),
                                 [&](const BatchPaste& paste) { return paste.code == component.code; });
        if (same == pastes.end())
            pastes.push_back({component.code, component.poured});
        else
            same->weight += component.poured;
    }
    return pastes;
}

std::vector<BatchPaste> PouredSince(const std::vector<BatchPaste>& before, const std::vector<BatchPaste>& after) {
    std::vector<BatchPaste> poured;
    for (const BatchPaste& paste : after) {
        const Hundredths grown = paste.weight - WeightOf(before, paste.code);
        if (grown > 0) poured.push_back({paste.code, grown});
    }
    return poured;
}

}  // namespace lacqueron
