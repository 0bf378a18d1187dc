// Drafting and correcting against the test lab: the engine learns the lab's pastes
// from its ladders, drafts for colours the lab mixed, and the lab mixes the drafts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "colour/Calibration.h"
#include "colour/Correction.h"
#include "colour/Drafting.h"
#include "colour/Mixture.h"
#include "tests/colour/TestLab.h"

namespace {

using namespace lacqueron::colour;
using lacqueron::colour::test::Percentile;
using lacqueron::colour::test::TestLab;

constexpr int kTargets = 40;
constexpr unsigned kSeed = 11;

class DraftingOnLab : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test reads the ladders, so that the lab's readings after them go on as they
        // would; the calibration from the same readings is the same, and made once.
        const auto ladders = lab_.Ladders();
        static std::string error;
        static const std::optional<OpticsTable> calibrated = [&]() -> std::optional<OpticsTable> {
            Calibration calibration;
            if (!Calibrate(lab_.Codes(), ladders, {}, calibration, error)) return std::nullopt;
            return calibration.table;
        }();
        ASSERT_TRUE(calibrated) << error;
        table_ = *calibrated;
        for (int p = 0; p < static_cast<int>(table_.pastes.size()); ++p) all_.push_back(p);
    }

    static Lab LabOf(const Spectrum& s) { return SpectrumToLab(s); }

    static std::vector<Load> Combined(std::vector<Load> loads, const std::vector<Load>& more) {
        for (const Load& add : more) {
            bool found = false;
            for (Load& load : loads)
                if (load.paste == add.paste) load.grams += add.grams, found = true;
            if (!found) loads.push_back(add);
        }
        return loads;
    }

    TestLab lab_{lacqueron::colour::test::LabPhysics{}, kSeed};
    OpticsTable table_;
    std::vector<int> all_;
};

// A shop's bar, on a lab the engine does not share: first drafts at median 0.5 and
// 90th percentile 1.0; one correction at median 0.2, and seldom worse.
TEST_F(DraftingOnLab, FirstDraftsAndCorrectionsMeetTheShopsBar) {
    std::vector<double> drafted, corrected;
    int worse = 0;
    DraftRequest request;
    request.pastes = all_;
    request.top = 3;
    for (int n = 0; n < kTargets; ++n) {
        // Drafted from a reading; graded by what is really in the cans.
        const std::vector<Load> mixed = lab_.Weigh(lab_.RandomRecipe());
        const Lab truth = LabOf(lab_.Measure(mixed, false));
        const Target target = TargetFromSpectrum(lab_.Measure(mixed));
        const std::vector<Draft> drafts = MatchTarget(table_, target, request);
        ASSERT_FALSE(drafts.empty());
        const Draft& best = drafts.front();
        for (std::size_t i = 0; i < drafts.size(); ++i) {
            EXPECT_LE(drafts[i].recipe.size(), 4u);
            for (const Load& load : drafts[i].recipe) {
                EXPECT_GE(load.grams, kSmallestRecipeGrams);
                EXPECT_EQ(load.grams, RoundRecipeGrams(load.grams));
            }
            // A later, better draft lost only to one with fewer pastes within the tie.
            if (i > 0 && drafts[i].deltaE < best.deltaE) {
                EXPECT_LE(best.deltaE, drafts[i].deltaE + kDraftTieDeltaE);
                EXPECT_LT(best.recipe.size(), drafts[i].recipe.size());
            }
        }

        const std::vector<Load> poured = lab_.Weigh(best.recipe);
        const Spectrum trial = lab_.Measure(poured);
        const double first = DeltaE2000(truth, LabOf(lab_.Measure(poured, false)));
        drafted.push_back(first);

        CorrectionRequest correction;
        correction.pastes = all_;
        Trial measured;
        measured.poured = poured;
        measured.spectral = true;
        measured.measured = trial;
        const Correction proposal = CorrectTrial(table_, target, measured, correction);
        EXPECT_LE(proposal.additions.size(), 2u);
        const std::vector<Load> now = Combined(poured, lab_.Weigh(proposal.additions));
        const double after = DeltaE2000(truth, LabOf(lab_.Measure(now, false)));
        corrected.push_back(after);
        if (after > first + 0.1) ++worse;
    }
    const double median = Percentile(drafted, 0.5), p90 = Percentile(drafted, 0.9);
    const double correctedMedian = Percentile(corrected, 0.5);
    std::printf("first drafts: median %.2f, 90th %.2f; corrected: median %.2f, 90th %.2f; worse %d of %d\n", median,
                p90, correctedMedian, Percentile(corrected, 0.9), worse, kTargets);
    EXPECT_LE(median, 0.5);
    EXPECT_LE(p90, 1.0);
    EXPECT_LE(correctedMedian, 0.2);
    EXPECT_LE(worse, kTargets / 10);
}

