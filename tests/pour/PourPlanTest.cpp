// The pour plan after a run of readings, against plans worked out by hand from the
// recipe text's worked examples at 500 g.
#include "pour/PourPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/Utf8.h"
#include "pour/PourBatch.h"
#include "pour/PourText.h"
#include "tests/support/MadeUpCatalogue.h"

namespace lacqueron {
namespace {

constexpr std::int32_t kAmount = 500;

enum Example { kPlain, kMixedBase };

// The worked example for purpose 4, or its mixed base for purpose 6.
struct ExampleRecipe {
    explicit ExampleRecipe(Example example) : recipe(test::Recipe(test::kExampleItems)) {
        if (example == kMixedBase) test::AddMixedBase(catalogue);
        test::AddExampleComponents(catalogue);
        purpose = example == kMixedBase ? 6 : 4;
    }
    Recipe Compute(std::int32_t amount) const { return ComputeRecipe(catalogue, recipe, purpose, 1, amount); }

    Catalogue catalogue;
    ColourRecipe recipe;
    std::uint32_t purpose;
};

const char* KindWord(PourStepKind kind) {
    switch (kind) {
    case PourStepKind::kTopUp: return "top-up ";
    case PourStepKind::kAddition: return "addition ";
    case PourStepKind::kStep: break;
    }
    return "step ";
}

// One row as "kind name weight target reading status".
std::string Row(const PourPlan& plan, const PourStep& step) {
    return KindWord(step.kind) +
           ToUtf8(plan.components[step.component].name) + " " + FormatGrams(step.weight) + " " +
           FormatGrams(step.target) + " " + (step.reading ? FormatGrams(*step.reading) : "-") + " " +
           ToUtf8(StatusWord(step));
}

std::vector<std::string> Rows(const PourPlan& plan) {
    std::vector<std::string> rows;
    for (const PourStep& step : plan.steps) rows.push_back(Row(plan, step));
    rows.push_back("total " + FormatGrams(plan.Total()));
    for (const PourCorrection& correction : plan.offered)
        rows.push_back("correction " + FormatFactor(correction.factor) + " " + FormatGrams(correction.total));
    return rows;
}

// Among the readings: take back the one before.
constexpr Hundredths kUndo = std::numeric_limits<Hundredths>::min();

// Records each reading and answers each correction offered; one that does not fit the
// can is declined.
void Pour(PourPlan& plan, const std::vector<Hundredths>& readings, bool accept) {
    for (const Hundredths reading : readings) {
        if (reading == kUndo) {
            ASSERT_TRUE(UndoReading(plan));
            continue;
        }
        ASSERT_FALSE(IsRefused(RecordReading(plan, reading))) << reading;
        if (plan.offer && !(accept && AcceptCorrection(plan))) DeclineCorrection(plan);
    }
}

struct PlanCase {
    const char* name;
    Example example;
    Hundredths resolution;
    std::vector<Hundredths> readings;
    bool accept;
    std::vector<std::string> rows;
    Hundredths capacity = 0;
};

class PourPlans : public testing::TestWithParam<PlanCase> {};

TEST_P(PourPlans, AfterTheReadings) {
    const PlanCase& c = GetParam();
    const ExampleRecipe example(c.example);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), c.resolution);
    plan.capacity = c.capacity;
    Pour(plan, c.readings, c.accept);
    EXPECT_EQ(Rows(plan), c.rows);
}

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Plans, PourPlans,
    testing::Values(
        // Targets are the printed running totals: 480.77, 495.19, 500.00.
        PlanCase{"AsTheRecipeTextPrintsIt", kPlain, kResolutionHundredth, {}, true,
                 {"step Основа 480.77 480.77 - ждёт", "step Yel 14.42 495.19 - ждёт",
                  "step Red (N) 4.81 500.00 - ждёт", "total 500.00"}},
        // The mixed base is poured as its parts Wh and Yel, then the pigments.
        PlanCase{"MixedBaseAsItsParts", kMixedBase, kResolutionHundredth, {}, true,
                 {"step Wh 431.04 431.04 - ждёт", "step Yel 47.89 478.93 - ждёт", "step Yel 15.80 494.73 - ждёт",
                  "step Red (N) 5.27 500.00 - ждёт", "total 500.00"}},
        // Yel 1.00 over (tolerance 0.14): f = 15.42 / 14.42; the base 514.11 gets a top-up of
        // 33.34 after Red 5.14. Then Red 1.00 over its 5.14 (tolerance 0.05): f = 6.14 / 5.14
        // against that plan, the base 614.13 and Yel 18.42; the base's top-up grows to 133.36
        // and Yel's 3.00 follows it. The base's top-up ends 0.01 over, so Yel's target moves
        // up by as much.
        PlanCase{"TwoOverPoursAccepted", kPlain, kResolutionHundredth, {48077, 49619, 50233, 63570, 63869}, true,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 496.19 перелив",
                  "step Red (N) 5.14 501.33 502.33 перелив", "top-up Основа 133.36 635.69 635.70 готово",
                  "top-up Yel 3.00 638.70 638.69 готово", "total 638.69", "correction 1.0693 534.67",
                  "correction 1.1946 638.69"}},
        // Wh 8.96 over (tolerance 4.31): f = 440 / 431.04 scales everything left from 440.00;
        // Wh alone was poured, so nothing needs a top-up.
        PlanCase{"OverPourOfAPartOfTheMixedBase", kMixedBase, kResolutionHundredth, {44000}, true,
                 {"step Wh 431.04 431.04 440.00 перелив", "step Yel 48.89 488.89 - ждёт",
                  "step Yel 16.13 505.02 - ждёт", "step Red (N) 5.38 510.40 - ждёт", "total 510.40",
                  "correction 1.0208 510.40"}},
        // Red 5.81 for 4.81: f = 5.81 / 4.81; the base (580.72) and Yel (17.42) are topped up.
        PlanCase{"OverPourOfTheLastStepAccepted", kPlain, kResolutionHundredth, {48077, 49519, 50100}, true,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                  "step Red (N) 4.81 500.00 501.00 перелив", "top-up Основа 99.95 600.95 - долить",
                  "top-up Yel 3.00 603.95 - долить", "total 603.95", "correction 1.2079 603.95"}},
        PlanCase{"OverPourOfTheLastStepDeclined", kPlain, kResolutionHundredth, {48077, 49519, 50100}, false,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                  "step Red (N) 4.81 500.00 501.00 перелив", "total 501.00", "correction 1.2079 603.95"}},
        // Declined: Red keeps its 4.81 and its target moves up by Yel's 1.00 too much.
        PlanCase{"OverPourDeclined", kPlain, kResolutionHundredth, {48077, 49619}, false,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 496.19 перелив",
                  "step Red (N) 4.81 501.00 - ждёт", "total 501.00", "correction 1.0693 534.67"}},
        // At 0.1 g the tolerances are 4.80, 0.14 and 0.10. The base ends 0.03 over, moving
        // the targets after it; 495.00 is short, 495.30 and 500.20 are done (at 0.01 g the
        // last is 0.09 over a tolerance of 0.04: an over-pour).
        PlanCase{"ResolutionOfATenth", kPlain, kResolutionTenth, {48080, 49500, 49530, 50020}, false,
                 {"step Основа 480.77 480.77 480.80 готово", "step Yel 14.42 495.22 495.30 готово",
                  "step Red (N) 4.81 500.11 500.20 готово", "total 500.20"}},
        PlanCase{"ResolutionOfAHundredth", kPlain, kResolutionHundredth, {48080, 49530, 50020}, false,
                 {"step Основа 480.77 480.77 480.80 готово", "step Yel 14.42 495.22 495.30 готово",
                  "step Red (N) 4.81 500.11 500.20 перелив", "total 500.20", "correction 1.0187 509.36"}},
        // The top-ups after the last step's correction are poured; only then is it finished.
        PlanCase{"TopUpsAfterTheLastStepPoured", kPlain, kResolutionHundredth, {48077, 49519, 50100, 60095, 60395},
                 true,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                  "step Red (N) 4.81 500.00 501.00 перелив", "top-up Основа 99.95 600.95 600.95 готово",
                  "top-up Yel 3.00 603.95 603.95 готово", "total 603.95", "correction 1.2079 603.95"}},
        // 603.95 g would not fit a 600 g can: the correction cannot be accepted.
        PlanCase{"CorrectionTooLargeForTheCan", kPlain, kResolutionHundredth, {48077, 49519, 50100}, true,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                  "step Red (N) 4.81 500.00 501.00 перелив", "total 501.00", "correction 1.2079 603.95"},
                 60000},
        // A slip of 505.00 for Yel, accepted, then taken back with its correction: as if never typed.
        PlanCase{"TypoTakenBackWithItsCorrection", kPlain, kResolutionHundredth,
                 {48077, 50500, kUndo, 49519, 50000}, true,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                  "step Red (N) 4.81 500.00 500.00 готово", "total 500.00"}},
        PlanCase{"EveryReadingCanBeTakenBack", kPlain, kResolutionHundredth, {48077, 49000, kUndo, kUndo}, true,
                 {"step Основа 480.77 480.77 - ждёт", "step Yel 14.42 495.19 - ждёт",
                  "step Red (N) 4.81 500.00 - ждёт", "total 500.00"}},
        // Declined, then the next reading short, then taken back: the decline stands.
        PlanCase{"UndoKeepsAnEarlierDecline", kPlain, kResolutionHundredth, {48077, 49619, 49800, kUndo}, false,
                 {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 496.19 перелив",
                  "step Red (N) 4.81 501.00 - ждёт", "total 501.00", "correction 1.0693 534.67"}},
        PlanCase{"ShortReadingKeepsTheStep", kPlain, kResolutionTenth, {48080, 49500}, false,
                 {"step Основа 480.77 480.77 480.80 готово", "step Yel 14.42 495.22 495.00 ждёт",
                  "step Red (N) 4.81 500.03 - ждёт", "total 500.03"}}),
    CaseName<PlanCase>);

