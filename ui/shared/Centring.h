// Centres a dialog over its parent or owner, or in the work area of the nearest
// monitor, keeping it inside that area.
#pragma once

#include <windows.h>

namespace lacqueron {

// reference: the window to centre over; null takes the parent (child windows) or owner.
void CentreWindow(HWND window, HWND reference = nullptr) noexcept;

}  // namespace lacqueron
