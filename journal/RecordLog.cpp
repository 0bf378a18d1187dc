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

JournalLoadResult RecordLog::Resume(const RecordLogMark& mark, RecordReader& reader, bool& held) {
    ids_.clear();
    idCount_ = 0;
    payloadDamage_ = mark.payloadDamage;
    sizeIndexed_ = mark.journal.size;
    MergeDamage(mark.journal.damage);
    ++revision_;
    const JournalLoadResult result = log_.Resume(mark.journal, Taker(reader), held);
    if (!held) {
        payloadDamage_.clear();
        damage_.clear();
        sizeIndexed_ = 0;
    }
    return result;
}

std::optional<RecordLogMark> RecordLog::Mark() const {
    std::optional<JournalMark> journal = log_.Contents().Mark();
    if (!journal || journal->size != sizeIndexed_ || log_.Failing()) return std::nullopt;
    return RecordLogMark{std::move(*journal), payloadDamage_};
}

namespace {

constexpr std::size_t kFirstIdSlots = 1024;
constexpr std::size_t kIdSlotsPerId = 2;  // at most half full

std::vector<RecordId> NewIds(std::size_t count) {
    std::vector<RecordId> ids(count);
    std::generate(ids.begin(), ids.end(), NewUniqueId);
    return ids;
}

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
    MergeDamage(log.Damage());
}

void RecordLog::MergeDamage(const std::vector<JournalDamage>& logDamage) {
    damage_ = logDamage;
    damage_.insert(damage_.end(), payloadDamage_.begin(), payloadDamage_.end());
    std::stable_sort(damage_.begin(), damage_.end(),
                     [](const JournalDamage& a, const JournalDamage& b) { return a.offset < b.offset; });
}

JournalAppendResult RecordLog::Write(std::size_t records, std::size_t ids, const Encode& encode, RecordReader& reader,
                                     std::vector<RecordId>* used, const Check& check) {
    if (records == 0) return JournalAppendResult::Appended;
    const std::string key = encode(std::vector<RecordId>(ids, 0), true);
    if (key.empty()) return JournalAppendResult::TooLarge;
    std::optional<FailedWrite> retry;
    if (failed_ && failed_->key == key) retry = std::move(failed_);
    failed_.reset();
    FailedWrite write{key, {}, {}, {}};
    // The ids given, checked, and the write they make.
    const auto prepare = [&](std::vector<RecordId> given) {
        write.ids = std::move(given);
        const JournalAppendResult checked = check ? check(write.ids) : JournalAppendResult::Appended;
        if (checked == JournalAppendResult::Appended) write.same = encode(write.ids, true);
        return checked;
    };
    const auto build = [&](std::string& frames) {
        JournalAppendResult checked = prepare(retry ? retry->ids : NewIds(ids));
        if (checked != JournalAppendResult::Appended) return checked;
        if (retry && retry->same == write.same) {
            write.bytes = retry->bytes;
        } else {
            // What the file holds now made the retry another write.
            if (retry && (checked = prepare(NewIds(ids))) != JournalAppendResult::Appended) return checked;
            write.bytes = encode(write.ids, false);
            if (records > 1 && !write.bytes.empty())
                write.bytes = EncodeImport(NewUniqueId(), static_cast<std::uint32_t>(records), write.bytes);
        }
        if (write.same.empty() || write.bytes.empty()) return JournalAppendResult::TooLarge;
        frames = write.bytes;
        return JournalAppendResult::Appended;
    };
    const JournalAppendResult result = log_.AppendBuilt(build, Taker(reader));
    if (used) *used = write.ids;
    // A write that never reached the file leaves the one before it to be retried.
    if (result != JournalAppendResult::Appended && !write.bytes.empty())
        failed_ = std::move(write);
    else if (result != JournalAppendResult::Appended)
        failed_ = std::move(retry);
    return result;
}

}  // namespace lacqueron
