// L*a*b* as a painter types it: three numbers separated by spaces or semicolons, with a
// decimal point or comma ("52,4 -3,1 18"), or by commas when nothing else separates them
// ("52.4,-3.1,18").
#pragma once

#include <string_view>

#include "colour/Colorimetry.h"

namespace lacqueron::colour {

constexpr double kLeastLightness = 0;
constexpr double kMostLightness = 100;
// Past this on a* or b* no surface colour goes; a larger figure is a slip.
constexpr double kMostAxis = 200;

enum class LabTextResult { kRead, kNotThreeNumbers, kLightnessOutOfRange, kAxisOutOfRange };

// lab is set only when kRead. text is UTF-8.
LabTextResult ParseLabText(std::string_view text, Lab& lab);

}  // namespace lacqueron::colour
