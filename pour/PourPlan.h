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
#include "data/catalogue/UnitAndPurpose.h"
#include "formula/RecipeText.h"

namespace lacqueron {

// The scale resolutions the bench offers.
constexpr Hundredths kResolutionHundredth = 1;
constexpr Hundredths kResolutionTenth = 10;
constexpr Hundredths kResolutionGram = 100;
constexpr Hundredths kDefaultResolution = kResolutionHundredth;

// A step lighter than this many scale steps can be off by more than a tenth.
constexpr Hundredths kWeighableScaleSteps = 10;

// A reading this far over its target is asked about before it is recorded: more than
// this share of the step's weight and more than this many scale steps.
constexpr Hundredths kFarAbovePercent = 10;
constexpr Hundredths kFarAboveScaleSteps = 10;

bool IsResolution(Hundredths value) noexcept;

// A step of the recipe, a top-up after a correction, or a paste added while tinting.
enum class PourStepKind { kStep, kTopUp, kAddition };
enum class PourStepState { kWaiting, kDone, kOverPour };

struct PourStep {
    PourStepKind kind = PourStepKind::kStep;
    std::size_t component = 0;  // index into PourPlan::components
    Hundredths weight = 0;      // to add
    Hundredths target = 0;      // the reading to reach
    std::optional<Hundredths> reading;  // the last one recorded for this step
    PourStepState state = PourStepState::kWaiting;
    // False when the recipe puts none of it in at any amount; true for a step that only
    // rounds to 0.00 at this amount, which still cannot be weighed.
    bool weighsSomething = true;
};

// What one step or base part of the recipe puts into the can, over all its steps.
struct PourComponent {
    WideString name;        // as the recipe text shows it
    Hundredths weight = 0;  // what the plan in force asks for in all
    Hundredths poured = 0;
    Hundredths recipeWeight = 0;  // what the recipe text asks for, before any correction; 0 for an addition
    WideString code;              // the package's code
    bool addition = false;        // pastes added while tinting, beyond the recipe
};

// A paste of the package that may be added while tinting.
struct PourPaste {
    WideString code;
    WideString name;  // as the recipe text shows it
};

struct PourCorrection {
    double factor = 1;                // the batch grows by this
    Hundredths total = 0;             // the last reading once the corrected plan is poured
    std::vector<Hundredths> weights;  // per component
    std::vector<PourStep> remaining;  // the steps left, re-weighed, then the top-ups
};

// A correction answered by the painter; one declined stays on record too.
struct PourDecision {
    PourCorrection correction;
    bool accepted = false;
};

// A paste added, and the weight to add.
struct PourAddition {
    PourPaste paste;
    Hundredths weight = 0;
};

// A reading that stands, with the resolution it was judged at and the answer to the
// correction it caused, once given; or a paste added. Undo replays these.
struct PourEntry {
    Hundredths reading = 0;
    Hundredths resolution = kDefaultResolution;
    std::optional<bool> accepted;
    std::optional<PourAddition> addition;  // set for an addition, which has no reading of its own
};

// Pouring while a step waits for its reading, deciding while a correction is offered,
// finished when neither: every step, top-ups and additions included, has its reading.
enum class PourPhase { kPouring, kDeciding, kFinished };

struct PourPlan {
    Hundredths resolution = kDefaultResolution;
    Hundredths capacity = 0;  // what the can holds; 0 when not set
    std::vector<PourComponent> components;
    std::vector<PourStep> steps;
    std::size_t current = 0;                  // the first step without its reading
    Hundredths lastReading = 0;               // the scale is tared once, so it starts at 0
    std::optional<PourCorrection> offer;      // to accept or decline before the next reading
    std::vector<PourCorrection> offered;      // every correction offered, in order
    std::vector<PourDecision> decisions;      // every correction answered, in order
    std::vector<PourEntry> entries;           // the readings that stand, in order
    // The plan before any reading, which the entries are replayed on.
    std::vector<PourComponent> startComponents;
    std::vector<PourStep> startSteps;