TEST(PourPlan, PartsThatRoundAboveTheirBaseKeepThePrintedTargets) {
    // The base weighs 100.01; its halves print 50.01 each, so the parts reach 100.02 and
    // the pigment's printed total 101.00 is 0.98 above them, not its printed 0.99.
    Catalogue catalogue;
    catalogue.components.Append(test::WithFormula(test::Base(u"BM", 4, u"Смесь", 1.0), {{u"W1", 0.5}, {u"W2", 0.5}}));
    catalogue.components.Append(test::Base(u"W1", 4, u"Wa", 1.0));
    catalogue.components.Append(test::Base(u"W2", 4, u"Wb", 1.0));
    catalogue.components.Append(test::Pigment(u"P1", u"Yel", u"", 1.0));
    const ColourRecipe recipe = test::Recipe({{u"BM", 10001}, {u"P1", 99}});
    const PourPlan plan = BuildPourPlan(ComputeRecipe(catalogue, recipe, 4, 1, 101), kResolutionHundredth);
    EXPECT_EQ(Rows(plan), (std::vector<std::string>{"step Wa 50.01 50.01 - ждёт", "step Wb 50.01 100.02 - ждёт",
                                                    "step Yel 0.98 101.00 - ждёт", "total 101.00"}));
}

// An over-pour of the last step leaves the plan deciding, not finished, until answered.
TEST(PourPlan, LastStepOverPourWaitsForTheAnswer) {
    const ExampleRecipe example(kPlain);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(plan, {48077, 49519}, true);
    EXPECT_EQ(RecordReading(plan, 50100), ReadingOutcome::kOverPour);
    EXPECT_EQ(plan.Phase(), PourPhase::kDeciding);
    EXPECT_EQ(BatchOfPour(plan, {}).status, BatchStatus::Abandoned);
    EXPECT_EQ(RecordReading(plan, 50200), ReadingOutcome::kDecisionPending);
    ASSERT_TRUE(AcceptCorrection(plan));
    EXPECT_EQ(plan.Phase(), PourPhase::kPouring);
    PourPlan empty;
    EXPECT_FALSE(UndoReading(empty));
}

