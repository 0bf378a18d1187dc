#include "journal/posix/PosixWholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "journal/posix/PosixDescriptor.h"

namespace lacqueron {
namespace {

constexpr char kTemporaryTail[] = ".XXXXXX";
constexpr mode_t kWholeFileMode = 0644;  // as the log beside it; mkstemp makes it 0600

class PosixWholeFile final : public WholeFile {
public:
    explicit PosixWholeFile(std::string path) : path_(std::move(path)) {}

    bool Read(std::string& bytes) override {
        Descriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat info;
        if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) return false;
        bytes.resize(static_cast<std::size_t>(info.st_size));
        return ReadAllAt(fd.get(), 0, bytes.size(), bytes.data());
    }

    // Not flushed before the move: a file lost to a power cut is made again from the log.
    bool Replace(const std::string& bytes) override {
        const std::string name = path_ + kTemporaryTail;
        std::vector<char> temporary(name.begin(), name.end());
        temporary.push_back('\0');
        Descriptor fd(::mkstemp(temporary.data()));
        if (fd.get() < 0) return false;
        if (::fchmod(fd.get(), kWholeFileMode) == 0 && WriteAll(fd.get(), bytes.data(), bytes.size()) && fd.Close() &&
            ::rename(temporary.data(), path_.c_str()) == 0)
            return true;
        ::unlink(temporary.data());
        return false;
    }

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<WholeFile> OpenPosixWholeFile(const std::string& path) {
    return std::make_unique<PosixWholeFile>(path);
}

std::unique_ptr<WholeFile> OpenPosixLogIndex(const std::string& logPath) {
    return OpenPosixWholeFile(logPath + kLogIndexSuffix);
}

}  // namespace lacqueron
