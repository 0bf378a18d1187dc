// The line of each protocol beyond the first two, as its scale lays it out. Each parser
// takes one line without its line end, never fails, and gives Unrecognised for anything
// that is not its own line (another protocol's line, a fragment, a command's status).
#pragma once

#include <string_view>

#include "scale/ScaleLine.h"

namespace lacqueron {

// The answer to ESC P: a 16-character line "[sign][weight, 9 right-justified][blank]
// [unit, 3]" CR LF, or a 22-character one with a six-character field before it (what
// the value is). The unit is left out while the weight moves (read as grams, unstable).
// "H" is an overload, "L" an underload, "Err ###" an error the scale shows.
ScaleLine ParseEscPolledLine(std::string_view line) noexcept;

// "[weight, right-justified] [unit] [stability] [legend]": stability "?" while the
// weight moves, blank once stable; the legend (net, gross...) is passed over. Sent
// continuously or on IP, SP or CP. "OL" for the weight is an overload, "UL" an underload.
ScaleLine ParseLegendLine(std::string_view line) noexcept;

// The answer to SI: "[marker] [sign][mass, 9 right-justified] [unit, 3 left-justified]",
// the marker blank when stable, "?" while moving, "^" above and "v" below the range.
ScaleLine ParseMarkedLine(std::string_view line) noexcept;

// A stream of "S" (stable) or "U" (unstable), an optional comma, then the weight and
// its unit; "OL" and "UL" as for ParseLegendLine.
ScaleLine ParsePrefixedLine(std::string_view line) noexcept;

}  // namespace lacqueron
