// The simple beep of out-of-range input, replaceable so that tests can count it.
#pragma once

namespace lacqueron {

using BeepFunction = void (*)() noexcept;

// MessageBeep(0xFFFFFFFF) unless a test has put its own function in place.
void SimpleBeep() noexcept;

// Installs function (null restores the system beep); returns the previous one.
BeepFunction SetBeepFunction(BeepFunction function) noexcept;

}  // namespace lacqueron
