// The bench's settings per user: HKCU\Software\VELM\Lacqueron\1.0\Bench, beside the
// profile, whose values they never touch.
#pragma once

#include "pour/PourPlan.h"

namespace lacqueron {

// "Resolution", a REG_DWORD in hundredths of a gram: 1, 10 or 100. Anything else, or
// no value or key, gives the default.
Hundredths LoadBenchResolution() noexcept;
// Writes "Resolution"; a failed write is not reported, like the profile's.
void StoreBenchResolution(Hundredths resolution) noexcept;

}  // namespace lacqueron
