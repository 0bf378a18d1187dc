#include "colour/Colorimetry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "colour/CieTables.h"

namespace lacqueron::colour {

namespace {

constexpr double kWhiteY = 100;
// CIE L*a*b*: the cube root gives way to a line below (6/29)^3.
constexpr double kLabEpsilon = 6.0 / 29.0;
constexpr double kLabLinearOffset = 4.0 / 29.0;
constexpr double kLightnessScale = 116, kLightnessOffset = 16;
constexpr double kAScale = 500, kBScale = 200;

ObserverWeights MakeWeights(const Spectrum& illuminant) noexcept {
    ObserverWeights w;
    double sumY = 0;
    for (int band = 0; band < kBandCount; ++band) sumY += kObserver10Y[band] * illuminant[band];
    const double scale = kWhiteY / sumY;
    for (int band = 0; band < kBandCount; ++band) {
        w.x[band] = kObserver10X[band] * illuminant[band] * scale;
        w.y[band] = kObserver10Y[band] * illuminant[band] * scale;
        w.z[band] = kObserver10Z[band] * illuminant[band] * scale;
        w.white.x += w.x[band];
        w.white.y += w.y[band];
        w.white.z += w.z[band];
    }
    return w;
}

double LabF(double t) noexcept {
    if (t > kLabEpsilon * kLabEpsilon * kLabEpsilon) return std::cbrt(t);
    return t / (3 * kLabEpsilon * kLabEpsilon) + kLabLinearOffset;
}

double Degrees(double radians) noexcept { return radians * 180 / std::numbers::pi; }
double Radians(double degrees) noexcept { return degrees * std::numbers::pi / 180; }

// Hue angle in degrees, 0 to 360; 0 for a neutral.
double HueDegrees(double b, double a) noexcept {
    if (a == 0 && b == 0) return 0;
    const double h = Degrees(std::atan2(b, a));
    return h < 0 ? h + 360 : h;
}

// IEC 61966-2-1 (sRGB): the transfer curve, the primaries to XYZ and the D65 white.
constexpr double kSrgbLinearLimit = 0.04045, kSrgbLinearSlope = 12.92;
constexpr double kSrgbOffset = 0.055, kSrgbGamma = 2.4;
constexpr double kSrgbToXyz[3][3] = {{41.24, 35.76, 18.05}, {21.26, 71.52, 7.22}, {1.93, 11.92, 95.05}};
constexpr Xyz kSrgbWhite{95.05, 100.0, 108.90};
constexpr double kByteMax = 255;

double SrgbLinear(unsigned byte) noexcept {
    const double v = byte / kByteMax;
    return v <= kSrgbLinearLimit ? v / kSrgbLinearSlope : std::pow((v + kSrgbOffset) / (1 + kSrgbOffset), kSrgbGamma);
}

// The transfer curve backwards, clipped to what a screen shows.
unsigned SrgbByte(double linear) noexcept {
    const double clipped = std::clamp(linear, 0.0, 1.0);
    const double v = clipped <= kSrgbLinearLimit / kSrgbLinearSlope
                         ? clipped * kSrgbLinearSlope
                         : (1 + kSrgbOffset) * std::pow(clipped, 1 / kSrgbGamma) - kSrgbOffset;
    return static_cast<unsigned>(std::lround(v * kByteMax));
}

double LabFInverse(double f) noexcept {
    if (f > kLabEpsilon) return f * f * f;
    return 3 * kLabEpsilon * kLabEpsilon * (f - kLabLinearOffset);
}

}  // namespace

const ObserverWeights& WeightsFor(Illuminant illuminant) noexcept {
    static const ObserverWeights d65 = MakeWeights(kIlluminantD65);
    static const ObserverWeights a = MakeWeights(kIlluminantA);
    static const ObserverWeights f11 = MakeWeights(kIlluminantF11);
    switch (illuminant) {
        case Illuminant::kA: return a;
        case Illuminant::kF11: return f11;
        case Illuminant::kD65: break;
    }
    return d65;
}

Xyz SpectrumToXyz(const Spectrum& reflectance, const ObserverWeights& weights) noexcept {
    Xyz xyz;
    for (int band = 0; band < kBandCount; ++band) {
        xyz.x += reflectance[band] * weights.x[band];
        xyz.y += reflectance[band] * weights.y[band];
        xyz.z += reflectance[band] * weights.z[band];
    }
    return xyz;
}

Lab XyzToLab(const Xyz& xyz, const Xyz& white) noexcept {
    const double fx = LabF(xyz.x / white.x), fy = LabF(xyz.y / white.y), fz = LabF(xyz.z / white.z);
    return {kLightnessScale * fy - kLightnessOffset, kAScale * (fx - fy), kBScale * (fy - fz)};
}

Lab SpectrumToLab(const Spectrum& reflectance, Illuminant illuminant) noexcept {
    const ObserverWeights& weights = WeightsFor(illuminant);
    return XyzToLab(SpectrumToXyz(reflectance, weights), weights.white);
}

// Sharma, Wu and Dalal (2005), equations 1 to 22.
double DeltaE2000(const Lab& reference, const Lab& sample) noexcept {
    constexpr double kPow25To7 = 6103515625.0;  // 25^7
    const double c1 = std::hypot(reference.a, reference.b), c2 = std::hypot(sample.a, sample.b);
    const double meanC = (c1 + c2) / 2;
    const double meanC7 = std::pow(meanC, 7);
    const double g = 0.5 * (1 - std::sqrt(meanC7 / (meanC7 + kPow25To7)));
    const double a1 = (1 + g) * reference.a, a2 = (1 + g) * sample.a;
    const double cp1 = std::hypot(a1, reference.b), cp2 = std::hypot(a2, sample.b);
    const double hp1 = HueDegrees(reference.b, a1), hp2 = HueDegrees(sample.b, a2);

    const double dL = sample.l - reference.l;
    const double dC = cp2 - cp1;
    double dh = 0;
    if (cp1 * cp2 != 0) {
        dh = hp2 - hp1;
        if (dh > 180) dh -= 360;
        else if (dh < -180) dh += 360;
    }
    const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(Radians(dh / 2));

    const double meanL = (reference.l + sample.l) / 2;
    const double meanCp = (cp1 + cp2) / 2;
    double meanH = hp1 + hp2;
    if (cp1 * cp2 != 0) {
        if (std::fabs(hp1 - hp2) <= 180) meanH /= 2;
        else meanH = meanH < 360 ? (meanH + 360) / 2 : (meanH - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(Radians(meanH - 30)) + 0.24 * std::cos(Radians(2 * meanH)) +
                     0.32 * std::cos(Radians(3 * meanH + 6)) - 0.20 * std::cos(Radians(4 * meanH - 63));
    const double dTheta = 30 * std::exp(-((meanH - 275) / 25) * ((meanH - 275) / 25));
    const double meanCp7 = std::pow(meanCp, 7);
    const double rc = 2 * std::sqrt(meanCp7 / (meanCp7 + kPow25To7));
    const double l50 = (meanL - 50) * (meanL - 50);
    const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double sc = 1 + 0.045 * meanCp;
    const double sh = 1 + 0.015 * meanCp * t;
    const double rt = -std::sin(Radians(2 * dTheta)) * rc;
    const double tl = dL / sl, tc = dC / sc, th = dH / sh;
    return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}

Lab LabFromHlc(double hueDegrees, double lightness, double chroma) noexcept {
    return {lightness, chroma * std::cos(Radians(hueDegrees)), chroma * std::sin(Radians(hueDegrees))};
}

std::uint32_t ScreenColourFromLab(const Lab& lab) noexcept {
    const double fy = (lab.l + kLightnessOffset) / kLightnessScale;
    const double xyz[3] = {LabFInverse(fy + lab.a / kAScale) * kSrgbWhite.x, LabFInverse(fy) * kSrgbWhite.y,
                           LabFInverse(fy - lab.b / kBScale) * kSrgbWhite.z};
    // The primaries' matrix inverted by cofactors: one table, both ways.
    const auto& m = kSrgbToXyz;
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    std::uint32_t rgb = 0;
    for (int row = 0; row < 3; ++row) {
        const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
        double linear = 0;
        for (int column = 0; column < 3; ++column) {
            const int c1 = (column + 1) % 3, c2 = (column + 2) % 3;
            // Entry (row, column) of the inverse is the cofactor of (column, row) over det.
            const double cofactor = m[c1][r1] * m[c2][r2] - m[c1][r2] * m[c2][r1];
            linear += cofactor / det * xyz[column];
        }
        rgb |= SrgbByte(linear) << (8 * row);
    }
    return rgb;
}

Lab LabFromScreenColour(std::uint32_t rgb) noexcept {
    constexpr unsigned kByteMask = 0xff;
    const double linear[3] = {SrgbLinear(rgb & kByteMask), SrgbLinear(rgb >> 8 & kByteMask),
                              SrgbLinear(rgb >> 16 & kByteMask)};
    double xyz[3] = {};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) xyz[row] += kSrgbToXyz[row][column] * linear[column];
    return XyzToLab({xyz[0], xyz[1], xyz[2]}, kSrgbWhite);
}

}  // namespace lacqueron::colour
