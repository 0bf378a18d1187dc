#include "journal/JournalFormat.h"

#include <array>
#include <cstring>

#include "journal/RecordPayload.h"

namespace lacqueron {
namespace {

constexpr char kHeaderMagic[8] = {'L', 'Q', 'J', 'O', 'U', 'R', 'N', 'L'};
constexpr std::size_t kMarkerSize = std::tuple_size_v<RecordKind>;
// Every kind's marker starts so; its last two characters are capital Latin letters.
constexpr char kMarkerPrefix[2] = {'L', 'Q'};
constexpr std::size_t kLengthSize = 4;
constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kTailChecksumsTried = 4;
constexpr std::uint8_t kLastStatus = static_cast<std::uint8_t>(BatchStatus::Abandoned);

constexpr std::size_t kSmallestComponent = 4 + 8 + 8;
constexpr std::size_t kSmallestCorrection = 4 + 8;
constexpr std::size_t kCorrectionFlagSize = 1;
constexpr std::uint8_t kCorrectionDeclined = 0;
constexpr std::uint8_t kCorrectionAccepted = 1;
constexpr std::size_t kSmallestComponentCode = 4 + 1;
constexpr std::size_t kSmallestPaste = 4 + 8;
constexpr std::size_t kSmallestMeasureRound = 6 * 4 + 4 + 4 + 4 + 4;

std::string EncodeImportMark(RecordKind kind, RecordId importId, std::uint32_t records) {
    PayloadWriter payload;
    payload.U64(importId);
    payload.U32(records);
    return EncodeFrame(kind, payload.bytes());
}

struct ImportMark {
    RecordId id = 0;
    std::uint32_t records = 0;
    bool operator==(const ImportMark&) const = default;
};

bool DecodeImportMark(std::string_view payload, ImportMark& mark) {
    PayloadReader in(payload);
    mark.id = in.U64();
    mark.records = in.U32();
    return in.ok();
}

void ReadLab(PayloadReader& in, BatchLab& lab) {
    lab.l = in.I32();
    lab.a = in.I32();
    lab.b = in.I32();
}

void ReadPastes(PayloadReader& in, std::vector<BatchPaste>& pastes) {
    pastes.resize(in.Count(kSmallestPaste));
    for (BatchPaste& paste : pastes) {
        in.Text(paste.code);
        paste.weight = in.I64();
    }
}

void WriteLab(PayloadWriter& out, const BatchLab& lab) {
    out.I32(lab.l);
    out.I32(lab.a);
    out.I32(lab.b);
}

void WritePastes(PayloadWriter& out, const std::vector<BatchPaste>& pastes) {
    out.U32(static_cast<std::uint32_t>(pastes.size()));
    for (const BatchPaste& paste : pastes) {
        out.Text(paste.code);
        out.I64(paste.weight);
    }
}

bool DecodeBatch(std::string_view payload, BatchRecord& batch) {
    PayloadReader in(payload);
    batch.time.utcSeconds = in.I64();
    batch.time.localOffsetMinutes = in.I32();
    in.Text(batch.colourCode);
    in.Text(batch.colourName);
    batch.purpose = in.U32();
    batch.weightType = in.U32();
    batch.amount = in.I32();
    batch.resolution = in.U32();
    const std::uint8_t status = in.U8();
    batch.status = static_cast<BatchStatus>(status);
    batch.finalTotal = in.I64();
    in.Text(batch.note);
    batch.components.resize(in.Count(kSmallestComponent));
    for (BatchComponent& component : batch.components) {
        in.Text(component.name);
        component.recipeWeight = in.I64();
        component.poured = in.I64();
    }
    batch.corrections.resize(in.Count(kSmallestCorrection));
    for (BatchCorrection& correction : batch.corrections) {
        correction.factorTenThousandths = in.U32();
        correction.newTotal = in.I64();
        correction.accepted = true;
    }
    // A record written before corrections could be declined ends here: all were accepted.
    bool flagsRight = true;
    if (in.ok() && in.left() > 0) {
        flagsRight = in.Count(kCorrectionFlagSize) == batch.corrections.size();
        for (std::size_t i = 0; flagsRight && i < batch.corrections.size(); ++i) {
            const std::uint8_t flag = in.U8();
            flagsRight = flag == kCorrectionAccepted || flag == kCorrectionDeclined;
            batch.corrections[i].accepted = flag == kCorrectionAccepted;
        }
    }
    // Then each component's code and addition mark; a record written before they were
    // kept ends earlier, and its components have no code and are no additions.
    bool codesRight = true;
    for (BatchComponent& component : batch.components) {
        component.code.clear();
        component.addition = false;
    }
    if (in.ok() && flagsRight && in.left() > 0) {
        codesRight = in.Count(kSmallestComponentCode) == batch.components.size();
        for (std::size_t i = 0; codesRight && i < batch.components.size(); ++i) {
            in.Text(batch.components[i].code);
            batch.components[i].addition = in.Flag();
        }
    }
    // Then the batch's id; a record written before batches had ids is a batch of its own.
    batch.batchId = 0;
    if (in.ok() && codesRight && in.left() > 0) batch.batchId = in.U64();
    // Then the rounds of correction by measurement; older records end before them.
    batch.measureRounds.clear();
    if (in.ok() && codesRight && in.left() > 0) {
        batch.measureRounds.resize(in.Count(kSmallestMeasureRound));
        for (BatchMeasureRound& round : batch.measureRounds) {
            ReadLab(in, round.target);
            ReadLab(in, round.measured);
            round.deltaE = in.U32();
            round.predicted = in.U32();
            ReadPastes(in, round.proposed);
            ReadPastes(in, round.poured);
        }
    }
    return in.ok() && flagsRight && codesRight && status <= kLastStatus;
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

bool IsMarkerLetter(char c) { return c >= 'A' && c <= 'Z'; }

// Whether `bytes` could be the first bytes of a frame marker of some kind.
bool StartsLikeMarker(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size() && i < kMarkerSize; ++i) {
        const bool right = i < sizeof kMarkerPrefix ? bytes[i] == kMarkerPrefix[i] : IsMarkerLetter(bytes[i]);
        if (!right) return false;
    }
    return true;
}

bool MarkerAt(std::string_view bytes, std::size_t at) {
    return bytes.size() - at >= kMarkerSize && StartsLikeMarker(bytes.substr(at, kMarkerSize));
}

RecordKind KindAt(std::string_view bytes, std::size_t at) {
    RecordKind kind;
    std::memcpy(kind.data(), bytes.data() + at, kMarkerSize);
    return kind;
}

// The payload length of a complete frame with a matching checksum at `at`, or -1.
std::int64_t IntactFrameAt(std::string_view bytes, std::size_t at) {
    if (!MarkerAt(bytes, at) || bytes.size() - at < kRecordFrameOverhead) return -1;
    const std::uint32_t length = ReadU32(bytes, at + kMarkerSize);
    if (length > kMaxRecordPayload || bytes.size() - at - kRecordFrameOverhead < length) return -1;
    const std::size_t checked = at + kMarkerSize;
    const std::uint32_t crc = Crc32(bytes.data() + checked, kLengthSize + length);
    return crc == ReadU32(bytes, checked + kLengthSize + length) ? static_cast<std::int64_t>(length) : -1;
}

std::size_t NextIntactFrame(std::string_view bytes, std::size_t from) {
    for (std::size_t at = from; at < bytes.size(); ++at) {
        const void* found = std::memchr(bytes.data() + at, kMarkerPrefix[0], bytes.size() - at);
        if (!found) break;
        at = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        if (IntactFrameAt(bytes, at) >= 0) return at;
    }
    return bytes.size();
}

// Whether the record at `at` may be whole once the bytes after `bytes` are read: what
// is there is no more than the start of a record that its length says runs on.
bool RunsPastEnd(std::string_view bytes, std::size_t at) {
    const std::size_t rest = bytes.size() - at;
    if (rest < kRecordFrameOverhead) return StartsLikeMarker(bytes.substr(at));
    const std::uint32_t length = ReadU32(bytes, at + kMarkerSize);
    return MarkerAt(bytes, at) && length <= kMaxRecordPayload && rest - kRecordFrameOverhead < length;
}

// Why the bytes from `at` up to the next intact record at `next` are no record.
JournalDamageKind ClassifyDamage(std::string_view bytes, std::size_t at, std::size_t next) {
    const std::size_t rest = bytes.size() - at;
    if (!MarkerAt(bytes, at)) {
        const bool markerCutShort = next == bytes.size() && rest < kMarkerSize && StartsLikeMarker(bytes.substr(at));
        return markerCutShort ? JournalDamageKind::TruncatedRecord : JournalDamageKind::UnexpectedBytes;
    }
    if (rest < kRecordFrameOverhead) return JournalDamageKind::TruncatedRecord;
    const std::uint64_t frameEnd = at + kRecordFrameOverhead + std::uint64_t{ReadU32(bytes, at + kMarkerSize)};
    // A record that runs into the next one, or past the end, stopped being written.
    return frameEnd > next ? JournalDamageKind::TruncatedRecord : JournalDamageKind::BadChecksum;
}

}  // namespace

std::uint32_t RecordPayloadLength(std::string_view head) { return ReadU32(head, kMarkerSize); }

std::string EncodeJournalHeader() {
    PayloadWriter out;
    out.bytes().assign(kHeaderMagic, sizeof kHeaderMagic);
    out.U32(kJournalVersion);
    return std::move(out.bytes());
}

std::string EncodeBatchFrame(const BatchRecord& batch) {
    PayloadWriter payload;
    payload.I64(batch.time.utcSeconds);
    payload.I32(batch.time.localOffsetMinutes);
    payload.Text(batch.colourCode);
    payload.Text(batch.colourName);
    payload.U32(batch.purpose);
    payload.U32(batch.weightType);
    payload.I32(batch.amount);
    payload.U32(batch.resolution);
    payload.U8(static_cast<std::uint8_t>(batch.status));
    payload.I64(batch.finalTotal);
    payload.Text(batch.note);
    payload.U32(static_cast<std::uint32_t>(batch.components.size()));
    for (const BatchComponent& component : batch.components) {
        payload.Text(component.name);
        payload.I64(component.recipeWeight);
        payload.I64(component.poured);
    }
    payload.U32(static_cast<std::uint32_t>(batch.corrections.size()));
    for (const BatchCorrection& correction : batch.corrections) {
        payload.U32(correction.factorTenThousandths);
        payload.I64(correction.newTotal);
    }
    payload.U32(static_cast<std::uint32_t>(batch.corrections.size()));
    for (const BatchCorrection& correction : batch.corrections)
        payload.U8(correction.accepted ? kCorrectionAccepted : kCorrectionDeclined);
    payload.U32(static_cast<std::uint32_t>(batch.components.size()));
    for (const BatchComponent& component : batch.components) {
        payload.Text(component.code);
        payload.U8(component.addition ? 1 : 0);
    }
    payload.U64(batch.batchId);
    // A batch without rounds is written as before they were kept, byte for byte; a later
    // version with fields of its own writes the count, 0 or more, before them.
    if (!batch.measureRounds.empty()) payload.U32(static_cast<std::uint32_t>(batch.measureRounds.size()));
    for (const BatchMeasureRound& round : batch.measureRounds) {
        WriteLab(payload, round.target);
        WriteLab(payload, round.measured);
        payload.U32(round.deltaE);
        payload.U32(round.predicted);
        WritePastes(payload, round.proposed);
        WritePastes(payload, round.poured);
    }
    return EncodeFrame(kBatchKind, payload.bytes());
}

std::string EncodeFrame(const RecordKind& kind, std::string_view payload) {
    if (payload.size() > kMaxRecordPayload) return {};
    PayloadWriter frame;
    frame.bytes().assign(kind.data(), kMarkerSize);
    frame.U32(static_cast<std::uint32_t>(payload.size()));
    frame.bytes() += payload;
    frame.U32(Crc32(frame.bytes().data() + kMarkerSize, kLengthSize + payload.size()));
    return std::move(frame.bytes());
}

std::string EncodeImport(RecordId importId, std::uint32_t records, std::string_view frames) {
    if (frames.empty()) return {};
    std::string bytes = EncodeImportMark(kImportOpenKind, importId, records);
    bytes += frames;
    bytes += EncodeImportMark(kImportCloseKind, importId, records);
    return bytes;
}

std::string EncodeImportAbandoned() { return EncodeImportMark(kImportCloseKind, 0, 0); }

JournalTail ClassifyJournalTail(std::string_view head, std::uint64_t size, std::string_view tail) {
    if (size == 0) return JournalTail::Empty;
    if (size < kJournalHeaderSize)
        return EncodeJournalHeader().starts_with(head) ? JournalTail::HeaderCutShort : JournalTail::NotAJournal;
    if (head.size() < kJournalHeaderSize || std::memcmp(head.data(), kHeaderMagic, sizeof kHeaderMagic) != 0 ||
        ReadU32(head, sizeof kHeaderMagic) != kJournalVersion)
        return JournalTail::NotAJournal;
    if (size == kJournalHeaderSize) return JournalTail::HeaderOnly;
    // The last record starts at the last marker whose length reaches exactly to the end
    // and whose checksum holds; a marker inside a note is no such start. Checksums are
    // taken for a few such markers only, so that bytes made of nothing but markers
    // cost no more.
    std::size_t checked = 0;
    for (std::size_t at = tail.size() < kRecordFrameOverhead ? 0 : tail.size() - kRecordFrameOverhead + 1; at-- > 0;) {
        if (!MarkerAt(tail, at) || ReadU32(tail, at + kMarkerSize) != tail.size() - at - kRecordFrameOverhead) continue;
        if (IntactFrameAt(tail, at) >= 0) return JournalTail::IntactRecord;
        if (++checked == kTailChecksumsTried) break;
    }
    return JournalTail::Damaged;
}

std::vector<std::string_view> IntactFrames(std::string_view bytes) {
    std::vector<std::string_view> frames;
    for (std::size_t at = NextIntactFrame(bytes, 0); at < bytes.size();) {
        const std::size_t size = static_cast<std::size_t>(IntactFrameAt(bytes, at)) + kRecordFrameOverhead;
        frames.push_back(bytes.substr(at, size));
        at = NextIntactFrame(bytes, at + size);
    }
    return frames;
}

bool JournalContents::ParseFrom(std::size_t start, bool more) {
    const std::string_view bytes = bytes_.view();
    parsed_ = bytes.size();
    if (newerVersion_) return true;
    // One batch reused for every record: checking a record then allocates nothing.
    BatchRecord scratch;
    for (std::size_t at = start; at < bytes.size();) {
        const std::int64_t length = IntactFrameAt(bytes, at);
        if (length < 0 && more) {
            parsed_ = at;
            return RunsPastEnd(bytes, at);
        }
        if (length < 0) {
            const std::size_t next = NextIntactFrame(bytes, at + 1);
            DropImport(false);
            damage_.push_back({base_ + at, ++records_, ClassifyDamage(bytes, at, next)});
            at = next;
            continue;
        }
        const std::size_t payloadAt = at + kMarkerSize + kLengthSize;
        const std::size_t payloadSize = static_cast<std::size_t>(length);
        last_ = {base_ + at, base_ + payloadAt + payloadSize + kChecksumSize, ReadU32(bytes, payloadAt + payloadSize)};
        if (KindAt(bytes, at) != kBatchKind) {
            // Another kind's record: kept for whoever reads that kind, whole as far as
            // the frame can tell.
            TakeFrame({KindAt(bytes, at), base_ + at, base_ + payloadAt, payloadSize, ++records_});
        } else {
            DropImport(true);  // no import holds batches
            if (DecodeBatch(bytes.substr(payloadAt, payloadSize), scratch)) {
                entries_.push_back({base_ + payloadAt, payloadSize, scratch.time.utcSeconds, scratch.batchId});
                ++records_;
            } else {
                damage_.push_back({base_ + at, ++records_, JournalDamageKind::BadPayload});
            }
        }
        at += kRecordFrameOverhead + payloadSize;
    }
    return true;
}

void JournalContents::DropImport(bool unfinished) {
    if (!import_) return;
    if (unfinished) damage_.push_back(import_->opening);
    import_.reset();
}

void JournalContents::TakeFrame(const JournalFrame& frame) {
    const bool opening = frame.kind == kImportOpenKind;
    const bool closing = frame.kind == kImportCloseKind;
    ImportMark mark;
    const bool markRight =
        (opening || closing) && DecodeImportMark(Payload(frame), mark) && (closing || mark.records > 0);
    if (closing && import_ && markRight && ImportMark{import_->id, import_->records} == mark &&
        import_->frames.size() == mark.records) {
        frames_.insert(frames_.end(), import_->frames.begin(), import_->frames.end());
        import_.reset();
        return;
    }
    if (import_ && !opening && !closing && import_->frames.size() < import_->records) {
        import_->frames.push_back(frame);
        return;
    }
    // Anything else ends an open import unfinished: a record of another write follows it.
    DropImport(true);
    if (opening && markRight) {
        const JournalDamage unfinished = {frame.offset, frame.recordNumber, JournalDamageKind::TruncatedRecord};
        import_ = OpenImport{mark.id, mark.records, unfinished, {}};
    } else if (opening || closing) {
        // A closing record with no import open is what is left of one already dropped,
        // or a writer's word that the import before it was abandoned.
        if (!markRight) damage_.push_back({frame.offset, frame.recordNumber, JournalDamageKind::BadPayload});
    } else {
        frames_.push_back(frame);
    }
}

void JournalContents::ParseMore(std::string_view more) {
    bytes_.Append(more);
    ParseFrom(parsed_, false);
}

bool JournalContents::ReadMore(JournalFile& file, std::size_t length) {
    char* const room = bytes_.Extend(length);
    if (file.ReadInto(Size() - length, length, room)) return true;
    bytes_.Shrink(length);
    return false;
}

bool JournalContents::ParseRead(bool more) {
    return base_ == 0 && parsed_ == 0 ? ParseWhole(more) : ParseFrom(parsed_, more);
}

void JournalContents::Forget() {
    std::size_t keep = parsed_;
    if (import_) keep = std::min(keep, static_cast<std::size_t>(import_->opening.offset - base_));
    bytes_.DropFront(keep);
    base_ += keep;
    parsed_ -= keep;
    frames_.clear();
    entries_.clear();
}

void JournalContents::DecodeInto(std::size_t index, BatchRecord& batch) const {
    const JournalEntry& entry = entries_[index];
    DecodeBatch(bytes_.view().substr(entry.payloadOffset - base_, entry.payloadSize), batch);
}

BatchRecord JournalContents::Batch(std::size_t index) const {
    BatchRecord batch;
    DecodeInto(index, batch);
    return batch;
}

bool MarkHolds(const JournalMark& mark, std::string_view bytes) {
    const std::int64_t length = IntactFrameAt(bytes, 0);
    return length >= 0 && static_cast<std::uint64_t>(length) + kRecordFrameOverhead == bytes.size() &&
           mark.size - mark.lastFrameAt == bytes.size() &&
           ReadU32(bytes, bytes.size() - kChecksumSize) == mark.lastFrameCrc;
}

JournalContents JournalContents::Resume(const JournalMark& mark) {
    JournalContents contents;
    contents.base_ = mark.size;
    contents.records_ = mark.records;
    contents.damage_ = mark.damage;
    contents.last_ = {mark.lastFrameAt, mark.size, mark.lastFrameCrc};
    return contents;
}

std::optional<JournalMark> JournalContents::Mark() const {
    // Only a log whose last record ends what was read: damage or a record cut short at
    // the end may yet be written after, and is left for the next full read.
    if (!appendable_ || newerVersion_ || import_ || last_.end == 0 || last_.end != Size() || parsed_ != bytes_.size())
        return std::nullopt;
    return JournalMark{Size(), records_, last_.at, last_.crc, damage_};
}

JournalContents JournalContents::Parse(FileBytes bytes) {
    JournalContents contents;
    contents.bytes_ = std::move(bytes);
    contents.ParseWhole(false);
    return contents;
}

bool JournalContents::ParseWhole(bool more) {
    const std::string_view header = bytes_.view();
    parsed_ = header.size();
    if (header.empty()) return true;
    if (header.size() < kJournalHeaderSize) {
        // The first write of a new file stopped inside its header: the writer completes it.
        const bool cutShort = EncodeJournalHeader().starts_with(header);
        appendable_ = cutShort;
        damage_.push_back({0, 0, cutShort ? JournalDamageKind::TruncatedRecord : JournalDamageKind::BadHeader});
        return true;
    }
    const std::uint32_t version = ReadU32(header, sizeof kHeaderMagic);
    const bool magicRight = std::memcmp(header.data(), kHeaderMagic, sizeof kHeaderMagic) == 0;
    if (magicRight && version > kJournalVersion) {
        appendable_ = false;
        newerVersion_ = true;
        damage_.push_back({0, 0, JournalDamageKind::NewerVersion});
        return true;
    }
    if (!magicRight || version != kJournalVersion) {
        // Not written over: the records behind a damaged header are still read.
        appendable_ = false;
        damage_.push_back({0, 0, JournalDamageKind::BadHeader});
    }
    return ParseFrom(kJournalHeaderSize, more);
}

}  // namespace lacqueron
