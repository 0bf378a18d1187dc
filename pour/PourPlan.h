// The bench's pour plan: one step per base, base part and pigment of a computed recipe,
// in the order of its text, each with the weight to add and the reading the tared scale
// must show; readings recorded against it, over-pour corrections and the summary.
// Weights and readings are whole hundredths of a gram, so sums stay exact. The targets
// start as the recipe text's running totals; a step that ends off its target, within the
// tolerance or over it, moves the targets after it by the difference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"
#include "formula/RecipeText.h"

namespace lacqueron {

using Hundredths = std::int64_t;  // grams times 100

constexpr Hundredths kHundredthsPerGram = 100;

// The scale resolutions the bench offers.
constexpr Hundredths kResolutionHundredth = 1;
constexpr Hundredths kResolutionTenth = 10;
constexpr Hundredths kResolutionGram = 100;
constexpr Hundredths kDefaultResolution = kResolutionHundredth;

// A step lighter than this many scale steps can be off by more than a tenth.
constexpr Hundredths kWeighableScaleSteps = 10;

// The largest amount the main dialog takes.
constexpr std::int32_t kLargestAmount = 100000000;

bool IsResolution(Hundredths value) noexcept;

enum class PourStepKind { kStep, kTopUp };
enum class PourStepState { kWaiting, kDone, kOverPour };

struct PourStep {
    PourStepKind kind = PourStepKind::kStep;
    std::size_t component = 0;  // index into PourPlan::components
    Hundredths weight = 0;      // to add
    Hundredths target = 0;      // the reading to reach
    std::optional<Hundredths> reading;  // the last one recorded for this step
    PourStepState state = PourStepState::kWaiting;
};

// What one step or base part of the recipe puts into the can, over all its steps.
struct PourComponent {
    WideString name;        // as the recipe text shows it
    Hundredths weight = 0;  // what the plan in force asks for in all
    Hundredths poured = 0;
    Hundredths recipeWeight = 0;  // what the recipe text asks for, before any correction
};

struct PourCorrection {
    double factor = 1;                // the batch grows by this
    Hundredths total = 0;             // the last reading once the corrected plan is poured
    std::vector<Hundredths> weights;  // per component
    std::vector<PourStep> remaining;  // the steps left, re-weighed, then the top-ups
};

struct PourPlan {
    Hundredths resolution = kDefaultResolution;
    std::vector<PourComponent> components;
    std::vector<PourStep> steps;
    std::size_t current = 0;                  // the first step not done; steps.size() when finished
    Hundredths lastReading = 0;               // the scale is tared once, so it starts at 0
    std::optional<PourCorrection> offer;      // to accept or decline before the next reading
    std::vector<PourCorrection> offered;      // every correction offered, in order
    std::vector<PourCorrection> accepted;     // those the painter accepted, in order

    bool Finished() const noexcept { return current >= steps.size(); }
    // The reading when every step is done.
    Hundredths Total() const noexcept;
};

// The plan for a correct recipe; a plan without steps for any other.
PourPlan BuildPourPlan(const Recipe& recipe, Hundredths resolution);

// The larger of the resolution and 1 % of the weight.
Hundredths Tolerance(Hundredths weight, Hundredths resolution) noexcept;
// A step above nothing but under the weighable number of scale steps.
bool IsHardToWeigh(Hundredths weight, Hundredths resolution) noexcept;

enum class ReadingOutcome {
    kDone,             // within the tolerance: the next step is current
    kShort,            // below it: the step stays current
    kOverPour,         // above it: a correction is offered
    kNegative,         // refused, like every outcome below: nothing is recorded
    kBelowPrevious,
    kNoStepLeft,
    kDecisionPending,  // the offered correction is neither accepted nor declined
};

bool IsRefused(ReadingOutcome outcome) noexcept;

ReadingOutcome RecordReading(PourPlan& plan, Hundredths reading);

// Replaces the steps left by the offered correction's; the history stays.
void AcceptCorrection(PourPlan& plan);
// Keeps every weight; the steps left move up by what the scale now reads too much.
void DeclineCorrection(PourPlan& plan);

struct PourSummaryLine {
    WideString name;
    Hundredths weight = 0;  // what the plan in force asks for
    Hundredths poured = 0;
    Hundredths deviation = 0;
    std::optional<double> percent;  // of the weight; none for a weight of 0
};

std::vector<PourSummaryLine> Summarize(const PourPlan& plan);

// The smallest whole amount at which every step that weighs anything weighs at least the
// weighable number of scale steps; none when even the largest amount does not reach it
// or the recipe is not correct.
std::optional<std::int32_t> SmallestWeighableAmount(const Catalogue& catalogue, const ColourRecipe& recipe,
                                                    std::uint32_t purpose, std::uint32_t weightType,
                                                    Hundredths resolution);

}  // namespace lacqueron
