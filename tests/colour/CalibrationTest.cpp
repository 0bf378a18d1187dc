// Calibration from the test lab's ladders: the surface constant and the strength loss
// are found, and the table predicts mixtures the ladders never held.
#include <gtest/gtest.h>

#include "colour/Calibration.h"
#include "colour/Colorimetry.h"
#include "colour/Decimal.h"
#include "tests/colour/TestLab.h"

namespace {

using namespace lacqueron::colour;
using lacqueron::colour::test::LabPhysics;
using lacqueron::colour::test::TestLab;

constexpr int kFreshMixtures = 60;

struct LabCase {
    std::string name;
    LabPhysics physics;
};

const std::vector<LabCase> kLabs = {
    {"TextbookSurface", {0.6, 0.0, 0.001, 0.003}},
    {"SofterSurfaceAndLoss", {0.52, 0.0015, 0.0015, 0.004}},
    {"HarderSurfaceMoreLoss", {0.68, 0.003, 0.0015, 0.004}},
};

// Median ΔE00 of the table's prediction against fresh lab mixtures (no weighing error).
double FreshMedian(const OpticsTable& table, TestLab& lab) {
    std::vector<double> deltaE;
    for (int n = 0; n < kFreshMixtures; ++n) {
        const std::vector<Load> recipe = lab.RandomRecipe();
        const Lab measured = SpectrumToLab(lab.Measure(recipe, false));
        deltaE.push_back(DeltaE2000(measured, SpectrumToLab(PredictMeasured(table, recipe))));
    }
    return test::Percentile(deltaE, 0.5);
}

class CalibrationOnLab : public ::testing::TestWithParam<LabCase> {};

TEST_P(CalibrationOnLab, FindsTheSurfaceAndPredictsNewMixtures) {
    TestLab lab(GetParam().physics, 7);
    const std::vector<LadderSample> ladders = lab.Ladders();
    Calibration full, plain;
    std::string error;
    ASSERT_TRUE(Calibrate(lab.Codes(), ladders, {}, full, error)) << error;
    ASSERT_TRUE(Calibrate(lab.Codes(), ladders, {false, false, {}}, plain, error)) << error;

    EXPECT_NEAR(full.table.surface.k2, GetParam().physics.k2, 0.06);
    EXPECT_LT(full.median, 0.3);
    EXPECT_LT(full.largest, kOutlierDeltaE);
    ASSERT_EQ(full.deltaE.size(), ladders.size());
    const double fullFresh = FreshMedian(full.table, lab);
    EXPECT_LT(fullFresh, 0.5);
    // The plain fit, with the textbook surface and no loss, never predicts better.
    EXPECT_LE(full.median, plain.median + 0.01);
    RecordProperty("fresh_median", FormatFixed(fullFresh, 3));
}

INSTANTIATE_TEST_SUITE_P(Labs, CalibrationOnLab, ::testing::ValuesIn(kLabs),
                         [](const auto& info) { return info.param.name; });

TEST(Calibration, APasteInNoSampleIsNamed) {
    TestLab lab({}, 3);
    std::vector<std::string> codes = lab.Codes();
    codes.push_back("ORG");
    Calibration result;
    std::string error;
    EXPECT_FALSE(Calibrate(codes, lab.Ladders(), {}, result, error));
    EXPECT_EQ(error, "paste ORG is in no sample");
}

TEST(Calibration, AWrongSampleIsAnOutlier) {
    TestLab lab({}, 5);
    std::vector<LadderSample> ladders = lab.Ladders();
    // Mislabelled: the blue masstone's reading filed under the red's composition.
    ladders[13].measured = ladders[19].measured;
    Calibration result;
    std::string error;
    ASSERT_TRUE(Calibrate(lab.Codes(), ladders, {}, result, error)) << error;
    EXPECT_GT(result.deltaE[13], kOutlierDeltaE);
    EXPECT_LT(result.median, 0.5);
}

}  // namespace
