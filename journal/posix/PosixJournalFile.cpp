#include "journal/posix/PosixJournalFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "journal/posix/PosixDescriptor.h"

namespace lacqueron {
namespace {

constexpr mode_t kJournalMode = 0644;

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
        return ReadAllAt(fd_.get(), offset, length, out);
    }

    // O_APPEND puts the write at the end.
    bool Append(const std::string& bytes) override {
        return WriteAll(fd_.get(), bytes.data(), bytes.size()) && ::fsync(fd_.get()) == 0;
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
