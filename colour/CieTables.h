// The CIE tables the colorimetry sums over, at the engine's 31 bands. Data from
// Debian's colord-data, see CieTables.cpp for the provenance and
// tools/colour/make_cie_tables.py for how they were sampled.
#pragma once

#include "colour/Bands.h"

namespace lacqueron::colour {

// CIE 1964 10-degree standard observer.
extern const Spectrum kObserver10X;
extern const Spectrum kObserver10Y;
extern const Spectrum kObserver10Z;

// Relative spectral power; only their shape matters, the sums are normalised.
extern const Spectrum kIlluminantD65;
extern const Spectrum kIlluminantA;
extern const Spectrum kIlluminantF11;

}  // namespace lacqueron::colour