// Far above: more than 10 % of the step's weight and more than 10 scale steps over.
TEST(PourPlan, ReadingsFarAboveTheTarget) {
    const ExampleRecipe example(kPlain);
    struct Case {
        std::vector<Hundredths> before;
        Hundredths resolution;
        Hundredths reading;
        std::optional<Hundredths> excess;
    };
    const Case cases[] = {
        {{}, kResolutionHundredth, 52885, 4808},  // the base's 480.77: 48.08 is past 48.077
        {{}, kResolutionHundredth, 52884, std::nullopt},
        {{48077}, kResolutionHundredth, 49664, 145},  // Yel's 14.42: 1.45 is past 1.442
        {{48077}, kResolutionHundredth, 49663, std::nullopt},
        {{48077, 49519}, kResolutionHundredth, 50050, 50},  // Red's 4.81: 0.50 past 0.481 and 0.10
        {{48077, 49519}, kResolutionTenth, 50100, std::nullopt},  // 1.00 is not past 10 steps of 0.1
        {{48077, 49519}, kResolutionTenth, 50101, 101},
    };
    for (const Case& c : cases) {
        PourPlan plan = BuildPourPlan(example.Compute(kAmount), c.resolution);
        Pour(plan, c.before, true);
        EXPECT_EQ(FarAbove(plan, c.reading), c.excess) << c.reading;
    }
}

