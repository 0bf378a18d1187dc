// The weighing settings of the bench, in the bench key (profile/BenchKey.h).
#pragma once

#include "pour/PourPlan.h"
#include "scale/ScaleSettings.h"

namespace lacqueron {

// "Resolution", a REG_DWORD in hundredths of a gram: 1, 10 or 100. Anything else, or
// no value or key, gives the default.
Hundredths LoadBenchResolution() noexcept;
// Writes "Resolution"; a failed write is not reported, like the profile's.
void StoreBenchResolution(Hundredths resolution) noexcept;

// "CanCapacity", a REG_DWORD in whole grams: what the can holds, 0 when not set. A
// value out of the main dialog's amount range reads as not set.
std::int32_t LoadBenchCapacity() noexcept;
void StoreBenchCapacity(std::int32_t grams) noexcept;

// The scale: ScalePort, ScaleBaud, ScaleProtocol and AutoRecord, read and written the
// same way.
ScaleSettings LoadBenchScale() noexcept;
void StoreBenchScale(const ScaleSettings& settings) noexcept;

}  // namespace lacqueron
