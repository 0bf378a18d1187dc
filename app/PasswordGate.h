// The optional access password of the data package.
#pragma once

#include "ui/main/MainDialog.h"

namespace lacqueron {

// 1 to go on, 0 to end the program. Asks once when the catalogue has a PASSWORD.
int PasswordGate(MainDialog& dialog) noexcept;

}  // namespace lacqueron
