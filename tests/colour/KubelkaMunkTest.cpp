// Kubelka-Munk at complete hiding and Saunderson's correction: closed forms and their
// inverses.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "colour/KubelkaMunk.h"

namespace {

using namespace lacqueron::colour;

struct KsCase {
    double reflectance;
    double ks;
};

// (1 - R)^2 / 2R worked by hand.
const std::vector<KsCase> kKsCases = {
    {0.5, 0.25}, {0.25, 1.125}, {0.8, 0.025}, {0.1, 4.05}, {0.02, 24.01}, {0.95, 0.0013157894736842},
};

class KsOfReflectance : public ::testing::TestWithParam<KsCase> {};

TEST_P(KsOfReflectance, IsTheClosedFormAndItsInverse) {
    const KsCase& c = GetParam();
    EXPECT_NEAR(KsFromReflectance(c.reflectance), c.ks, 1e-12 * (1 + c.ks));
    EXPECT_NEAR(ReflectanceFromKs(c.ks), c.reflectance, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Hand, KsOfReflectance, ::testing::ValuesIn(kKsCases));

struct SurfaceCase {
    Surface surface;
    double internal;
};

const std::vector<SurfaceCase> kSurfaceCases = {
    {{0.04, 0.6}, 0.01}, {{0.04, 0.6}, 0.5}, {{0.04, 0.6}, 0.97}, {{0.0, 0.0}, 0.3},
    {{0.05, 0.45}, 0.2}, {{0.03, 0.7}, 0.8}, {{0.04, 0.55}, 0.002},
};

class SurfaceRoundTrip : public ::testing::TestWithParam<SurfaceCase> {};

TEST_P(SurfaceRoundTrip, MeasuredAndBackGivesTheLayer) {
    const SurfaceCase& c = GetParam();
    const double measured = MeasuredReflectance(c.internal, c.surface);
    // The front surface always adds k1 and the inside gives back less than it has.
    EXPECT_GE(measured, c.surface.k1);
    EXPECT_NEAR(InternalReflectance(measured, c.surface), c.internal, 1e-12);
    // Through K/S as the engine goes: reflectance, K/S, reflectance, measurement.
    const double ks = KsFromReflectance(InternalReflectance(measured, c.surface));
    EXPECT_NEAR(MeasuredReflectance(ReflectanceFromKs(ks), c.surface), measured, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Surfaces, SurfaceRoundTrip, ::testing::ValuesIn(kSurfaceCases));

TEST(KubelkaMunk, SlopeIsTheDerivative) {
    constexpr double kStep = 1e-7;
    for (const double ks : {0.001, 0.05, 0.5, 3.0, 40.0}) {
        const double numeric = (ReflectanceFromKs(ks + kStep) - ReflectanceFromKs(ks - kStep)) / (2 * kStep);
        EXPECT_NEAR(ReflectanceSlope(ks), numeric, 1e-5 * (1 + std::abs(numeric))) << ks;
    }
}

}  // namespace
