// Asks for the note kept with a weighed batch in the journal: customer, order, car.
#pragma once

#include <windows.h>

#include "core/WideString.h"

namespace lacqueron {

// The note longer than this is cut by the field itself.
constexpr int kBatchNoteLength = 200;

// Shows the prompt (template IDD_WEIGH_NOTE) owned by owner. The typed note after
// "Записать"; empty after "Без примечания", Esc, or when the prompt cannot be shown
// (the painter is told so), since the batch goes into the journal either way.
WideString AskBatchNote(HWND owner) noexcept;

}  // namespace lacqueron
