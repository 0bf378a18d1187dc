// The about dialog: version line, rights notice, contacts with two links.
#pragma once

#include <windows.h>

#include "data/catalogue/Catalogue.h"

namespace lacqueron {

// Runs the dialog modally, owned by owner.
void ShowAboutDialog(HWND owner, const Catalogue& catalogue) noexcept;

}  // namespace lacqueron
