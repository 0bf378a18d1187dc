// The program from start to exit: start-up in its fixed order, the message loop and
// the shutdown in the reverse order.
#pragma once

#include <windows.h>

namespace lacqueron {

// Returns the process exit code: the quit message's value, 0 when the password was
// refused, or an ExitCode when the program could not run.
int RunApplication(HINSTANCE instance) noexcept;

}  // namespace lacqueron
