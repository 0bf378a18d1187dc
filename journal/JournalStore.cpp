#include "journal/JournalStore.h"

#include <algorithm>
#include <optional>

namespace lacqueron {

namespace {

// Most records are a few hundred bytes: the first look at the end takes this much.
constexpr std::size_t kFirstTailLook = 4096;

// A new file gets its header in the same write as its first record; a header cut short
// by a lost first write gets only its missing bytes.
void PrependMissingHeader(std::string& frame, std::size_t present) {
    frame.insert(0, EncodeJournalHeader().substr(present));
}

}  // namespace

bool ReadJournalEnd(JournalFile& file, JournalEnd& end) {
    if (!file.Size(end.size)) return false;
    std::string head;
    const std::size_t headLength = static_cast<std::size_t>(std::min<std::uint64_t>(end.size, kJournalHeaderSize));
    if (!file.ReadAt(0, headLength, head)) return false;
    const std::uint64_t afterHeader = end.size - headLength;
    std::size_t look = static_cast<std::size_t>(std::min<std::uint64_t>(afterHeader, kFirstTailLook));
    std::string tail;
    if (!file.ReadAt(end.size - look, look, tail)) return false;
    end.tail = ClassifyJournalTail(head, end.size, tail);
    // A long last record, or damage, gets a second look as far back as a record can reach.
    const std::size_t longest = static_cast<std::size_t>(std::min<std::uint64_t>(afterHeader, kLongestTail));
    if (end.tail == JournalTail::Damaged && look < longest) {
        look = longest;
        if (!file.ReadAt(end.size - look, look, tail)) return false;
        end.tail = ClassifyJournalTail(head, end.size, tail);
    }
    return true;
}

JournalAppendResult AppendBatch(JournalFile& file, const BatchRecord& batch, std::chrono::milliseconds lockLimit) {
    std::string frame = EncodeBatchFrame(batch);
    if (frame.empty()) return JournalAppendResult::TooLarge;
    JournalLockGuard lock(file, JournalLockKind::Exclusive, lockLimit);
    if (lock.result() == JournalLockResult::Busy) return JournalAppendResult::Busy;
    JournalEnd end;
    if (!lock.locked() || !ReadJournalEnd(file, end)) return JournalAppendResult::WriteFailed;
    switch (end.tail) {
    case JournalTail::NotAJournal: return JournalAppendResult::NotAJournal;
    case JournalTail::Empty:
    case JournalTail::HeaderCutShort:
        PrependMissingHeader(frame, static_cast<std::size_t>(end.size));
        break;
    case JournalTail::HeaderOnly:
    case JournalTail::IntactRecord:
    case JournalTail::Damaged: break;
    }
    return file.Append(frame) ? JournalAppendResult::Appended : JournalAppendResult::WriteFailed;
}

JournalStore::JournalStore(std::unique_ptr<JournalFile> file) : file_(std::move(file)) {}

void JournalStore::Hand(const Take& take) {
    if (!take) return;
    take(contents_);
    contents_.Forget();
}

bool JournalStore::CatchUpInPieces(std::uint64_t size, const Take& take) {
    if (size < contents_.Size() || !contents_.HeaderComplete()) contents_ = JournalContents();
    // At least once, so that a file replaced by an empty one is taken too.
    do {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(kReadChunk, size - contents_.Size()));
        if (!contents_.ReadMore(*file_, piece)) return false;
        if (!contents_.ParseRead(contents_.Size() < size)) {
            // Damage: read the rest whole, so the records after it are looked for as in a whole file.
            const std::size_t rest = static_cast<std::size_t>(size - contents_.Size());
            if (rest > 0 && !contents_.ReadMore(*file_, rest)) return false;
            contents_.ParseRead(false);
        }
        Hand(take);
    } while (contents_.Size() < size);
    return true;
}

bool JournalStore::CatchUp(const Take& take) {
    std::uint64_t size = 0;
    if (!file_->Size(size)) return false;
    const std::uint64_t known = contents_.Size();
    if (size == known) return true;
    if (take) return CatchUpInPieces(size, take);
    if (size < known || !contents_.HeaderComplete()) {
        // Shorter than before means the file was replaced; a header still to come is
        // read with the rest.
        FileBytes bytes;
        const std::size_t length = static_cast<std::size_t>(size);
        if (!file_->ReadInto(0, length, bytes.Extend(length))) return false;
        contents_ = JournalContents::Parse(std::move(bytes));
    } else {
        std::string bytes;
        if (!file_->ReadAt(known, static_cast<std::size_t>(size - known), bytes)) return false;
        contents_.ParseMore(bytes);
    }
    return true;
}

JournalLoadResult JournalStore::Load(const Take& take) {
    contents_ = JournalContents();
    return Refresh(take);
}

