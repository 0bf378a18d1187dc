// Generic checks of a dialog as laid out on the screen, for any dialog: each visible
// control's text measured in the control's own font against the room the control
// gives it, and visible controls that overlap one another or leave the dialog.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace lacqueron::testing {

// Controls the template places on top of each other on purpose, by id.
using OverlapAllowance = std::vector<std::pair<int, int>>;

// One line per control whose text does not fit: id, class, text and the sizes (UTF-8).
std::vector<std::string> FindCutOffTexts(HWND dialog);

// One line per pair of visible controls that overlap (group boxes and frames are
// meant to enclose others and are left out, and an up-down control may share its
// buddy's edge) and per control reaching out of the dialog's client area.
std::vector<std::string> FindOverlaps(HWND dialog, const OverlapAllowance& allowed);

}  // namespace lacqueron::testing
