// One-page printing: the recipe text, and any page drawn by its caller.
#pragma once

#include <windows.h>

#include <functional>

#include "core/WideString.h"

namespace lacqueron {

// Asks for a printer, prints the text on one page and reports the outcome in a box
// owned by owner. Cancel shows nothing. True when the page went to the printer.
bool PrintRecipe(HWND owner, const WideString& text) noexcept;

// Draws one page on a started page of the printer; false when it cannot, with why in
// failure when the painter can do something about it (left empty otherwise).
using PageDrawer = std::function<bool(HDC printer, WideString& failure)>;

// Asks for a printer and prints one page drawn by draw as the document documentName,
// with the same outcome box and the same care for failures as PrintRecipe; a drawer's
// reason replaces the general failure text.
bool PrintPage(HWND owner, const wchar_t* documentName, const PageDrawer& draw) noexcept;

}  // namespace lacqueron
