// The journal's only door to the file system, so the store is the same on every
// platform: the program opens it through Win32, the tests, tools and benchmarks
// through POSIX.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lacqueron {

enum class JournalLockKind { Shared, Exclusive };

enum class JournalLockResult {
    Granted,
    Busy,    // another handle holds a lock that excludes this one
    Failed,  // the lock could not be asked for at all
};

// A batch's write holds the lock for milliseconds; a journal held longer than this is
// held by another bench, and the painter is told so instead of a window that hangs.
constexpr std::chrono::milliseconds kJournalLockLimit{2500};

// One open journal file. Every Append lands at the end of the file, whatever other
// handles on the same file did meanwhile.
class JournalFile {
public:
    virtual ~JournalFile() = default;
    // Never waits. The lock is between handles, so two handles in one process exclude
    // each other as two processes do.
    virtual JournalLockResult TryLock(JournalLockKind kind) = 0;
    virtual void Unlock() = 0;
    virtual bool Size(std::uint64_t& size) = 0;
    // Exactly `length` bytes from `offset` into `out`, which has room for them, or false.
    virtual bool ReadInto(std::uint64_t offset, std::size_t length, char* out) = 0;
    // The same into a string sized to them.
    bool ReadAt(std::uint64_t offset, std::size_t length, std::string& out) {
        out.resize(length);
        return ReadInto(offset, length, out.data());
    }
    // One write of all the bytes at the end of the file, then flushed to the disk.
    virtual bool Append(const std::string& bytes) = 0;
};

// Holds a lock for one scope, asked for again and again until `limit` has passed.
class JournalLockGuard {
public:
    JournalLockGuard(JournalFile& file, JournalLockKind kind, std::chrono::milliseconds limit = kJournalLockLimit);
    ~JournalLockGuard() {
        if (locked()) file_.Unlock();
    }
    JournalLockGuard(const JournalLockGuard&) = delete;
    JournalLockGuard& operator=(const JournalLockGuard&) = delete;
    JournalLockResult result() const { return result_; }
    bool locked() const { return result_ == JournalLockResult::Granted; }

private:
    JournalFile& file_;
    JournalLockResult result_;
};

}  // namespace lacqueron
