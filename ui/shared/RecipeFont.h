// The recipe's font: bold Arial 11 point, Cyrillic, antialiased. The window shows the
// recipe in it at the screen's resolution and the printed page at the printer's.
#pragma once

#include <windows.h>

namespace lacqueron {

// Caller owns the font; null when it cannot be made.
HFONT CreateRecipeFont(int pixelsPerInchY) noexcept;

}  // namespace lacqueron
