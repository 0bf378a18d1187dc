#pragma once

#include <windows.h>

namespace uidriver {

// Saves the whole screen as a 24-bit BMP; false when capturing or writing fails.
bool SaveScreenshot(const wchar_t* path) noexcept;
// A window of this process with its frame, read from the window's own surface, so the
// picture is what the window last painted even before the screen shows it.
bool SaveWindowShot(const wchar_t* path, HWND window) noexcept;

}  // namespace uidriver
