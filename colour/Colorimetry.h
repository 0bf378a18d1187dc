// Spectrum to XYZ to CIE L*a*b*, and CIEDE2000: CIE 1964 10-degree observer, summed
// at 10 nm and normalised so that a perfect reflector has Y = 100.
#pragma once

#include <cstdint>

#include "colour/Bands.h"

namespace lacqueron::colour {

enum class Illuminant { kD65, kA, kF11 };
constexpr int kIlluminantCount = 3;

struct Xyz {
    double x = 0, y = 0, z = 0;
};

struct Lab {
    double l = 0, a = 0, b = 0;
};

// The observer times an illuminant, scaled so that the weights of Y add up to 100.
struct ObserverWeights {
    Spectrum x{}, y{}, z{};
    Xyz white;  // a perfect reflector
};

const ObserverWeights& WeightsFor(Illuminant illuminant) noexcept;

Xyz SpectrumToXyz(const Spectrum& reflectance, const ObserverWeights& weights) noexcept;
Lab XyzToLab(const Xyz& xyz, const Xyz& white) noexcept;
Lab SpectrumToLab(const Spectrum& reflectance, Illuminant illuminant = Illuminant::kD65) noexcept;

// CIEDE2000 with kL = kC = kH = 1.
double DeltaE2000(const Lab& reference, const Lab& sample) noexcept;

// Hue angle in degrees, lightness and chroma (a RAL Design code) as L*a*b*.
Lab LabFromHlc(double hueDegrees, double lightness, double chroma) noexcept;

// A screen colour (COLORREF layout, red in the low byte) taken as sRGB, under its own
// D65 white: an approximation of the colour it stands for.
Lab LabFromScreenColour(std::uint32_t rgb) noexcept;
// The screen colour nearest an L*a*b*, each channel clipped: for a swatch.
std::uint32_t ScreenColourFromLab(const Lab& lab) noexcept;

}  // namespace lacqueron::colour
