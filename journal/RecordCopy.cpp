#include "journal/RecordCopy.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "journal/JournalFormat.h"

namespace lacqueron {
namespace {

// The whole file, read under a lock of the given kind the caller holds.
bool ReadWhole(JournalFile& file, std::string& bytes) {
    std::uint64_t size = 0;
    return file.Size(size) && file.ReadAt(0, static_cast<std::size_t>(size), bytes);
}

JournalTail ClassifyWhole(std::string_view bytes) {
    const std::size_t head = std::min(bytes.size(), kJournalHeaderSize);
    return ClassifyJournalTail(bytes.substr(0, head), bytes.size(), bytes.substr(head));
}

}  // namespace

std::string FramesMissingFrom(std::string_view to, std::string_view from) {
    const std::vector<std::string_view> held = IntactFrames(to);
    std::unordered_set<std::string_view> present(held.begin(), held.end());
    std::string missing;
    for (std::string_view frame : IntactFrames(from))
        if (present.insert(frame).second) missing += frame;
    return missing;
}

JournalAppendResult CopyMissingRecords(JournalFile& from, JournalFile& to, std::size_t& copied,
                                       std::chrono::milliseconds lockLimit) {
    copied = 0;
    std::string source;
    {
        JournalLockGuard lock(from, JournalLockKind::Shared, lockLimit);
        if (lock.result() == JournalLockResult::Busy) return JournalAppendResult::Busy;
        if (!lock.locked() || !ReadWhole(from, source)) return JournalAppendResult::WriteFailed;
    }
    const JournalTail sourceEnd = ClassifyWhole(source);
    if (sourceEnd == JournalTail::Empty) return JournalAppendResult::Appended;
    if (sourceEnd == JournalTail::NotAJournal || source.size() < kJournalHeaderSize)
        return JournalAppendResult::NotAJournal;

    JournalLockGuard lock(to, JournalLockKind::Exclusive, lockLimit);
    if (lock.result() == JournalLockResult::Busy) return JournalAppendResult::Busy;
    std::string target;
    if (!lock.locked() || !ReadWhole(to, target)) return JournalAppendResult::WriteFailed;
    const JournalTail targetEnd = ClassifyWhole(target);
    if (targetEnd == JournalTail::NotAJournal) return JournalAppendResult::NotAJournal;

    std::string missing = FramesMissingFrom(target, source);
    if (missing.empty()) return JournalAppendResult::Appended;
    const std::size_t records = IntactFrames(missing).size();
    // An empty target, or one whose first write stopped inside the header, gets the
    // source's header (the same log kind) completed before the records.
    if (target.size() < kJournalHeaderSize)
        missing.insert(0, std::string_view(source).substr(target.size(), kJournalHeaderSize - target.size()));
    if (!to.Append(missing)) return JournalAppendResult::WriteFailed;
    copied = records;
    return JournalAppendResult::Appended;
}

}  // namespace lacqueron