// A pigment of 1 in 100001 parts rounds to 0.00 at 10 g but weighs something at a larger
// amount: starred and called unweighable; pouring over it offers no pointless correction.
TEST(PourPlan, StepsThatRoundToNothing) {
    Catalogue catalogue;
    catalogue.components.Append(test::Base(u"B1", 4, u"Осн", 1.0));
    catalogue.components.Append(test::Pigment(u"P1", u"Yel", u"", 1.0));
    catalogue.components.Append(test::Pigment(u"P2", u"Red", u"", 1.0));
    const ColourRecipe recipe = test::Recipe({{u"B1", 100000}, {u"P1", 1}, {u"P2", 0}});
    PourPlan plan = BuildPourPlan(catalogue, recipe, 4, 1, 10, kResolutionHundredth);
    ASSERT_EQ(plan.steps.size(), 3u);
    EXPECT_EQ(plan.steps[1].weight, 0);
    EXPECT_TRUE(IsHardToWeigh(plan.steps[1], kResolutionHundredth));
    EXPECT_TRUE(IsTooLightToWeigh(plan.steps[1]));
    EXPECT_FALSE(IsHardToWeigh(plan.steps[2], kResolutionHundredth));  // none at any amount
    EXPECT_FALSE(IsHardToWeigh(plan.steps[0], kResolutionHundredth));
    ASSERT_EQ(RecordReading(plan, 1000), ReadingOutcome::kDone);
    EXPECT_EQ(RecordReading(plan, 1005), ReadingOutcome::kOverPour);
    EXPECT_FALSE(plan.offer.has_value());
    EXPECT_EQ(RecordReading(plan, 1005), ReadingOutcome::kDone);
    EXPECT_TRUE(plan.Finished());
    // 9501 / 100001 = 0.09501 g prints as 0.10, ten steps of 0.01; 9500 gives 0.09.
    EXPECT_EQ(SmallestWeighableAmount(catalogue, recipe, 4, 1, kResolutionHundredth), 9501);
}

TEST(PourPlan, SummaryAfterADeclinedOverPour) {
    const ExampleRecipe example(kPlain);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(plan, {48070, 49619, 50100}, false);
    ASSERT_TRUE(plan.Finished());
    const std::vector<PourSummaryLine> summary = Summarize(plan);
    ASSERT_EQ(summary.size(), 3u);
    // 480.70 for 480.77; Yel 15.49 for 14.42; Red 4.81 (501.00 against 501.00).
    EXPECT_EQ(summary[0].deviation, -7);
    EXPECT_EQ(summary[1].poured, 1549);
    EXPECT_NEAR(*summary[1].percent, 107.0 / 14.42, 1e-9);
    EXPECT_EQ(summary[2].deviation, 0);
}

// The journal keeps the recipe's own weights beside what went into the can: the top-ups
// count towards their components, the accepted corrections are kept, a batch left midway
// is abandoned.
TEST(PourPlan, BatchForTheJournal) {
    const ExampleRecipe example(kPlain);
    const BatchHeader header{{1765000000, 180}, u"RAL 1000", u"Зелёно-бежевый", 4, 1, kAmount, u"заказ 17"};
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(plan, {48077}, true);
    BatchRecord left = BatchOfPour(plan, header);
    EXPECT_EQ(left.status, BatchStatus::Abandoned);
    EXPECT_EQ(left.finalTotal, 48077);
    EXPECT_EQ(left.components, (std::vector<BatchComponent>{{u"Основа", 48077, 48077, u"B1"}, {u"Yel", 1442, 0, u"P1"},
                                                            {u"Red (N)", 481, 0, u"P2"}}));

    Pour(plan, {49619, 50233, 63570, 63869}, true);
    const BatchRecord done = BatchOfPour(plan, header);
    EXPECT_EQ(done.status, BatchStatus::Done);
    EXPECT_EQ(done.components, (std::vector<BatchComponent>{{u"Основа", 48077, 61414, u"B1"},
                                                            {u"Yel", 1442, 1841, u"P1"}, {u"Red (N)", 481, 614, u"P2"}}));
    EXPECT_EQ(done.corrections, (std::vector<BatchCorrection>{{10693, 53467, true}, {11946, 63869, true}}));

    PourPlan declined = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(declined, {48077, 49619}, false);
    EXPECT_EQ(BatchOfPour(declined, header).corrections, (std::vector<BatchCorrection>{{10693, 53467, false}}));
    EXPECT_EQ(done.finalTotal, 63869);
    EXPECT_EQ(done.resolution, 1u);
    EXPECT_EQ(done.time, header.time);
    EXPECT_EQ(done.note, u"заказ 17");
    EXPECT_EQ(done.colourName, u"Зелёно-бежевый");
}