JournalLoadResult JournalStore::Refresh(const Take& take) {
    if (!file_) return JournalLoadResult::ReadFailed;
    JournalLockGuard lock(*file_, JournalLockKind::Shared);
    if (lock.result() == JournalLockResult::Busy) return JournalLoadResult::Busy;
    failing_ = !lock.locked() || !CatchUp(take);
    return failing_ ? JournalLoadResult::ReadFailed : JournalLoadResult::Loaded;
}

JournalLoadResult JournalStore::Resume(const JournalMark& mark, const Take& take, bool& held) {
    held = false;
    if (!file_) return JournalLoadResult::ReadFailed;
    JournalLockGuard lock(*file_, JournalLockKind::Shared);
    if (lock.result() == JournalLockResult::Busy) return JournalLoadResult::Busy;
    std::uint64_t size = 0;
    std::string last;
    // Checked under the same lock the rest is read in: a file replaced in between is not
    // read on from a mark of another.
    if (!lock.locked() || !file_->Size(size) || size < mark.size || mark.lastFrameAt >= mark.size ||
        mark.size - mark.lastFrameAt > kLongestTail ||
        !file_->ReadAt(mark.lastFrameAt, static_cast<std::size_t>(mark.size - mark.lastFrameAt), last) ||
        !MarkHolds(mark, last))
        return JournalLoadResult::Loaded;
    held = true;
    contents_ = JournalContents::Resume(mark);
    failing_ = !CatchUp(take);
    return failing_ ? JournalLoadResult::ReadFailed : JournalLoadResult::Loaded;
}

JournalAppendResult JournalStore::Append(const BatchRecord& batch) { return AppendFrame(EncodeBatchFrame(batch)); }

JournalAppendResult JournalStore::AppendFrame(std::string frame, const Take& take) {
    if (frame.empty()) return JournalAppendResult::TooLarge;
    return AppendBuilt(
        [&frame](std::string& frames) {
            frames = std::move(frame);
            return JournalAppendResult::Appended;
        },
        take);
}

JournalAppendResult JournalStore::AppendBuilt(const Build& build, const Take& take) {
    const JournalAppendResult result = AppendUnderLock(build, take);
    if (result == JournalAppendResult::WriteFailed) failing_ = true;
    if (result == JournalAppendResult::Appended) failing_ = false;
    return result;
}

JournalAppendResult JournalStore::AppendUnderLock(const Build& build, const Take& take) {
    if (!file_) return JournalAppendResult::WriteFailed;
    JournalLockGuard lock(*file_, JournalLockKind::Exclusive);
    if (lock.result() == JournalLockResult::Busy) return JournalAppendResult::Busy;
    if (!lock.locked() || !CatchUp(take)) return JournalAppendResult::WriteFailed;
    if (!contents_.Appendable()) return JournalAppendResult::NotAJournal;
    std::string frame;
    appending_ = true;
    const JournalAppendResult built = build(frame);
    appending_ = false;
    if (built != JournalAppendResult::Appended) return built;
    if (frame.empty()) return JournalAppendResult::Appended;
    if (contents_.InsideImport()) frame.insert(0, EncodeImportAbandoned());
    if (!contents_.HeaderComplete()) {
        const std::size_t present = static_cast<std::size_t>(contents_.Size());
        PrependMissingHeader(frame, present);
        if (!file_->Append(frame)) return JournalAppendResult::WriteFailed;
        contents_ = JournalContents::Parse(EncodeJournalHeader().substr(0, present) + frame);
        Hand(take);
        return JournalAppendResult::Appended;
    }
    if (!file_->Append(frame)) return JournalAppendResult::WriteFailed;
    // Under the lock the file ends exactly where this write ended.
    contents_.ParseMore(frame);
    Hand(take);
    return JournalAppendResult::Appended;
}

bool JournalStore::ReadRecords(const std::vector<std::uint64_t>& offsets, std::vector<std::string>& payloads) const {
    payloads.clear();
    if (!file_) return false;
    std::optional<JournalLockGuard> lock;
    if (!appending_) {
        lock.emplace(*file_, JournalLockKind::Shared);
        if (!lock->locked()) return false;
    }
    std::string head;
    for (const std::uint64_t offset : offsets) {
        if (!file_->ReadAt(offset, kRecordHeadSize, head)) return false;
        const std::uint32_t length = RecordPayloadLength(head);
        std::string frame;
        if (length > kMaxRecordPayload || !file_->ReadAt(offset, kRecordFrameOverhead + length, frame)) return false;
        const std::vector<std::string_view> whole = IntactFrames(frame);
        if (whole.size() != 1 || whole.front().size() != frame.size()) return false;
        payloads.push_back(frame.substr(kRecordHeadSize, length));
    }
    return true;
}

}  // namespace lacqueron
