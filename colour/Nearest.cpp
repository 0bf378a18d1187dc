#include "colour/Nearest.h"

#include <algorithm>

namespace lacqueron::colour {

std::vector<NearColour> NearestColours(std::span<const Lab> colours, const Lab& target, int top) {
    std::vector<NearColour> near;
    near.reserve(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) near.push_back({i, DeltaE2000(target, colours[i])});
    std::stable_sort(near.begin(), near.end(), [](const NearColour& a, const NearColour& b) { return a.deltaE < b.deltaE; });
    if (near.size() > static_cast<std::size_t>(std::max(top, 0))) near.resize(std::max(top, 0));
    return near;
}

}  // namespace lacqueron::colour
