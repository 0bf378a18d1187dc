// Owners of the kernel and registry handles the Win32 folders open (profile/, port/,
// files/, ui/). Move-only; each closes its handle with the call that handle needs.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace lacqueron {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};

// A handle closed with CloseHandle: a file, a COM port, a process or a thread.
using KernelHandle = std::unique_ptr<void, KernelHandleCloser>;
// What CreateFileW opens: a file or a COM port.
using FileHandle = KernelHandle;

// Takes over what CreateFileW returned; INVALID_HANDLE_VALUE gives an empty owner.
inline FileHandle AdoptFileHandle(HANDLE handle) noexcept {
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// A kernel event made by CreateEventW: a type of its own, so an event is never taken
// for a port handle.
class EventHandle {
public:
    EventHandle() noexcept = default;
    // A manual-reset event, not set: once set it stays set. Empty when none can be made.
    static EventHandle ManualReset() noexcept { return EventHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

    explicit operator bool() const noexcept { return event_ != nullptr; }
    void Set() const noexcept { SetEvent(event_.get()); }
    // Waits up to `ms` for the event; true when it is set.
    bool Wait(DWORD ms) const noexcept { return WaitForSingleObject(event_.get(), ms) == WAIT_OBJECT_0; }

private:
    explicit EventHandle(HANDLE event) noexcept : event_(event) {}
    KernelHandle event_;
};

struct FindCloser {
    void operator()(HANDLE search) const noexcept { FindClose(search); }
};

// A search of a folder from FindFirstFileW, ended with FindClose.
using FindHandle = std::unique_ptr<void, FindCloser>;

// Takes over what FindFirstFileW returned; INVALID_HANDLE_VALUE gives an empty owner.
inline FindHandle AdoptFindHandle(HANDLE search) noexcept {
    return FindHandle(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

struct MenuDestroyer {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};

// A menu made by CreatePopupMenu and shown without being attached to a window.
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct RegistryCloser {
    void operator()(HKEY key) const noexcept {
        if (key != HKEY_CURRENT_USER) RegCloseKey(key);
    }
};

// One open HKEY. HKEY_CURRENT_USER itself is borrowed and never closed.
using RegistryHandle = std::unique_ptr<std::remove_pointer_t<HKEY>, RegistryCloser>;

}  // namespace lacqueron
