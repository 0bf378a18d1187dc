// Owner of a kernel handle closed with CloseHandle, such as an open COM port.
#pragma once

#include <windows.h>

#include <memory>

namespace lacqueron {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};

using FileHandle = std::unique_ptr<void, HandleCloser>;

// Takes over what CreateFileW returned; INVALID_HANDLE_VALUE gives an empty owner.
inline FileHandle AdoptFileHandle(HANDLE handle) noexcept {
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace lacqueron
