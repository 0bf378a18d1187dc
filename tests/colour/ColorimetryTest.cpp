// Spectrum to L*a*b* and CIEDE2000, against published data and LittleCMS.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <random>
#include <vector>

#include "colour/Colorimetry.h"

namespace {

using lacqueron::colour::DeltaE2000;
using lacqueron::colour::Lab;
using lacqueron::colour::LabFromScreenColour;
using lacqueron::colour::ScreenColourFromLab;

struct Pair {
    Lab first, second;
    double deltaE;
};

// Sharma, Wu and Dalal (2005), table 1: the 34 test pairs of CIEDE2000.
const std::vector<Pair> kSharmaPairs = {
    {{50.0000, 2.6772, -79.7751}, {50.0000, 0.0000, -82.7485}, 2.0425},
    {{50.0000, 3.1571, -77.2803}, {50.0000, 0.0000, -82.7485}, 2.8615},
    {{50.0000, 2.8361, -74.0200}, {50.0000, 0.0000, -82.7485}, 3.4412},
    {{50.0000, -1.3802, -84.2814}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -1.1848, -84.8006}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -0.9009, -85.5211}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, 0.0000, 0.0000}, {50.0000, -1.0000, 2.0000}, 2.3669},
    {{50.0000, -1.0000, 2.0000}, {50.0000, 0.0000, 0.0000}, 2.3669},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0009}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0010}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0011}, 7.2195},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0012}, 7.2195},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0009, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0010, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0011, -2.4900}, 4.7461},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 0.0000, -2.5000}, 4.3065},
    {{50.0000, 2.5000, 0.0000}, {73.0000, 25.0000, -18.0000}, 27.1492},
    {{50.0000, 2.5000, 0.0000}, {61.0000, -5.0000, 29.0000}, 22.8977},
    {{50.0000, 2.5000, 0.0000}, {56.0000, -27.0000, -3.0000}, 31.9030},
    {{50.0000, 2.5000, 0.0000}, {58.0000, 24.0000, 15.0000}, 19.4535},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.1736, 0.5854}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2972, 0.0000}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 1.8634, 0.5757}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2592, 0.3350}, 1.0000},
    {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
    {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
    {{61.2901, 3.7196, -5.3901}, {61.4292, 2.2480, -4.9620}, 1.8731},
    {{35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}, 1.8645},
    {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
    {{36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
    {{90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}, 1.4441},
    {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
    {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
    {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
};

// The paper gives four decimals.
constexpr double kPublishedPrecision = 5e-5;

class SharmaPairs : public ::testing::TestWithParam<Pair> {};

TEST_P(SharmaPairs, GiveThePublishedDifferenceBothWays) {
    const Pair& pair = GetParam();
    EXPECT_NEAR(DeltaE2000(pair.first, pair.second), pair.deltaE, kPublishedPrecision);
    EXPECT_NEAR(DeltaE2000(pair.second, pair.first), pair.deltaE, kPublishedPrecision);
}

INSTANTIATE_TEST_SUITE_P(Published, SharmaPairs, ::testing::ValuesIn(kSharmaPairs));

// D65 under the 10-degree observer, as tabulated by the CIE (ASTM E308 at 10 nm).
TEST(Colorimetry, PerfectReflectorIsTheD65TenDegreeWhite) {
    const auto& white = lacqueron::colour::WeightsFor(lacqueron::colour::Illuminant::kD65).white;
    EXPECT_NEAR(white.y, 100.0, 1e-9);
    EXPECT_NEAR(white.x, 94.81, 0.05);
    EXPECT_NEAR(white.z, 107.32, 0.1);
    lacqueron::colour::Spectrum perfect;
    perfect.fill(1.0);
    const Lab lab = lacqueron::colour::SpectrumToLab(perfect, lacqueron::colour::Illuminant::kA);
    EXPECT_NEAR(lab.l, 100.0, 1e-9);
    EXPECT_NEAR(lab.a, 0.0, 1e-9);
    EXPECT_NEAR(lab.b, 0.0, 1e-9);
}

// LittleCMS as an oracle: the same spectra's XYZ to L*a*b* and their CIEDE2000.
TEST(Colorimetry, AgreesWithLittleCmsOnRandomSpectra) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> level(0.02, 0.95);
    const auto& weights = lacqueron::colour::WeightsFor(lacqueron::colour::Illuminant::kD65);
    const cmsCIEXYZ white{weights.white.x, weights.white.y, weights.white.z};
    constexpr int kSpectra = 200;
    constexpr int kSmoothing = 3;
    Lab previous;
    for (int n = 0; n < kSpectra; ++n) {
        lacqueron::colour::Spectrum r;
        for (double& band : r) band = level(random);
        for (int pass = 0; pass < kSmoothing; ++pass)
            for (int band = 1; band + 1 < lacqueron::colour::kBandCount; ++band)
                r[band] = (r[band - 1] + 2 * r[band] + r[band + 1]) / 4;
        const auto xyz = lacqueron::colour::SpectrumToXyz(r, weights);
        const Lab lab = lacqueron::colour::XyzToLab(xyz, weights.white);
        const cmsCIEXYZ theirXyz{xyz.x, xyz.y, xyz.z};
        cmsCIELab theirs;
        cmsXYZ2Lab(&white, &theirs, &theirXyz);
        EXPECT_NEAR(lab.l, theirs.L, 1e-9);
        EXPECT_NEAR(lab.a, theirs.a, 1e-9);
        EXPECT_NEAR(lab.b, theirs.b, 1e-9);
        if (n > 0) {
            const cmsCIELab a{previous.l, previous.a, previous.b};
            EXPECT_NEAR(DeltaE2000(previous, lab), cmsCIE2000DeltaE(&a, &theirs, 1, 1, 1), 1e-6);
        }
        previous = lab;
    }
}

TEST(Colorimetry, HlcIsHueLightnessChroma) {
    const Lab lab = lacqueron::colour::LabFromHlc(90, 60, 30);
    EXPECT_NEAR(lab.l, 60, 1e-12);
    EXPECT_NEAR(lab.a, 0, 1e-12);
    EXPECT_NEAR(lab.b, 30, 1e-12);
}

// A swatch's colour from L*a*b* and back: every screen colour comes back as itself.
class ScreenColourRoundTrip : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ScreenColourRoundTrip, ComesBackAsItself) {
    EXPECT_EQ(ScreenColourFromLab(LabFromScreenColour(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenColourRoundTrip,
                         testing::Values(0x000000u, 0xFFFFFFu, 0x0000FFu, 0x00FF00u, 0xFF0000u, 0x88BACDu, 0x336699u,
                                         0x010203u));

TEST(ScreenColourFromLab, ClipsWhatAScreenCannotShow) {
    EXPECT_EQ(ScreenColourFromLab({100, 0, 0}), 0xFFFFFFu);
    EXPECT_EQ(ScreenColourFromLab({50, 120, 0}) & 0xFFu, 0xFFu);  // red beyond the screen's
}

}  // namespace
