// A colour as the package and the painter write it: "200-30-40", red, green and blue.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/WideString.h"

namespace lacqueron {

// "200-30-40" for a colour with red in the low byte.
WideString FormatColourText(std::uint32_t rgb);

// Three whole numbers 0 to 255 joined by hyphens, spaces allowed around each; false,
// with rgb unchanged, for anything else.
bool ParseColourText(std::u16string_view text, std::uint32_t& rgb) noexcept;

}  // namespace lacqueron
