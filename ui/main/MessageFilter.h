// What the message loop offers its messages to.
#pragma once

#include <windows.h>

namespace lacqueron {

class IMessageFilter {
public:
    // Non-zero when the message is consumed: it is then neither translated nor dispatched.
    virtual int FilterMessage(MSG& message) noexcept = 0;

protected:
    ~IMessageFilter() = default;
};

class IIdleHandler {
public:
    virtual void RunIdle() noexcept = 0;

protected:
    ~IIdleHandler() = default;
};

}  // namespace lacqueron
