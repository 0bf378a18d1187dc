#include "journal/JournalStore.h"

namespace lacqueron {

JournalStore::JournalStore(std::unique_ptr<JournalFile> file) : file_(std::move(file)) {}

bool JournalStore::CatchUp() {
    std::uint64_t size = 0;
    if (!file_->Size(size)) return false;
    const std::uint64_t known = contents_.Size();
    if (size == known) return true;
    std::string bytes;
    if (size < known || !contents_.HeaderComplete()) {
        // Shorter than before means the file was replaced; a header still to come is
        // read with the rest.
        if (!file_->ReadAt(0, static_cast<std::size_t>(size), bytes)) return false;
        contents_ = JournalContents::Parse(std::move(bytes));
    } else {
        if (!file_->ReadAt(known, static_cast<std::size_t>(size - known), bytes)) return false;
        contents_.ParseMore(bytes);
    }
    return true;
}

bool JournalStore::Load() {
    if (!file_) return false;
    JournalLockGuard lock(*file_, JournalLockKind::Shared);
    contents_ = JournalContents();
    return lock.locked() && CatchUp();
}

JournalAppendResult JournalStore::Append(const BatchRecord& batch) {
    std::string frame = EncodeBatchFrame(batch);
    if (frame.empty()) return JournalAppendResult::TooLarge;
    if (!file_) return JournalAppendResult::WriteFailed;
    JournalLockGuard lock(*file_, JournalLockKind::Exclusive);
    if (!lock.locked() || !CatchUp()) return JournalAppendResult::WriteFailed;
    if (!contents_.Appendable()) return JournalAppendResult::NotAJournal;
    if (!contents_.HeaderComplete()) {
        // A new file gets its header in the same write as its first record; a header cut
        // short by a lost first write gets only its missing bytes.
        const std::size_t present = static_cast<std::size_t>(contents_.Size());
        frame.insert(0, EncodeJournalHeader().substr(present));
        if (!file_->Append(frame)) return JournalAppendResult::WriteFailed;
        contents_ = JournalContents::Parse(EncodeJournalHeader().substr(0, present) + frame);
        return JournalAppendResult::Appended;
    }
    if (!file_->Append(frame)) return JournalAppendResult::WriteFailed;
    // Under the lock the file ends exactly where this write ended.
    contents_.ParseMore(frame);
    return JournalAppendResult::Appended;
}

}  // namespace lacqueron
