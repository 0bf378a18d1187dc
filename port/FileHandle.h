// Owner of a kernel handle closed with CloseHandle, such as an open COM port.
#pragma once

#include <windows.h>

#include <utility>

namespace lacqueron {

class FileHandle {
public:
    FileHandle() noexcept = default;
    // Takes over the handle; INVALID_HANDLE_VALUE is kept as "none".
    explicit FileHandle(HANDLE handle) noexcept : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~FileHandle() { Reset(); }
    FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    void Reset(HANDLE handle = nullptr) noexcept {
        if (handle_) CloseHandle(handle_);
        handle_ = handle;
    }
    HANDLE get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace lacqueron
