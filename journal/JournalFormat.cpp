#include "journal/JournalFormat.h"

#include <array>
#include <cstring>

#include "journal/Utf8.h"

namespace lacqueron {
namespace {

constexpr char kHeaderMagic[8] = {'L', 'Q', 'J', 'O', 'U', 'R', 'N', 'L'};
constexpr char kRecordMarker[4] = {'L', 'Q', 'B', 'R'};
constexpr std::size_t kMarkerSize = sizeof kRecordMarker;
constexpr std::size_t kLengthSize = 4;
constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;
constexpr std::size_t kCrcSlices = 8;
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

class PayloadWriter {
public:
    void U8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void U32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(v >> shift));
    }
    void U64(std::uint64_t v) {
        for (int shift = 0; shift < 64; shift += 8) U8(static_cast<std::uint8_t>(v >> shift));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void I64(std::int64_t v) { U64(static_cast<std::uint64_t>(v)); }
    void Text(const WideString& text) {
        const std::string utf8 = ToUtf8(text);
        U32(static_cast<std::uint32_t>(utf8.size()));
        bytes_ += utf8;
    }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

// Every read checks the bytes left; the first failure sticks.
class PayloadReader {
public:
    explicit PayloadReader(std::string_view bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t left() const { return bytes_.size() - position_; }
    std::uint64_t Unsigned(std::size_t width) {
        if (!ok_ || left() < width) return ok_ = false, 0;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < width; ++i)
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[position_ + i])) << (8 * i);
        position_ += width;
        return v;
    }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::int64_t I64() { return static_cast<std::int64_t>(Unsigned(8)); }
    WideString Text() {
        const std::uint32_t size = U32();
        WideString text;
        if (!ok_ || left() < size || !FromUtf8(bytes_.substr(position_, size), text)) return ok_ = false, WideString();
        position_ += size;
        return text;
    }
    // A count of items each at least `itemSize` bytes long, refused when they cannot fit.
    std::uint32_t Count(std::size_t itemSize) {
        const std::uint32_t count = U32();
        if (ok_ && count > left() / itemSize) ok_ = false;
        return ok_ ? count : 0;
    }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

constexpr std::size_t kSmallestComponent = 4 + 8 + 8;
constexpr std::size_t kSmallestCorrection = 4 + 8;

bool DecodeBatch(std::string_view payload, BatchRecord& batch) {
    PayloadReader in(payload);
    batch.time.utcSeconds = in.I64();
    batch.time.localOffsetMinutes = in.I32();
    batch.colourCode = in.Text();
    batch.colourName = in.Text();
    batch.purpose = in.U32();
    batch.weightType = in.U32();
    batch.amount = in.I32();
    batch.resolution = in.U32();
    const std::uint8_t status = in.U8();
    batch.status = static_cast<BatchStatus>(status);
    batch.finalTotal = in.I64();
    batch.note = in.Text();
    batch.components.resize(in.Count(kSmallestComponent));
    for (BatchComponent& component : batch.components) {
        component.name = in.Text();
        component.recipeWeight = in.I64();
        component.poured = in.I64();
    }
    batch.corrections.resize(in.Count(kSmallestCorrection));
    for (BatchCorrection& correction : batch.corrections) {
        correction.factorTenThousandths = in.U32();
        correction.newTotal = in.I64();
    }
    return in.ok() && status <= kLastStatus;
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

bool MarkerAt(std::string_view bytes, std::size_t at) {
    return bytes.size() - at >= kMarkerSize && std::memcmp(bytes.data() + at, kRecordMarker, kMarkerSize) == 0;
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
        const void* found = std::memchr(bytes.data() + at, kRecordMarker[0], bytes.size() - at);
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
        const bool markerCutShort = next == bytes.size() && rest < kMarkerSize &&
                                    std::memcmp(bytes.data() + at, kRecordMarker, rest) == 0;
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
    const std::string& body = payload.bytes();
    if (body.size() > kMaxRecordPayload) return {};

    PayloadWriter frame;
    frame.bytes().assign(kRecordMarker, kMarkerSize);
    frame.U32(static_cast<std::uint32_t>(body.size()));
    frame.bytes() += body;
    frame.U32(Crc32(frame.bytes().data() + kMarkerSize, kLengthSize + body.size()));
    return std::move(frame.bytes());
}

void ParseJournalRecords(std::string_view bytes, std::uint64_t offset, ParsedJournal& into) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::int64_t length = IntactFrameAt(bytes, at);
        if (length < 0) {
            const std::size_t next = NextIntactFrame(bytes, at + 1);
            into.damage.push_back({offset + at, ++into.records, ClassifyDamage(bytes, at, next)});
            at = next;
            continue;
        }
        BatchRecord batch;
        if (DecodeBatch(bytes.substr(at + kMarkerSize + kLengthSize, static_cast<std::size_t>(length)), batch)) {
            into.batches.push_back(std::move(batch));
            ++into.records;
        } else {
            into.damage.push_back({offset + at, ++into.records, JournalDamageKind::BadPayload});
        }
        at += kRecordFrameOverhead + static_cast<std::size_t>(length);
    }
}

ParsedJournal ParseJournal(std::string_view bytes) {
    ParsedJournal parsed;
    if (bytes.empty()) return parsed;
    parsed.headerPresent = true;
    if (bytes.size() < kJournalHeaderSize) {
        parsed.appendable = false;
        parsed.damage.push_back({0, 0, JournalDamageKind::BadHeader});
        return parsed;
    }
    const std::uint32_t version = ReadU32(bytes, sizeof kHeaderMagic);
    const bool magicRight = std::memcmp(bytes.data(), kHeaderMagic, sizeof kHeaderMagic) == 0;
    if (magicRight && version > kJournalVersion) {
        parsed.appendable = false;
        parsed.damage.push_back({0, 0, JournalDamageKind::NewerVersion});
        return parsed;
    }
    if (!magicRight || version != kJournalVersion) {
        // Not written over: the records behind a damaged header are still read.
        parsed.appendable = false;
        parsed.damage.push_back({0, 0, JournalDamageKind::BadHeader});
    }
    ParseJournalRecords(bytes.substr(kJournalHeaderSize), kJournalHeaderSize, parsed);
    return parsed;
}

}  // namespace lacqueron
