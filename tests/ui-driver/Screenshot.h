#pragma once

namespace uidriver {

// Saves the whole screen as a 24-bit BMP; false when capturing or writing fails.
bool SaveScreenshot(const wchar_t* path) noexcept;

}  // namespace uidriver
