#include "pour/PourPlan.h"

#include <algorithm>
#include <cmath>

namespace lacqueron {
namespace {

constexpr double kPercent = 100.0;

Hundredths ToHundredths(double grams) noexcept {
    return static_cast<Hundredths>(std::llround(grams * kHundredthsPerGram));
}

double ToGrams(Hundredths hundredths) noexcept { return static_cast<double>(hundredths) / kHundredthsPerGram; }

// A base mixed by formula is poured as its parts; every other line is a step.
bool IsStep(const RecipeLine& line) noexcept { return !(line.kind == RecipeLineKind::kBase && line.byFormula); }

// Each step's target is the running total the recipe text prints on its line, and its
// weight is what the scale must gain from the step before. A mixed base's parts print
// running totals that start from the total before the base, so after the last part the
// next line's total can differ from the parts' by their rounding: the step after the
// parts then weighs that much more or less than its printed weight, and every target
// still equals a printed figure. Pouring only adds: a printed total below the target
// before it (a zero weight after parts that rounded up, or a negative amount in the
// data) keeps the target before it and weighs nothing.
void AddSteps(const Recipe& recipe, PourPlan& plan) {
    Hundredths previousTarget = 0;
    for (const RecipeLine& line : recipe.lines) {
        if (!IsStep(line)) continue;
        const Hundredths target = std::max(ToHundredths(line.runningTotal), previousTarget);
        const Hundredths weight = target - previousTarget;
        plan.components.push_back({line.name, weight, 0, weight, line.code});
        PourStep step;
        step.component = plan.components.size() - 1;
        step.weight = weight;
        step.target = target;
        plan.steps.push_back(step);
        previousTarget = target;
    }
    plan.startComponents = plan.components;
    plan.startSteps = plan.steps;
}

// Moves the targets of the steps from first on by the same amount. A step stopped short
// before a paste added ahead of it keeps only what it still lacks, which a fresh
// running total of the weights would not.
void ShiftTargets(std::vector<PourStep>& steps, std::size_t first, Hundredths by) noexcept {
    for (std::size_t i = first; i < steps.size(); ++i) steps[i].target += by;
}

// Targets of the steps from first on: the last reading plus their weights in turn.
Hundredths Retarget(std::vector<PourStep>& steps, std::size_t first, Hundredths lastReading) {
    Hundredths running = lastReading;
    for (std::size_t i = first; i < steps.size(); ++i) {
        running += steps[i].weight;
        steps[i].target = running;
    }
    return running;
}

// The smallest factor that brings every component poured so far to at most that factor
// times its weight. A component of no weight cannot be matched by any factor and is left
// to the summary.
double CorrectionFactor(const std::vector<PourComponent>& components) {
    double factor = 1.0;
    for (const PourComponent& component : components)
        if (component.weight > 0 && component.poured > 0)
            factor = std::max(factor, static_cast<double>(component.poured) / static_cast<double>(component.weight));
    return factor;
}

PourCorrection ComputeCorrection(const PourPlan& plan) {
    PourCorrection correction;
    correction.factor = CorrectionFactor(plan.components);
    for (const PourComponent& component : plan.components) {
        const Hundredths scaled = ToHundredths(RoundToHundredths(correction.factor * ToGrams(component.weight)));
        correction.weights.push_back(component.weight > 0 ? std::max(scaled, component.poured) : component.weight);
    }
    auto stillNeeded = [&](std::size_t c) { return std::max<Hundredths>(0, correction.weights[c] - plan.components[c].poured); };

    std::vector<bool> waiting(plan.components.size(), false);
    for (std::size_t i = plan.current; i < plan.steps.size(); ++i) {
        PourStep step = plan.steps[i];
        step.weight = stillNeeded(step.component);
        waiting[step.component] = true;
        correction.remaining.push_back(step);
    }
    // Components already poured get their top-ups after the steps left, so the reading keeps rising.
    for (std::size_t c = 0; c < plan.components.size(); ++c) {
        if (waiting[c] || stillNeeded(c) == 0) continue;
        PourStep topUp;
        topUp.kind = PourStepKind::kTopUp;
        topUp.component = c;
        topUp.weight = stillNeeded(c);
        correction.remaining.push_back(topUp);
    }
    correction.total = Retarget(correction.remaining, 0, plan.lastReading);
    return correction;
}

}  // namespace

bool IsResolution(Hundredths value) noexcept {
    return value == kResolutionHundredth || value == kResolutionTenth || value == kResolutionGram;
}

PourPhase PourPlan::Phase() const noexcept {
    if (offer) return PourPhase::kDeciding;
    return current < steps.size() ? PourPhase::kPouring : PourPhase::kFinished;
}

Hundredths PourPlan::Total() const noexcept {
    if (Finished()) return lastReading;
    return steps.empty() ? 0 : steps.back().target;
}

PourPlan BuildPourPlan(const Recipe& recipe, Hundredths resolution) {
    PourPlan plan;
    plan.resolution = resolution;
    if (recipe.kind == RecipeKind::kCorrect) AddSteps(recipe, plan);
    return plan;
}

PourPlan BuildPourPlan(const Catalogue& catalogue, const ColourRecipe& recipe, std::uint32_t purpose,
                       std::uint32_t weightType, std::int32_t amount, Hundredths resolution) {
    PourPlan plan = BuildPourPlan(ComputeRecipe(catalogue, recipe, purpose, weightType, amount), resolution);
    // A step of no weight at the largest amount has none at any.
    const PourPlan largest =
        BuildPourPlan(ComputeRecipe(catalogue, recipe, purpose, weightType, kLargestAmount), resolution);
    if (largest.steps.size() != plan.steps.size()) return plan;
    for (std::size_t i = 0; i < plan.steps.size(); ++i) plan.steps[i].weighsSomething = largest.steps[i].weight > 0;
    plan.startSteps = plan.steps;
    return plan;
}

Hundredths Tolerance(Hundredths weight, Hundredths resolution) noexcept {
    // Readings are whole hundredths, so 1 % of the weight may round down.
    return std::max(resolution, weight / static_cast<Hundredths>(kPercent));
}

bool IsHardToWeigh(const PourStep& step, Hundredths resolution) noexcept {
    return (step.weight > 0 || step.weighsSomething) && step.weight < kWeighableScaleSteps * resolution;
}

bool IsTooLightToWeigh(const PourStep& step) noexcept { return step.weighsSomething && step.weight == 0; }

bool IsRefused(ReadingOutcome outcome) noexcept {
    return outcome != ReadingOutcome::kDone && outcome != ReadingOutcome::kShort && outcome != ReadingOutcome::kOverPour;
}

namespace {

// Records the reading against the current step; the plan is pouring and the reading
// neither negative nor below the last one.
ReadingOutcome Record(PourPlan& plan, Hundredths reading) {
    PourStep& step = plan.steps[plan.current];
    plan.components[step.component].poured += reading - plan.lastReading;
    plan.lastReading = reading;
    step.reading = reading;
    const Hundredths over = reading - step.target;
    const Hundredths tolerance = Tolerance(step.weight, plan.resolution);
    if (over < -tolerance) return ReadingOutcome::kShort;
    ++plan.current;
    step.state = over <= tolerance ? PourStepState::kDone : PourStepState::kOverPour;
    PourCorrection correction;
    if (step.state == PourStepState::kOverPour) correction = ComputeCorrection(plan);
    // Only a step of no weight went over: a larger batch would pour the same.
    if (step.state == PourStepState::kDone || correction.factor <= 1.0) {
        // The steps after it start from where this one ended, so that each of them pours
        // its own weight: a large step's tolerance can exceed a whole pigment's weight.
        ShiftTargets(plan.steps, plan.current, over);
        return step.state == PourStepState::kDone ? ReadingOutcome::kDone : ReadingOutcome::kOverPour;
    }
    plan.offered.push_back(correction);
    plan.offer = std::move(correction);
    return ReadingOutcome::kOverPour;
}

void Accept(PourPlan& plan) {
    for (std::size_t c = 0; c < plan.components.size(); ++c) plan.components[c].weight = plan.offer->weights[c];
    plan.steps.resize(plan.current);
    plan.steps.insert(plan.steps.end(), plan.offer->remaining.begin(), plan.offer->remaining.end());
    plan.decisions.push_back({*plan.offer, true});
    plan.offer.reset();
}

void Decline(PourPlan& plan) {
    ShiftTargets(plan.steps, plan.current, plan.lastReading - plan.steps[plan.current - 1].target);
    plan.decisions.push_back({*plan.offer, false});
    plan.offer.reset();
}

// The paste's step goes in as the current one, from the last reading; the steps left
// move up by its weight, so each still pours what it lacks (a step already short too).
void Add(PourPlan& plan, const PourAddition& addition) {
    std::size_t c = 0;
    while (c < plan.components.size() &&
           !(plan.components[c].addition && plan.components[c].code == addition.paste.code))
        ++c;
    if (c == plan.components.size()) plan.components.push_back({addition.paste.name, 0, 0, 0, addition.paste.code, true});
    plan.components[c].weight += addition.weight;
    PourStep step;
    step.kind = PourStepKind::kAddition;
    step.component = c;
    step.weight = addition.weight;
    step.target = plan.lastReading + addition.weight;
    ShiftTargets(plan.steps, plan.current, addition.weight);
    plan.steps.insert(plan.steps.begin() + static_cast<std::ptrdiff_t>(plan.current), step);
}

}  // namespace

ReadingOutcome RecordReading(PourPlan& plan, Hundredths reading) {
    switch (plan.Phase()) {
    case PourPhase::kDeciding: return ReadingOutcome::kDecisionPending;
    case PourPhase::kFinished: return ReadingOutcome::kNoStepLeft;
    case PourPhase::kPouring: break;
    }
    if (reading < 0) return ReadingOutcome::kNegative;
    if (reading < plan.lastReading) return ReadingOutcome::kBelowPrevious;
    plan.entries.push_back({reading, plan.resolution, std::nullopt, std::nullopt});
    return Record(plan, reading);
}

std::optional<Hundredths> FarAbove(const PourPlan& plan, Hundredths reading) noexcept {
    if (plan.Phase() != PourPhase::kPouring) return std::nullopt;
    const PourStep& step = plan.steps[plan.current];
    const Hundredths over = reading - step.target;
    if (over * static_cast<Hundredths>(kPercent) > step.weight * kFarAbovePercent &&
        over > kFarAboveScaleSteps * plan.resolution)
        return over;
    return std::nullopt;
}

bool UndoReading(PourPlan& plan) {
    if (plan.entries.empty() || plan.Finished()) return false;
    // Replayed on a copy, so the plan stays as it was if memory runs out.
    PourPlan replay = plan;
    replay.components = plan.startComponents;
    replay.steps = plan.startSteps;
    replay.current = 0;
    replay.lastReading = 0;
    replay.offer.reset();
    replay.offered.clear();
    replay.decisions.clear();
    replay.entries.clear();
    for (std::size_t i = 0; i + 1 < plan.entries.size(); ++i) {
        const PourEntry& entry = plan.entries[i];
        replay.resolution = entry.resolution;
        replay.entries.push_back(entry);
        if (entry.addition) {
            Add(replay, *entry.addition);
            continue;
        }
        Record(replay, entry.reading);
        if (replay.offer && entry.accepted) *entry.accepted ? Accept(replay) : Decline(replay);
    }
    replay.resolution = plan.resolution;
    plan = std::move(replay);
    return true;
}

bool OfferFits(const PourPlan& plan) noexcept {
    return plan.offer && (plan.capacity <= 0 || plan.offer->total <= plan.capacity);
}

bool AcceptCorrection(PourPlan& plan) {
    if (!OfferFits(plan)) return false;
    plan.entries.back().accepted = true;
    Accept(plan);
    return true;
}

void DeclineCorrection(PourPlan& plan) {
    if (!plan.offer) return;
    plan.entries.back().accepted = false;
    Decline(plan);
}

std::vector<PourPaste> PastesToAdd(const Catalogue& catalogue) {
    std::vector<PourPaste> pastes;
    for (const MixComponent& component : catalogue.components) {
        if (component.kind != kPigment) continue;
        // The recipe computation takes the first pigment of a code; the others are never poured.
        const bool seen = std::any_of(pastes.begin(), pastes.end(),
                                      [&](const PourPaste& paste) { return EqualFoldLatin(paste.code, component.code); });
        if (!seen) pastes.push_back({component.code, ComponentDisplayName(component)});
    }
    return pastes;
}

bool MayAddPaste(const PourPlan& plan) noexcept { return !plan.entries.empty() && !plan.offer; }

AdditionOutcome AddPaste(PourPlan& plan, const PourPaste& paste, Hundredths weight) {
    if (plan.offer) return AdditionOutcome::kDecisionPending;
    if (plan.entries.empty()) return AdditionOutcome::kNothingPoured;
    if (weight <= 0 || weight > kLargestAmount * kHundredthsPerGram) return AdditionOutcome::kBadWeight;
    // Made on a copy, so the plan stays as it was if memory runs out.
    PourPlan next = plan;
    PourEntry entry;
    entry.resolution = plan.resolution;
    entry.addition = PourAddition{paste, weight};
    Add(next, *entry.addition);
    next.entries.push_back(std::move(entry));
    plan = std::move(next);
    return AdditionOutcome::kAdded;
}

std::vector<PourSummaryLine> Summarize(const PourPlan& plan) {
    std::vector<PourSummaryLine> lines;
    for (const PourComponent& component : plan.components) {
        PourSummaryLine line{component.name, component.weight, component.poured, component.poured - component.weight, {},
                             component.addition};
        if (component.weight != 0)
            line.percent = kPercent * static_cast<double>(line.deviation) / static_cast<double>(component.weight);
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::int32_t> SmallestWeighableAmount(const Catalogue& catalogue, const ColourRecipe& recipe,
                                                    std::uint32_t purpose, std::uint32_t weightType,
                                                    Hundredths resolution) {
    auto planAt = [&](std::int32_t amount) {
        return BuildPourPlan(ComputeRecipe(catalogue, recipe, purpose, weightType, amount), resolution);
    };
    // Steps that weigh nothing even at the largest amount weigh nothing at any.
    const PourPlan largest = planAt(kLargestAmount);
    if (largest.steps.empty()) return std::nullopt;
    auto weighable = [&](std::int32_t amount) {
        const PourPlan plan = planAt(amount);
        if (plan.steps.size() != largest.steps.size()) return false;
        for (std::size_t i = 0; i < plan.steps.size(); ++i)
            if (largest.steps[i].weight > 0 && plan.steps[i].weight < kWeighableScaleSteps * resolution) return false;
        return true;
    };
    if (!weighable(kLargestAmount)) return std::nullopt;
    // Weights grow with the amount, so the first weighable amount is found by halving.
    std::int32_t low = 1;
    std::int32_t high = kLargestAmount;
    while (low < high) {
        const std::int32_t middle = low + (high - low) / 2;
        if (weighable(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return high;
}

}  // namespace lacqueron
