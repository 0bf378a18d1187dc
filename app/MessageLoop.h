// The message loop of the one user-interface thread.
#pragma once

#include <windows.h>

#include <vector>

#include "core/AppModule.h"
#include "ui/MessageFilter.h"

namespace lacqueron {

class MessageLoop {
public:
    // Filters and handlers are borrowed; each must outlive its membership.
    bool AddMessageFilter(IMessageFilter* filter) noexcept;
    bool RemoveMessageFilter(IMessageFilter* filter) noexcept;
    bool AddIdleHandler(IIdleHandler* handler) noexcept;
    bool RemoveIdleHandler(IIdleHandler* handler) noexcept;

    // Runs until WM_QUIT and returns its wParam.
    int Run() noexcept;

private:
    // Offers the message to the filters, the last added first.
    bool Filter(MSG& message) noexcept;
    // Calls every idle handler once; 0 ends the idle phase.
    int RunIdle(int idleCount) noexcept;

    std::vector<IMessageFilter*> filters_;
    std::vector<IIdleHandler*> idleHandlers_;
    MSG current_{};
};

// The module's record of which thread runs which loop; changed under the module's lock.
void RegisterMessageLoop(AppModule& module, MessageLoop* loop) noexcept;
void UnregisterMessageLoop(AppModule& module) noexcept;

}  // namespace lacqueron
