// The message loop of the one user-interface thread.
#pragma once

#include <windows.h>

#include <vector>

#include "app/ExitCodes.h"
#include "ui/main/MessageFilter.h"

namespace lacqueron {

class MessageLoop {
public:
    // Filters and handlers are borrowed; each must outlive its membership.
    bool AddMessageFilter(IMessageFilter* filter) noexcept;
    bool RemoveMessageFilter(IMessageFilter* filter) noexcept;
    bool AddIdleHandler(IIdleHandler* handler) noexcept;
    bool RemoveIdleHandler(IIdleHandler* handler) noexcept;

    // Runs until WM_QUIT and returns its wParam, or kExitMessageLoopFailed when
    // GetMessageW fails.
    int Run() noexcept;

private:
    // Offers the message to the filters, the last added first.
    bool Filter(MSG& message) noexcept;
    // Calls every idle handler once, in order.
    void RunIdle() noexcept;

    std::vector<IMessageFilter*> filters_;
    std::vector<IIdleHandler*> idleHandlers_;
    MSG current_{};
};

}  // namespace lacqueron
