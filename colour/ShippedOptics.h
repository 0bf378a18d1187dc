// The optics table of the shipped package's pastes (catalogue/optics.txt), compiled
// into the program beside the package.
#pragma once

#include <string_view>

namespace lacqueron::colour {

// The table's text; read it with ReadOptics.
std::string_view ShippedOpticsText() noexcept;

}  // namespace lacqueron::colour
