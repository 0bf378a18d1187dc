// The process exit codes. A normal run ends with the quit message's value, which this
// program always posts as 0; these say that the program could not run.
#pragma once

namespace lacqueron {

enum ExitCode : int {
    kExitMainWindowFailed = 1,   // the host window, the main dialog or its window could not be created
    kExitMessageLoopFailed = 2,  // GetMessageW failed
};

}  // namespace lacqueron
