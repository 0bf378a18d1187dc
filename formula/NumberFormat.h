// Number texts of the recipe, equal to the C library's "%+0.2f", "%0.2f" and "%d" in
// the "C" locale on every platform and under any process locale.
#pragma once

#include <cstdint>
#include <string>

namespace lacqueron {

// "%0.2f", or "%+0.2f" when forceSign: the exact binary value rounded half to even,
// a point as separator; -0.0 keeps its minus. Infinities and NaNs print as the GNU
// C library prints them ("inf", "-nan", "+inf", ...).
std::string FormatFixed2(double value, bool forceSign);

// "%d".
std::string FormatInt(std::int32_t value);

}  // namespace lacqueron
