#include "colour/Mixture.h"

#include <algorithm>
#include <cmath>

namespace lacqueron::colour {

namespace {

// d f(t) / dt of CIE L*a*b*'s f: the cube root, a line near black.
double LabSlope(double t) noexcept {
    constexpr double kEpsilon = 6.0 / 29.0;
    if (t > kEpsilon * kEpsilon * kEpsilon) {
        const double root = std::cbrt(t);
        return 1 / (3 * root * root);
    }
    return 1 / (3 * kEpsilon * kEpsilon);
}

}  // namespace

void SpectrumLabs(const Spectrum& measured, int illuminants, Lab* out) noexcept {
    for (int i = 0; i < illuminants; ++i) out[i] = SpectrumToLab(measured, kFitIlluminants[i]);
}

// The mixture's K and S at one band: the base's plus each paste's at its effective load.
inline void MixBand(const OpticsTable& table, const Load* loads, const double* effective, int used, int band,
                    double& k, double& s) noexcept {
    k = table.baseK[band];
    s = table.baseS[band];
    for (int p = 0; p < used; ++p) {
        const PasteOptics& paste = table.pastes[loads[p].paste];
        k += effective[p] * paste.k[band];
        s += effective[p] * paste.s[band];
    }
}

void MixtureLab(const OpticsTable& table, const Load* loads, int count, const Spectrum* ksScale, int illuminants,
                Lab* out) noexcept {
    const ObserverWeights* weights[kIlluminantCount];
    Xyz xyz[kIlluminantCount];
    for (int i = 0; i < illuminants; ++i) weights[i] = &WeightsFor(kFitIlluminants[i]);
    double effective[kMaxLoadsInFit];
    const int used = std::min(count, kMaxLoadsInFit);
    for (int p = 0; p < used; ++p) effective[p] = EffectiveLoad(loads[p].grams, table.falloff);
    for (int band = 0; band < kBandCount; ++band) {
        double k, s;
        MixBand(table, loads, effective, used, band, k, s);
        double ks = k / std::max(s, kLeastScattering);
        if (ksScale) ks *= (*ksScale)[band];
        const double r = MeasuredReflectance(ReflectanceFromKs(ks), table.surface);
        for (int i = 0; i < illuminants; ++i) {
            xyz[i].x += r * weights[i]->x[band];
            xyz[i].y += r * weights[i]->y[band];
            xyz[i].z += r * weights[i]->z[band];
        }
    }
    for (int i = 0; i < illuminants; ++i) out[i] = XyzToLab(xyz[i], weights[i]->white);
}

void MixtureLabGradient(const OpticsTable& table, const Load* loads, int count, int illuminants, Lab* out,
                        Lab (*gradient)[kIlluminantCount]) noexcept {
    constexpr double kLightnessScale = 116, kAScale = 500, kBScale = 200;
    const ObserverWeights* weights[kIlluminantCount];
    Xyz xyz[kIlluminantCount];
    Xyz dxyz[kMaxLoadsInFit][kIlluminantCount] = {};
    for (int i = 0; i < illuminants; ++i) weights[i] = &WeightsFor(kFitIlluminants[i]);
    const int used = std::min(count, kMaxLoadsInFit);
    double effective[kMaxLoadsInFit], slope[kMaxLoadsInFit];
    for (int p = 0; p < used; ++p) {
        const double bend = 1 + table.falloff * loads[p].grams;
        effective[p] = loads[p].grams / bend;
        slope[p] = loads[p].grams / (bend * bend);  // d effective / d ln grams
    }
    const Surface& surface = table.surface;
    for (int band = 0; band < kBandCount; ++band) {
        double k, s;
        MixBand(table, loads, effective, used, band, k, s);
        s = std::max(s, kLeastScattering);
        const double ks = k / s;
        const double internal = ReflectanceFromKs(ks);
        const double inside = 1 - surface.k2 * internal;
        const double r = MeasuredReflectance(internal, surface);
        // d measured / d (K/S), divided by S for the chain to each paste's load.
        const double common = (1 - surface.k1) * (1 - surface.k2) / (inside * inside) * ReflectanceSlope(ks) / s;
        for (int i = 0; i < illuminants; ++i) {
            xyz[i].x += r * weights[i]->x[band];
            xyz[i].y += r * weights[i]->y[band];
            xyz[i].z += r * weights[i]->z[band];
        }
        for (int p = 0; p < used; ++p) {
            const PasteOptics& paste = table.pastes[loads[p].paste];
            const double dr = common * (paste.k[band] - ks * paste.s[band]) * slope[p];
            for (int i = 0; i < illuminants; ++i) {
                dxyz[p][i].x += dr * weights[i]->x[band];
                dxyz[p][i].y += dr * weights[i]->y[band];
                dxyz[p][i].z += dr * weights[i]->z[band];
            }
        }
    }
    for (int i = 0; i < illuminants; ++i) {
        const Xyz& white = weights[i]->white;
        out[i] = XyzToLab(xyz[i], white);
        const double sx = LabSlope(xyz[i].x / white.x) / white.x, sy = LabSlope(xyz[i].y / white.y) / white.y,
                     sz = LabSlope(xyz[i].z / white.z) / white.z;
        for (int p = 0; p < used; ++p) {
            const double fx = sx * dxyz[p][i].x, fy = sy * dxyz[p][i].y, fz = sz * dxyz[p][i].z;
            gradient[p][i] = {kLightnessScale * fy, kAScale * (fx - fy), kBScale * (fy - fz)};
        }
    }
}

}  // namespace lacqueron::colour
