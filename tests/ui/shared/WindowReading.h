// Reading the windows under test: a report list's rows and cells, and their pictures
// for docs/ when the script asks for them.
#pragma once

#include <windows.h>

#include <string>

namespace lacqueron::testing {

int ListItemCount(HWND dialog, int list);
// The cell's text as the list shows it (an owner-data list asks its dialog).
std::wstring ListCell(HWND dialog, int list, int item, int column);
// Selects and focuses the item, as a click on it does.
void SelectListRow(HWND dialog, int list, int item);

// Saves the window's picture as <name>.bmp in the folder LACQUERON_SHOTS names, on top
// of every other window; nothing when it is not set.
void SaveShotIfAsked(const wchar_t* name, HWND window);

}  // namespace lacqueron::testing
