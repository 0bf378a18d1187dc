#include "journal/posix/PosixJournalFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace lacqueron {
namespace {

constexpr mode_t kJournalMode = 0644;
constexpr int kNoDescriptor = -1;

// Owns a file descriptor from open() on, so that nothing between opening and the file
// object taking it over can leak it.
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

private:
    int fd_;
};

class PosixJournalFile final : public JournalFile {
public:
    explicit PosixJournalFile(Descriptor fd) : fd_(std::move(fd)) {}

    // flock, not fcntl: its locks belong to the open file, so two handles in one
    // process exclude each other too.
    JournalLockResult TryLock(JournalLockKind kind) override {
        const int operation = (kind == JournalLockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        int result;
        while ((result = ::flock(fd_.get(), operation)) != 0 && errno == EINTR) {
        }
        if (result == 0) return JournalLockResult::Granted;
        return errno == EWOULDBLOCK ? JournalLockResult::Busy : JournalLockResult::Failed;
    }
    void Unlock() override { ::flock(fd_.get(), LOCK_UN); }

    bool Size(std::uint64_t& size) override {
        struct stat info;
        if (::fstat(fd_.get(), &info) != 0) return false;
        size = static_cast<std::uint64_t>(info.st_size);
        return true;
    }

    bool ReadInto(std::uint64_t offset, std::size_t length, char* out) override {
        for (std::size_t done = 0; done < length;) {
            const ssize_t n = ::pread(fd_.get(), out + done, length - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // O_APPEND puts the write at the end; a short write (a full disk) goes on where it stopped.
    bool Append(const std::string& bytes) override {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return ::fsync(fd_.get()) == 0;
    }

private:
    Descriptor fd_;
};

}  // namespace

std::unique_ptr<JournalFile> OpenPosixJournalFile(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, kJournalMode));
    if (fd.get() < 0) return nullptr;
    return std::make_unique<PosixJournalFile>(std::move(fd));
}

}  // namespace lacqueron
