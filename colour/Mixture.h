// The colour of a mixture as the fits need it: straight from the loads to L*a*b*
// under one to three illuminants, without allocating.
#pragma once

#include "colour/Colorimetry.h"
#include "colour/Optics.h"

namespace lacqueron::colour {

// The illuminants in the order the fits use them: D65, then A and F11 for metamerism.
inline constexpr Illuminant kFitIlluminants[kIlluminantCount] = {Illuminant::kD65, Illuminant::kA,
                                                                 Illuminant::kF11};

// The most loads MixtureLab takes; more are left out.
constexpr int kMaxLoadsInFit = 32;

// L*a*b* of the mixture under the first `illuminants` of kFitIlluminants. ksScale, when
// not null, multiplies the mixture's K/S band by band (a trial's measured offset).
void MixtureLab(const OpticsTable& table, const Load* loads, int count, const Spectrum* ksScale, int illuminants,
                Lab* out) noexcept;

// The same for a measured spectrum.
void SpectrumLabs(const Spectrum& measured, int illuminants, Lab* out) noexcept;

}  // namespace lacqueron::colour
