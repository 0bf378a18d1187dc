// The colours nearest a target by CIEDE2000, from any list of named colours.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "colour/Colorimetry.h"

namespace lacqueron::colour {

struct NearColour {
    std::size_t index = 0;  // into the list given
    double deltaE = 0;
};

// At most top, nearest first; equal distances keep the list's order.
std::vector<NearColour> NearestColours(std::span<const Lab> colours, const Lab& target, int top);

}  // namespace lacqueron::colour