// A purpose with a pigment factor pours every paste times the factor: the recipe's
// amounts are the factor-free ones, so poured they land on the target.
TEST_F(DraftingOnLab, PigmentFactorIsTakenOutOfTheRecipe) {
    constexpr double kFactor = 1.1;
    const Target target = TargetFromLab({55, 8, -25});
    DraftRequest plain;
    plain.pastes = all_;
    plain.top = 1;
    DraftRequest factored = plain;
    factored.pigmentFactor = kFactor;
    const std::vector<Draft> a = MatchTarget(table_, target, plain);
    const std::vector<Draft> b = MatchTarget(table_, target, factored);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    ASSERT_LT(a[0].deltaE, 0.1);
    EXPECT_LT(b[0].deltaE, 0.1);
    std::vector<Load> poured = b[0].recipe;
    for (Load& load : poured) load.grams *= kFactor;
    EXPECT_LT(DeltaE2000(target.labs[0], SpectrumToLab(PredictMeasured(table_, poured))), 0.1);
}

// Fewer pastes win within 0.3 of a better draft; with prices, the cheaper one.
TEST_F(DraftingOnLab, FewerPastesOrTheCheaperWinWithinTheTie) {
    // A grey the white and black give alone; more pastes can only polish it.
    std::vector<Load> grey{{0, 100}, {1, 0.8}};
    const Target target = TargetFromLab(SpectrumToLab(PredictMeasured(table_, grey)));
    DraftRequest request;
    request.pastes = all_;
    request.top = 4;
    const std::vector<Draft> drafts = MatchTarget(table_, target, request);
    ASSERT_FALSE(drafts.empty());
    ASSERT_EQ(drafts[0].recipe.size(), 2u) << drafts[0].recipe[0].paste;
    EXPECT_EQ(drafts[0].recipe[0].paste, 0);
    EXPECT_EQ(drafts[0].recipe[1].paste, 1);
    EXPECT_LT(drafts[0].deltaE, 0.05);

    // Black priced out of reach: the best costs less, though it needs more pastes.
    request.pricePerGram.assign(table_.pastes.size(), 0.01);
    request.pricePerGram[1] = 1000;
    const std::vector<Draft> priced = MatchTarget(table_, target, request);
    ASSERT_FALSE(priced.empty());
    double bestDeltaE = priced[0].deltaE;
    for (const Draft& other : priced) bestDeltaE = std::min(bestDeltaE, other.deltaE);
    EXPECT_LE(priced[0].deltaE, bestDeltaE + kDraftTieDeltaE);
    for (const Draft& other : priced) {
        if (other.deltaE <= bestDeltaE + kDraftTieDeltaE) {
            EXPECT_GE(other.cost, priced[0].cost - 1e-9);
        }
    }
    for (const Load& load : priced[0].recipe) {
        EXPECT_NE(load.paste, 1) << "the dear black";
    }
}

TEST_F(DraftingOnLab, NothingToAddWhenTheTrialIsOnTarget) {
    const std::vector<Load> recipe{{0, 80}, {2, 6}, {4, 0.7}};
    const Spectrum trial = lab_.Measure(recipe, false);
    Trial measured;
    measured.poured = recipe;
    measured.spectral = true;
    measured.measured = trial;
    CorrectionRequest request;
    request.pastes = all_;
    const Correction c = CorrectTrial(table_, TargetFromSpectrum(trial), measured, request);
    EXPECT_TRUE(c.additions.empty());
    EXPECT_EQ(c.predicted, c.current);

    // Too light: only additions can fix it, and the can's room is respected.
    const Target darker = TargetFromLab({SpectrumToLab(trial).l - 6, SpectrumToLab(trial).a, SpectrumToLab(trial).b});
    request.room = 0.5;
    const Correction d = CorrectTrial(table_, darker, measured, request);
    double added = 0;
    for (const Load& load : d.additions) added += load.grams;
    EXPECT_LE(added, 0.5 + 1e-9);
    EXPECT_LT(d.predicted, d.current);
}

// The fits' closed-form derivatives against differences, under all three illuminants.
TEST_F(DraftingOnLab, GradientIsTheDerivative) {
    constexpr double kStep = 1e-6;
    const std::vector<Load> loads{{0, 80}, {2, 6}, {4, 0.7}, {6, 2.5}};
    Lab labs[kIlluminantCount];
    Lab gradient[kMaxLoadsInFit][kIlluminantCount];
    MixtureLabGradient(table_, loads.data(), 4, kIlluminantCount, labs, gradient);
    for (int p = 0; p < 4; ++p) {
        std::vector<Load> moved = loads;
        moved[p].grams *= std::exp(kStep);
        Lab after[kIlluminantCount];
        MixtureLab(table_, moved.data(), 4, nullptr, kIlluminantCount, after);
        for (int i = 0; i < kIlluminantCount; ++i) {
            EXPECT_NEAR(gradient[p][i].l, (after[i].l - labs[i].l) / kStep, 1e-3) << p << " " << i;
            EXPECT_NEAR(gradient[p][i].a, (after[i].a - labs[i].a) / kStep, 1e-3) << p << " " << i;
            EXPECT_NEAR(gradient[p][i].b, (after[i].b - labs[i].b) / kStep, 1e-3) << p << " " << i;
        }
    }
}

}  // namespace
