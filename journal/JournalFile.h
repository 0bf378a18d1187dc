// The journal's only door to the file system, so the store is the same on every
// platform: the program opens it through Win32, the tests, tools and benchmarks
// through POSIX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lacqueron {

enum class JournalLockKind { Shared, Exclusive };

// One open journal file. Every Append lands at the end of the file, whatever other
// handles on the same file did meanwhile.
class JournalFile {
public:
    virtual ~JournalFile() = default;
    // Blocks until granted; the lock is between handles, so two handles in one process
    // exclude each other as two processes do.
    virtual bool Lock(JournalLockKind kind) = 0;
    virtual void Unlock() = 0;
    virtual bool Size(std::uint64_t& size) = 0;
    // Exactly `length` bytes from `offset`, or false.
    virtual bool ReadAt(std::uint64_t offset, std::size_t length, std::string& out) = 0;
    // One write of all the bytes at the end of the file, then flushed to the disk.
    virtual bool Append(const std::string& bytes) = 0;
};

// Holds a lock for one scope.
class JournalLockGuard {
public:
    JournalLockGuard(JournalFile& file, JournalLockKind kind) : file_(file), locked_(file.Lock(kind)) {}
    ~JournalLockGuard() {
        if (locked_) file_.Unlock();
    }
    JournalLockGuard(const JournalLockGuard&) = delete;
    JournalLockGuard& operator=(const JournalLockGuard&) = delete;
    bool locked() const { return locked_; }

private:
    JournalFile& file_;
    bool locked_;
};

}  // namespace lacqueron
