#include "journal/RecordLog.h"

#include <algorithm>

#include "core/UniqueId.h"

namespace lacqueron {

RecordLog::RecordLog(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}

JournalLoadResult RecordLog::Load(RecordReader& reader) {
    reader.Restart();
    ids_.clear();
    payloadDamage_.clear();
    damage_.clear();
    sizeIndexed_ = 0;
    return log_.Load(Taker(reader));
}

bool RecordLog::Refresh(RecordReader& reader) {
    const std::uint64_t size = sizeIndexed_;
    return log_.Refresh(Taker(reader)) == JournalLoadResult::Loaded && sizeIndexed_ != size;
}

bool RecordLog::FirstOfId(RecordId id) { return id == 0 || ids_.insert(id).second; }

void RecordLog::Take(RecordReader& reader, const JournalContents& log) {
    if (log.Size() != sizeIndexed_) ++revision_;
    if (log.Size() < sizeIndexed_) {
        reader.Restart();
        ids_.clear();
        payloadDamage_.clear();
    }
    for (const JournalFrame& frame : log.Frames())
        if (!reader.Read(frame, log.Payload(frame)))
            payloadDamage_.push_back({frame.offset, frame.recordNumber, JournalDamageKind::BadPayload});
    sizeIndexed_ = log.Size();
    damage_ = log.Damage();
    damage_.insert(damage_.end(), payloadDamage_.begin(), payloadDamage_.end());
    std::stable_sort(damage_.begin(), damage_.end(),
                     [](const JournalDamage& a, const JournalDamage& b) { return a.offset < b.offset; });
}

JournalAppendResult RecordLog::Write(std::size_t records, std::size_t ids, const Encode& encode, RecordReader& reader,
                                     std::vector<RecordId>* used) {
    if (records == 0) return JournalAppendResult::Appended;
    FailedWrite write{encode(std::vector<RecordId>(ids, 0), true), {}, {}};
    if (write.key.empty()) return JournalAppendResult::TooLarge;
    if (failed_ && failed_->key == write.key) {
        write = std::move(*failed_);
    } else {
        write.ids.resize(ids);
        std::generate(write.ids.begin(), write.ids.end(), NewUniqueId);
        write.bytes = encode(write.ids, false);
        if (records > 1 && !write.bytes.empty())
            write.bytes = EncodeImport(NewUniqueId(), static_cast<std::uint32_t>(records), write.bytes);
    }
    failed_.reset();
    const JournalAppendResult result = log_.AppendFrame(write.bytes, Taker(reader));
    if (used) *used = write.ids;
    if (result != JournalAppendResult::Appended) failed_ = std::move(write);
    return result;
}

}  // namespace lacqueron