// Tinting: a paste added at the bench, one act at a time.
struct Act {
    Hundredths value = 0;               // a reading, kUndo, or the grams of the paste
    const char16_t* paste = nullptr;    // the code of the paste to add
};
Act Add(const char16_t* code, Hundredths weight) { return {weight, code}; }

// The summary as "name weight poured deviation", additions marked with "+".
std::vector<std::string> SummaryRows(const PourPlan& plan) {
    std::vector<std::string> rows;
    for (const PourSummaryLine& line : Summarize(plan))
        rows.push_back((line.addition ? "+" : "") + ToUtf8(line.name) + " " + FormatGrams(line.weight) + " " +
                       FormatGrams(line.poured) + " " + FormatGrams(line.deviation));
    return rows;
}

struct AdditionCase {
    const char* name;
    std::vector<Act> acts;
    std::vector<std::string> rows;
    std::vector<std::string> summary;
};

class PourAdditions : public testing::TestWithParam<AdditionCase> {};

TEST_P(PourAdditions, AfterTheActs) {
    const AdditionCase& c = GetParam();
    const ExampleRecipe example(kPlain);
    const std::vector<PourPaste> pastes = PastesToAdd(example.catalogue);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    for (const Act& act : c.acts) {
        if (!act.paste) {
            Pour(plan, {act.value}, true);
            continue;
        }
        const auto paste = std::find_if(pastes.begin(), pastes.end(), [&](const PourPaste& p) { return p.code == act.paste; });
        ASSERT_NE(paste, pastes.end());
        ASSERT_EQ(AddPaste(plan, *paste, act.value), AdditionOutcome::kAdded);
        EXPECT_EQ(plan.Phase(), PourPhase::kPouring);
        EXPECT_EQ(plan.steps[plan.current].kind, PourStepKind::kAddition);
    }
    EXPECT_EQ(Rows(plan), c.rows);
    EXPECT_EQ(SummaryRows(plan), c.summary);
}

