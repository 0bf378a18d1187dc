// Numbers in the colour engine's text files, read and written the same on every
// platform whatever the locale: an optional minus, digits, an optional point and
// digits, an optional exponent.
#pragma once

#include <string>
#include <string_view>

namespace lacqueron::colour {

// False unless the whole text is such a number and finite.
bool ParseNumber(std::string_view text, double& value) noexcept;
// Shortest text that reads back as the same double.
std::string FormatNumber(double value);
// Exactly `decimals` digits after the point ("0.50").
std::string FormatFixed(double value, int decimals);
// At most `decimals` digits after the point, trailing zeros dropped ("0.5", "12").
std::string FormatTrimmed(double value, int decimals);

}  // namespace lacqueron::colour
