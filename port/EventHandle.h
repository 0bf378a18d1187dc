// Owner of a kernel event made by CreateEventW: a type of its own, so an event is
// never taken for a port handle. Move-only; closes the event when it goes.
#pragma once

#include <windows.h>

#include <utility>

namespace lacqueron {

class EventHandle {
public:
    EventHandle() noexcept = default;
    // A manual-reset event, not set: once set it stays set. Empty when none can be made.
    static EventHandle ManualReset() noexcept { return EventHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }
    ~EventHandle() {
        if (event_) CloseHandle(event_);
    }
    EventHandle(EventHandle&& other) noexcept : event_(std::exchange(other.event_, nullptr)) {}
    EventHandle& operator=(EventHandle&& other) noexcept {
        std::swap(event_, other.event_);
        return *this;
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;

    explicit operator bool() const noexcept { return event_ != nullptr; }
    void Set() const noexcept { SetEvent(event_); }
    // Waits up to `ms` for the event; true when it is set.
    bool Wait(DWORD ms) const noexcept { return WaitForSingleObject(event_, ms) == WAIT_OBJECT_0; }

private:
    explicit EventHandle(HANDLE event) noexcept : event_(event) {}
    HANDLE event_ = nullptr;
};

}  // namespace lacqueron
