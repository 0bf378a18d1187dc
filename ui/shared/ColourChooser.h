// The system's colour dialog, as the windows that take a screen colour open it.
#pragma once

#include <windows.h>

#include <array>

namespace lacqueron {

// The dialog's sixteen custom colours, kept by the window across its openings.
using CustomColours = std::array<COLORREF, 16>;

// Opens on `rgb` and sets it to the colour chosen. False when the painter cancelled, or
// when the dialog could not open, which the error box owned by owner has then said.
bool ChooseScreenColour(HWND owner, COLORREF& rgb, CustomColours& custom) noexcept;

}  // namespace lacqueron
