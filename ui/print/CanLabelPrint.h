// Printing the can label of a batch on whatever paper the chosen printer has.
#pragma once

#include <windows.h>

#include "journal/BatchRecord.h"

namespace lacqueron {

// The document name the label is printed under.
inline constexpr wchar_t kCanLabelDocument[] = L"Tintaro-label";

// Asks for a printer and prints the label on one page, as PrintRecipe prints the recipe:
// the same boxes, nothing on Cancel; paper too small for the label is told so, with the
// smallest size. True when the page went to the printer.
bool PrintCanLabel(HWND owner, const BatchRecord& batch) noexcept;

}  // namespace lacqueron
