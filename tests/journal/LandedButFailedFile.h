// A journal file whose next append lands and is then reported failed, as a flush that
// fails after the bytes reached the disk, or a share that drops before it answers; or,
// made not to land, one that fails before a byte is written.
#pragma once

#include <memory>
#include <string>

#include "journal/JournalFile.h"
#include "journal/posix/PosixJournalFile.h"

namespace lacqueron::test {

class LandedButFailedFile final : public JournalFile {
public:
    // `failNext` is the caller's: set, the next append lands (unless `lands` is false),
    // reports failure and clears it.
    LandedButFailedFile(const std::string& path, bool& failNext, bool lands = true)
        : file_(OpenPosixJournalFile(path)), failNext_(failNext), lands_(lands) {}

    JournalLockResult TryLock(JournalLockKind kind) override { return file_->TryLock(kind); }
    void Unlock() override { file_->Unlock(); }
    bool Size(std::uint64_t& size) override { return file_->Size(size); }
    bool ReadInto(std::uint64_t offset, std::size_t length, char* out) override {
        return file_->ReadInto(offset, length, out);
    }
    bool Append(const std::string& bytes) override {
        const bool landed = (lands_ || !failNext_) && file_->Append(bytes);
        const bool reported = landed && !failNext_;
        failNext_ = false;
        return reported;
    }

private:
    std::unique_ptr<JournalFile> file_;
    bool& failNext_;
    bool lands_;
};

}  // namespace lacqueron::test
