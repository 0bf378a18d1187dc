// Owns a POSIX file descriptor from open() on, so that nothing between opening and the
// file object taking it over can leak it.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace lacqueron {

inline constexpr int kNoDescriptor = -1;

class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    ~Descriptor() {
        if (fd_ != kNoDescriptor) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, kNoDescriptor)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;
    int get() const noexcept { return fd_; }
    // Closes now, for a writer that must know whether the last bytes reached the file.
    bool Close() noexcept { return ::close(std::exchange(fd_, kNoDescriptor)) == 0; }

private:
    int fd_;
};

// Exactly `length` bytes from `offset`, or false; a read cut short by a signal goes on.
inline bool ReadAllAt(int fd, std::uint64_t offset, std::size_t length, char* out) {
    for (std::size_t done = 0; done < length;) {
        const ssize_t n = ::pread(fd, out + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// All the bytes, where the descriptor writes; a short write (a full disk) goes on where it stopped.
inline bool WriteAll(int fd, const char* bytes, std::size_t length) {
    for (std::size_t done = 0; done < length;) {
        const ssize_t n = ::write(fd, bytes + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace lacqueron
