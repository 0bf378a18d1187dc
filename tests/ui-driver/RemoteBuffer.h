// Memory inside another process, for control messages that carry pointers (list
// view items) and are not carried across processes by the system.
#pragma once

#include <windows.h>

#include <cstddef>

namespace uidriver {

class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size) noexcept : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    explicit operator bool() const noexcept { return address_ != nullptr; }
    LPARAM Address(std::size_t offset = 0) const noexcept {
        return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
    }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0) const noexcept {
        return offset + size <= size_ &&
               WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    bool Read(void* data, std::size_t size, std::size_t offset = 0) const noexcept {
        return offset + size <= size_ &&
               ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_;
};

}  // namespace uidriver
