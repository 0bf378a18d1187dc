// Reflectance spectra as the colour engine handles them: 31 bands, 400 to 700 nm at
// 10 nm, each a fraction of the light reflected (0 to 1, never percent).
#pragma once

#include <array>

namespace lacqueron::colour {

constexpr int kFirstWavelengthNm = 400;
constexpr int kLastWavelengthNm = 700;
constexpr int kBandStepNm = 10;
constexpr int kBandCount = (kLastWavelengthNm - kFirstWavelengthNm) / kBandStepNm + 1;

using Spectrum = std::array<double, kBandCount>;

constexpr int WavelengthOfBand(int band) { return kFirstWavelengthNm + band * kBandStepNm; }

}  // namespace lacqueron::colour
