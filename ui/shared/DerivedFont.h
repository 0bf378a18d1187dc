// Fonts made from the one a window already draws in: bold, larger or underlined, the
// face and character set kept.
#pragma once

#include <windows.h>

#include "ui/shared/GdiHandles.h"

namespace lacqueron {

struct FontChange {
    LONG weight = 0;         // FW_BOLD and the like; 0 keeps the font's
    int points = 0;          // the size at the screen's resolution; 0 keeps the font's
    bool underline = false;
};

// The font `window` draws in, changed as asked. Caller owns it; null when the window
// has no font or the new one cannot be made.
HFONT CreateDerivedFont(HWND window, const FontChange& change) noexcept;

// Makes the control draw in `font`, kept in `owner`; the font held before is deleted
// only once the control no longer uses it. Nothing changes when either is null.
void SetOwnedFont(HWND control, FontHandle& owner, HFONT font) noexcept;

}  // namespace lacqueron
