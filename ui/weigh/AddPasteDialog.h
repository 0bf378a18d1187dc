// Asks which paste to add while tinting and how many grams.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "pour/PourPlan.h"

namespace lacqueron {

// Shows the dialog (template IDD_WEIGH_ADD) owned by owner, the pastes in the order
// given. The paste and the grams after "Добавить"; none after "Отмена", Esc, or when the
// dialog cannot be shown (the painter is told so).
std::optional<PourAddition> AskPasteToAdd(HWND owner, const std::vector<PourPaste>& pastes) noexcept;

}  // namespace lacqueron
