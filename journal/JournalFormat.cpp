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
constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;
constexpr std::size_t kCrcSlices = 8;
constexpr std::size_t kTailChecksumsTried = 4;
constexpr std::uint8_t kLastStatus = static_cast<std::uint8_t>(BatchStatus::Abandoned);

// Slice-by-8 tables: eight input bytes per step, so a journal of many megabytes opens quickly.
using CrcTables = std::array<std::array<std::uint32_t, 256>, kCrcSlices>;
constexpr CrcTables MakeCrcTables() {
    CrcTables tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n)
        for (std::size_t slice = 1; slice < kCrcSlices; ++slice)
            tables[slice][n] = (tables[slice - 1][n] >> 8) ^ tables[0][tables[slice - 1][n] & 0xFF];
    return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

constexpr std::size_t kSmallestComponent = 4 + 8 + 8;
constexpr std::size_t kSmallestCorrection = 4 + 8;
constexpr std::size_t kCorrectionFlagSize = 1;
constexpr std::uint8_t kCorrectionDeclined = 0;
constexpr std::uint8_t kCorrectionAccepted = 1;
constexpr std::size_t kSmallestComponentCode = 4 + 1;

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

std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t crc) noexcept {
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (; size >= kCrcSlices; size -= kCrcSlices, p += kCrcSlices) {
        const std::uint32_t low = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        crc = kCrcTables[7][low & 0xFF] ^ kCrcTables[6][low >> 8 & 0xFF] ^ kCrcTables[5][low >> 16 & 0xFF] ^
              kCrcTables[4][low >> 24] ^ kCrcTables[3][p[4]] ^ kCrcTables[2][p[5]] ^ kCrcTables[1][p[6]] ^
              kCrcTables[0][p[7]];
    }
    for (; size > 0; --size, ++p) crc = kCrcTables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

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

void JournalContents::ParseFrom(std::size_t start) {
    if (newerVersion_) return;
    const std::string_view bytes = bytes_.view();
    // One batch reused for every record: checking a record then allocates nothing.
    BatchRecord scratch;
    for (std::size_t at = start; at < bytes.size();) {
        const std::int64_t length = IntactFrameAt(bytes, at);
        if (length < 0) {
            const std::size_t next = NextIntactFrame(bytes, at + 1);
            damage_.push_back({at, ++records_, ClassifyDamage(bytes, at, next)});
            at = next;
            continue;
        }
        const JournalEntry entry = {at + kMarkerSize + kLengthSize, static_cast<std::size_t>(length), 0};
        if (KindAt(bytes, at) != kBatchKind) {
            // Another kind's record: kept for whoever reads that kind, whole as far as
            // the frame can tell.
            frames_.push_back({KindAt(bytes, at), at, entry.payloadOffset, entry.payloadSize, ++records_});
        } else if (DecodeBatch(bytes.substr(entry.payloadOffset, entry.payloadSize), scratch)) {
            entries_.push_back(entry);
            entries_.back().utcSeconds = scratch.time.utcSeconds;
            entries_.back().batchId = scratch.batchId;
            ++records_;
        } else {
            damage_.push_back({at, ++records_, JournalDamageKind::BadPayload});
        }
        at += kRecordFrameOverhead + entry.payloadSize;
    }
}

void JournalContents::ParseMore(std::string_view more) {
    const std::size_t start = bytes_.size();
    bytes_.Append(more);
    ParseFrom(start);
}

void JournalContents::DecodeInto(std::size_t index, BatchRecord& batch) const {
    const JournalEntry& entry = entries_[index];
    DecodeBatch(bytes_.view().substr(entry.payloadOffset, entry.payloadSize), batch);
}

BatchRecord JournalContents::Batch(std::size_t index) const {
    BatchRecord batch;
    DecodeInto(index, batch);
    return batch;
}

JournalContents JournalContents::Parse(FileBytes bytes) {
    JournalContents contents;
    contents.bytes_ = std::move(bytes);
    const std::string_view header = contents.bytes_.view();
    if (header.empty()) return contents;
    if (header.size() < kJournalHeaderSize) {
        // The first write of a new file stopped inside its header: the writer completes it.
        const bool cutShort = EncodeJournalHeader().starts_with(header);
        contents.appendable_ = cutShort;
        contents.damage_.push_back(
            {0, 0, cutShort ? JournalDamageKind::TruncatedRecord : JournalDamageKind::BadHeader});
        return contents;
    }
    const std::uint32_t version = ReadU32(header, sizeof kHeaderMagic);
    const bool magicRight = std::memcmp(header.data(), kHeaderMagic, sizeof kHeaderMagic) == 0;
    if (magicRight && version > kJournalVersion) {
        contents.appendable_ = false;
        contents.newerVersion_ = true;
        contents.damage_.push_back({0, 0, JournalDamageKind::NewerVersion});
        return contents;
    }
    if (!magicRight || version != kJournalVersion) {
        // Not written over: the records behind a damaged header are still read.
        contents.appendable_ = false;
        contents.damage_.push_back({0, 0, JournalDamageKind::BadHeader});
    }
    contents.ParseFrom(kJournalHeaderSize);
    return contents;
}

}  // namespace lacqueron
