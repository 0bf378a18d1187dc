#include "journal/RecordLog.h"

#include <algorithm>

#include "core/UniqueId.h"

namespace lacqueron {

RecordLog::RecordLog(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}

JournalLoadResult RecordLog::Load(RecordReader& reader) {
    reader.Restart();
    ids_.clear();
    idCount_ = 0;
    payloadDamage_.clear();
    damage_.clear();
    sizeIndexed_ = 0;
    return log_.Load(Taker(reader));
}

bool RecordLog::Refresh(RecordReader& reader) {
    const std::uint64_t size = sizeIndexed_;
    return log_.Refresh(Taker(reader)) == JournalLoadResult::Loaded && sizeIndexed_ != size;
}

namespace {

constexpr std::size_t kFirstIdSlots = 1024;
constexpr std::size_t kIdSlotsPerId = 2;  // at most half full

// Spreads ids that count up as well as random ones over the slots (the 64-bit finaliser
// of MurmurHash3).
std::size_t IdSlot(RecordId id, std::size_t mask) {
    id ^= id >> 33;
    id *= 0xFF51AFD7ED558CCDull;
    id ^= id >> 33;
    return static_cast<std::size_t>(id) & mask;
}

}  // namespace

void RecordLog::GrowIds() {
    std::vector<RecordId> old(std::max(kFirstIdSlots, ids_.size() * 2), 0);
    old.swap(ids_);
    idCount_ = 0;
    for (const RecordId id : old)
        if (id != 0) FirstOfId(id);
}

bool RecordLog::FirstOfId(RecordId id) {
    if (id == 0) return true;
    if ((idCount_ + 1) * kIdSlotsPerId > ids_.size()) GrowIds();
    const std::size_t mask = ids_.size() - 1;
    for (std::size_t slot = IdSlot(id, mask);; slot = (slot + 1) & mask) {
        if (ids_[slot] == id) return false;
        if (ids_[slot] == 0) {
            ids_[slot] = id;
            ++idCount_;
            return true;
        }
    }
}

void RecordLog::Take(RecordReader& reader, const JournalContents& log) {
    if (log.Size() != sizeIndexed_) ++revision_;
    if (log.Size() < sizeIndexed_) {
        reader.Restart();
        ids_.clear();
        idCount_ = 0;
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
