// Sizes at the screen's resolution. Lengths are designed at 96 pixels per inch and
// scaled to the DPI the window is shown at; icons are loaded at the size the system
// asks for, so nothing is stretched.
#pragma once

#include <windows.h>

namespace lacqueron {

// The resolution lengths are designed at: 100 % scaling.
inline constexpr UINT kDesignDpi = 96;

// The DPI the window is shown at (the screen's when window is null). GetDpiForWindow
// where Windows has it (10 and later), else the screen's LOGPIXELSY.
UINT DpiOfWindow(HWND window) noexcept;

// A length designed at 96 DPI, at dpi.
int ScaleToDpi(int designLength, UINT dpi) noexcept;

// Gives a top-level window the icon resource at the sizes the system uses for small
// (title bar) and large (Alt+Tab) icons at its DPI. The icons are shared: the system
// owns them and nobody frees them.
void SetWindowIcons(HWND window, HINSTANCE instance, int iconId) noexcept;

}  // namespace lacqueron
