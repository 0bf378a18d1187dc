// One-page printing of the recipe text.
#pragma once

#include <windows.h>

#include "core/WideString.h"

namespace lacqueron {

// Asks for a printer, prints the text on one page and reports the outcome in a box
// owned by owner. Cancel shows nothing. True when the page went to the printer.
bool PrintRecipe(HWND owner, const WideString& text) noexcept;

}  // namespace lacqueron