    PourPhase Phase() const noexcept;
    bool Finished() const noexcept { return Phase() == PourPhase::kFinished; }
    // The reading when every step is done.
    Hundredths Total() const noexcept;
};

// The plan for a correct recipe; a plan without steps for any other.
PourPlan BuildPourPlan(const Recipe& recipe, Hundredths resolution);
// The same, with the steps that round to nothing at this amount but weigh something at
// a larger one marked as such.
PourPlan BuildPourPlan(const Catalogue& catalogue, const ColourRecipe& recipe, std::uint32_t purpose,
                       std::uint32_t weightType, std::int32_t amount, Hundredths resolution);

// The larger of the resolution and 1 % of the weight.
Hundredths Tolerance(Hundredths weight, Hundredths resolution) noexcept;
// A step under the weighable number of scale steps that the recipe puts something in,
// even when it rounds to 0.00 at this amount.
bool IsHardToWeigh(const PourStep& step, Hundredths resolution) noexcept;
// Such a step that rounds to nothing: it cannot be weighed at this amount at all.
bool IsTooLightToWeigh(const PourStep& step) noexcept;

enum class ReadingOutcome {
    kDone,             // within the tolerance: the next step is current
    kShort,            // below it: the step stays current
    kOverPour,         // above it: a correction is offered, unless only a step of no
                       // weight went over, which no larger batch mends
    kNegative,         // refused, like every outcome below: nothing is recorded
    kBelowPrevious,
    kNoStepLeft,
    kDecisionPending,  // the offered correction is neither accepted nor declined
};

bool IsRefused(ReadingOutcome outcome) noexcept;

ReadingOutcome RecordReading(PourPlan& plan, Hundredths reading);

// How far the reading would be over the current step's target when that is far enough
// to ask first (see kFarAbovePercent); none otherwise or when no step waits.
std::optional<Hundredths> FarAbove(const PourPlan& plan, Hundredths reading) noexcept;

// Takes back the last reading that stands and the correction it caused, with the answer
// to it, or the last paste added when it has no reading yet; false when nothing stands
// or the batch is finished.
bool UndoReading(PourPlan& plan);

// The pastes of the package, in its order, each code once.
std::vector<PourPaste> PastesToAdd(const Catalogue& catalogue);

enum class AdditionOutcome {
    kAdded,             // its step is current
    kNothingPoured,     // refused, like every outcome below: nothing changes
    kDecisionPending,
    kBadWeight,         // not above 0, or past the largest amount
};

// Adds a step for the weight of the paste, current at once; the steps left follow it.
// A finished batch is pouring again until the step has its reading. Repeated additions
// of one paste go into one addition component.
AdditionOutcome AddPaste(PourPlan& plan, const PourPaste& paste, Hundredths weight);
// Whether AddPaste would take a paste now: a reading stands and no correction waits.
bool MayAddPaste(const PourPlan& plan) noexcept;

// The offered correction's new total fits the can (or no capacity is set).
bool OfferFits(const PourPlan& plan) noexcept;
// Replaces the steps left by the offered correction's; the history stays. False, and
// nothing changes, when nothing is offered or the offer does not fit the can.
bool AcceptCorrection(PourPlan& plan);
// Keeps every weight; the steps left move up by what the scale now reads too much.
void DeclineCorrection(PourPlan& plan);

struct PourSummaryLine {
    WideString name;
    Hundredths weight = 0;  // what the plan in force asks for
    Hundredths poured = 0;
    Hundredths deviation = 0;
    std::optional<double> percent;  // of the weight; none for a weight of 0
    bool addition = false;          // added while tinting; these come after the recipe's own
};

std::vector<PourSummaryLine> Summarize(const PourPlan& plan);

// The smallest whole amount at which every step that weighs anything weighs at least the
// weighable number of scale steps; none when even the largest amount does not reach it
// or the recipe is not correct.
std::optional<std::int32_t> SmallestWeighableAmount(const Catalogue& catalogue, const ColourRecipe& recipe,
                                                    std::uint32_t purpose, std::uint32_t weightType,
                                                    Hundredths resolution);

}  // namespace lacqueron
