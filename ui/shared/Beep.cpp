#include "ui/shared/Beep.h"

#include <windows.h>

namespace lacqueron {
namespace {

void SystemBeep() noexcept { MessageBeep(0xFFFFFFFF); }

BeepFunction beepFunction = SystemBeep;

}  // namespace

void SimpleBeep() noexcept { beepFunction(); }

BeepFunction SetBeepFunction(BeepFunction function) noexcept {
    BeepFunction previous = beepFunction;
    beepFunction = function ? function : SystemBeep;
    return previous;
}

}  // namespace lacqueron
