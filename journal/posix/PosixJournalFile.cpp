#include "journal/posix/PosixJournalFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace lacqueron {
namespace {

constexpr mode_t kJournalMode = 0644;

class PosixJournalFile final : public JournalFile {
public:
    explicit PosixJournalFile(int fd) : fd_(fd) {}
    ~PosixJournalFile() override { ::close(fd_); }
    PosixJournalFile(const PosixJournalFile&) = delete;
    PosixJournalFile& operator=(const PosixJournalFile&) = delete;

    // flock, not fcntl: its locks belong to the open file, so two handles in one
    // process exclude each other too.
    bool Lock(JournalLockKind kind) override {
        const int operation = kind == JournalLockKind::Exclusive ? LOCK_EX : LOCK_SH;
        int result;
        while ((result = ::flock(fd_, operation)) != 0 && errno == EINTR) {
        }
        return result == 0;
    }
    void Unlock() override { ::flock(fd_, LOCK_UN); }

    bool Size(std::uint64_t& size) override {
        struct stat info;
        if (::fstat(fd_, &info) != 0) return false;
        size = static_cast<std::uint64_t>(info.st_size);
        return true;
    }

    bool ReadAt(std::uint64_t offset, std::size_t length, std::string& out) override {
        out.resize(length);
        for (std::size_t done = 0; done < length;) {
            const ssize_t n = ::pread(fd_, out.data() + done, length - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // O_APPEND puts the write at the end; a short write (a full disk) goes on where it stopped.
    bool Append(const std::string& bytes) override {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return ::fsync(fd_) == 0;
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<JournalFile> OpenPosixJournalFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, kJournalMode);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixJournalFile>(fd);
}

}  // namespace lacqueron
