#include "journal/JournalStore.h"

namespace lacqueron {

JournalStore::JournalStore(std::unique_ptr<JournalFile> file) : file_(std::move(file)) {}

bool JournalStore::CatchUp() {
    std::uint64_t size = 0;
    if (!file_->Size(size)) return false;
    if (size == readEnd_) return true;
    std::string bytes;
    if (size < readEnd_ || readEnd_ == 0) {
        // Shorter than before means the file was replaced: read it anew.
        if (!file_->ReadAt(0, static_cast<std::size_t>(size), bytes)) return false;
        parsed_ = ParseJournal(bytes);
    } else {
        if (!file_->ReadAt(readEnd_, static_cast<std::size_t>(size - readEnd_), bytes)) return false;
        ParseJournalRecords(bytes, readEnd_, parsed_);
    }
    readEnd_ = size;
    return true;
}

bool JournalStore::Load() {
    if (!file_) return false;
    JournalLockGuard lock(*file_, JournalLockKind::Shared);
    parsed_ = ParsedJournal();
    readEnd_ = 0;
    return lock.locked() && CatchUp();
}

JournalAppendResult JournalStore::Append(const BatchRecord& batch) {
    std::string frame = EncodeBatchFrame(batch);
    if (frame.empty()) return JournalAppendResult::TooLarge;
    if (!file_) return JournalAppendResult::WriteFailed;
    JournalLockGuard lock(*file_, JournalLockKind::Exclusive);
    if (!lock.locked() || !CatchUp()) return JournalAppendResult::WriteFailed;
    if (!parsed_.appendable) return JournalAppendResult::NotAJournal;
    const bool newFile = readEnd_ == 0;
    if (newFile) frame.insert(0, EncodeJournalHeader());
    if (!file_->Append(frame)) return JournalAppendResult::WriteFailed;
    // Under the lock the file ends exactly where this write ended.
    readEnd_ += frame.size();
    parsed_.headerPresent = true;
    parsed_.batches.push_back(batch);
    ++parsed_.records;
    return JournalAppendResult::Appended;
}

}  // namespace lacqueron