INSTANTIATE_TEST_SUITE_P(
    Additions, PourAdditions,
    testing::Values(
        // Yel stopped short at 490.00 for 0.50 of red: it pours first, from 490.00, and Yel
        // still lacks its 5.19, now up to 495.69.
        AdditionCase{"WhilePouring", {{48077}, {49000}, Add(u"P2", 50), {49050}, {49569}, {50050}},
                     {"step Основа 480.77 480.77 480.77 готово", "addition Red (N) 0.50 490.50 490.50 готово",
                      "step Yel 14.42 495.69 495.69 готово", "step Red (N) 4.81 500.50 500.50 готово",
                      "total 500.50"},
                     {"Основа 480.77 480.77 0.00", "Yel 14.42 14.42 0.00", "Red (N) 4.81 4.81 0.00",
                      "+Red (N) 0.50 0.50 0.00"}},
        // Finished, then two more of Yel: pouring again until each has its reading; both go
        // into one addition, after the recipe's own Yel.
        AdditionCase{"AfterTheFinish", {{48077}, {49519}, {50000}, Add(u"P1", 200), {50200}, Add(u"P1", 100), {50300}},
                     {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                      "step Red (N) 4.81 500.00 500.00 готово", "addition Yel 2.00 502.00 502.00 готово",
                      "addition Yel 1.00 503.00 503.00 готово", "total 503.00"},
                     {"Основа 480.77 480.77 0.00", "Yel 14.42 14.42 0.00", "Red (N) 4.81 4.81 0.00",
                      "+Yel 3.00 3.00 0.00"}},
        // The reading goes first, then the addition itself, as if never made.
        AdditionCase{"TakenBack", {{48077}, Add(u"P2", 50), {48127}, {kUndo}, {kUndo}},
                     {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 - ждёт",
                      "step Red (N) 4.81 500.00 - ждёт", "total 500.00"},
                     {"Основа 480.77 480.77 0.00", "Yel 14.42 0.00 -14.42", "Red (N) 4.81 0.00 -4.81"}},
        // Withdrawn before its reading, after the finish: finished again.
        AdditionCase{"WithdrawnAfterTheFinish", {{48077}, {49519}, {50000}, Add(u"P1", 200), {kUndo}},
                     {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                      "step Red (N) 4.81 500.00 500.00 готово", "total 500.00"},
                     {"Основа 480.77 480.77 0.00", "Yel 14.42 14.42 0.00", "Red (N) 4.81 4.81 0.00"}},
        // 1.10 of red for 1.00 (tolerance 0.01): f = 1.1 for the whole batch, the addition
        // included; the recipe's components are topped up, the addition has its 1.10.
        AdditionCase{"OverPourAccepted", {{48077}, {49519}, {50000}, Add(u"P2", 100), {50110}},
                     {"step Основа 480.77 480.77 480.77 готово", "step Yel 14.42 495.19 495.19 готово",
                      "step Red (N) 4.81 500.00 500.00 готово", "addition Red (N) 1.00 501.00 501.10 перелив",
                      "top-up Основа 48.08 549.18 - долить", "top-up Yel 1.44 550.62 - долить",
                      "top-up Red (N) 0.48 551.10 - долить", "total 551.10", "correction 1.1000 551.10"},
                     {"Основа 528.85 480.77 -48.08", "Yel 15.86 14.42 -1.44", "Red (N) 5.29 4.81 -0.48",
                      "+Red (N) 1.10 1.10 0.00"}}),
    CaseName<AdditionCase>);

// Refused additions change nothing: none before a reading, none while a correction waits,
// none of no weight.
TEST(PourPlan, AdditionsRefused) {
    const ExampleRecipe example(kPlain);
    const PourPaste red = PastesToAdd(example.catalogue).at(1);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    EXPECT_FALSE(MayAddPaste(plan));
    EXPECT_EQ(AddPaste(plan, red, 50), AdditionOutcome::kNothingPoured);
    ASSERT_EQ(RecordReading(plan, 49000), ReadingOutcome::kOverPour);
    EXPECT_FALSE(MayAddPaste(plan));
    EXPECT_EQ(AddPaste(plan, red, 50), AdditionOutcome::kDecisionPending);
    DeclineCorrection(plan);
    const std::vector<std::string> before = Rows(plan);
    EXPECT_EQ(AddPaste(plan, red, 0), AdditionOutcome::kBadWeight);
    EXPECT_EQ(AddPaste(plan, red, Hundredths{kLargestAmount} * kHundredthsPerGram + 1), AdditionOutcome::kBadWeight);
    EXPECT_EQ(Rows(plan), before);
    EXPECT_EQ(plan.entries.size(), 1u);
    EXPECT_TRUE(MayAddPaste(plan));
}

// The pastes offered are the package's pigments, each code once, named as the recipe does;
// the journal keeps every component's code and marks the additions.
TEST(PourPlan, AdditionsInTheJournal) {
    ExampleRecipe example(kPlain);
    example.catalogue.components.Append(test::Pigment(u"p1", u"Другая", u"", 1.0));
    const std::vector<PourPaste> pastes = PastesToAdd(example.catalogue);
    ASSERT_EQ(pastes.size(), 2u);
    EXPECT_EQ(pastes[1].code, u"P2");
    EXPECT_EQ(pastes[1].name, u"Red (N)");
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(plan, {48077}, true);
    ASSERT_EQ(AddPaste(plan, pastes[0], 120), AdditionOutcome::kAdded);
    Pour(plan, {48197, 49639, 50120}, true);
    ASSERT_TRUE(plan.Finished());
    const BatchRecord batch = BatchOfPour(plan, {});
    EXPECT_EQ(batch.status, BatchStatus::Done);
    EXPECT_EQ(batch.components,
              (std::vector<BatchComponent>{{u"Основа", 48077, 48077, u"B1"}, {u"Yel", 1442, 1442, u"P1"},
                                           {u"Red (N)", 481, 481, u"P2"}, {u"Yel", 0, 120, u"P1", true}}));
    EXPECT_EQ(batch.finalTotal, 50120);
}

// Each round of correction by measurement keeps what went in during it: the additions'
// weights counted before and after, by code, whatever component they poured into.
TEST(PourPlan, WhatEachRoundPoured) {
    ExampleRecipe example(kPlain);
    const std::vector<PourPaste> pastes = PastesToAdd(example.catalogue);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(plan, {48077, 49519, 50000}, true);
    const std::vector<BatchPaste> start = AdditionsPoured(plan);
    EXPECT_TRUE(start.empty());
    ASSERT_EQ(AddPaste(plan, pastes[0], 120), AdditionOutcome::kAdded);
    Pour(plan, {50120}, true);
    const std::vector<BatchPaste> first = AdditionsPoured(plan);
    EXPECT_EQ(PouredSince(start, first), (std::vector<BatchPaste>{{u"P1", 120}}));
    ASSERT_EQ(AddPaste(plan, pastes[1], 30), AdditionOutcome::kAdded);
    ASSERT_EQ(AddPaste(plan, pastes[0], 50), AdditionOutcome::kAdded);
    Pour(plan, {50170, 50200}, true);
    const std::vector<BatchPaste> second = AdditionsPoured(plan);
    EXPECT_EQ(second, (std::vector<BatchPaste>{{u"P1", 170}, {u"P2", 30}}));
    EXPECT_EQ(PouredSince(first, second), (std::vector<BatchPaste>{{u"P1", 50}, {u"P2", 30}}));
    EXPECT_TRUE(PouredSince(second, second).empty());

    BatchHeader header;
    header.measureRounds = {{{5000, 100, 200}, {4900, 300, 100}, 250, 40, {{u"P1", 120}}, PouredSince(start, first)}};
    EXPECT_EQ(BatchOfPour(plan, header).measureRounds, header.measureRounds);
}

TEST(PourPlan, RefusedReadingsRecordNothing) {
    const ExampleRecipe example(kPlain);
    PourPlan plan = BuildPourPlan(example.Compute(kAmount), kResolutionHundredth);
    Pour(plan, {48077, 49000}, false);
    const std::vector<std::string> before = Rows(plan);
    EXPECT_EQ(RecordReading(plan, -100), ReadingOutcome::kNegative);
    EXPECT_EQ(RecordReading(plan, 48999), ReadingOutcome::kBelowPrevious);
    EXPECT_EQ(Rows(plan), before);
    EXPECT_EQ(RecordReading(plan, 49000), ReadingOutcome::kShort);
}

TEST(PourPlan, ReadingTexts) {
    const std::vector<std::pair<std::u16string, std::optional<Hundredths>>> cases = {
        {u"480.77", 48077}, {u" 480,7 ", 48070}, {u"12", 1200}, {u"5.", 500}, {u"-3", -300}, {u"0.05", 5},
        {u"", std::nullopt}, {u"abc", std::nullopt}, {u"1.234", std::nullopt}, {u"1e3", std::nullopt},
        {u".5", 50}, {u"1 234,5", 123450}, {u"12 g", std::nullopt}, {u"1000000000000", std::nullopt}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseReading(text), expected) << ToUtf8(text);
}

// Red is 1/104 of the amount and the lightest step: it reaches 10 scale steps of 0.01,
// 0.1 and 1 g at 10, 104 and 1040 g (at 9, 103 and 1039 it rounds to 0.09, 0.99, 9.99).
TEST(PourPlan, SmallestWeighableAmount) {
    const ExampleRecipe example(kPlain);
    const std::pair<Hundredths, std::int32_t> cases[] = {
        {kResolutionHundredth, 10}, {kResolutionTenth, 104}, {kResolutionGram, 1040}};
    for (const auto& [resolution, amount] : cases)
        EXPECT_EQ(SmallestWeighableAmount(example.catalogue, example.recipe, example.purpose, 1, resolution), amount);
    EXPECT_EQ(SmallestWeighableAmount(example.catalogue, example.recipe, 5, 1, kResolutionHundredth), std::nullopt);
}

}  // namespace
}  // namespace lacqueron
