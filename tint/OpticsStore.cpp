#include "tint/OpticsStore.h"

#include "core/Utf8.h"
#include "journal/RecordPayload.h"

namespace lacqueron {

namespace {

constexpr std::uint8_t kCalibrated = 0;
constexpr std::uint8_t kVendor = 1;
constexpr std::size_t kSmallestText = 4;

void WriteUtf8(PayloadWriter& out, const std::string& text) { out.Text(FromUtf8Lenient(text)); }

void ReadUtf8(PayloadReader& in, std::string& text) {
    WideString wide;
    in.Text(wide);
    text = ToUtf8(wide);
}

std::string Encode(const OpticsEntry& entry, RecordId id) {
    PayloadWriter out;
    WriteRecordId(out, id);
    out.I64(entry.time.utcSeconds);
    out.I32(entry.time.localOffsetMinutes);
    out.U8(entry.vendor ? kVendor : kCalibrated);
    WriteUtf8(out, entry.optics);
    WriteUtf8(out, entry.source);
    out.U32(entry.median);
    out.U32(entry.largest);
    out.U32(static_cast<std::uint32_t>(entry.outliers.size()));
    for (const std::string& outlier : entry.outliers) WriteUtf8(out, outlier);
    return EncodeFrame(kOpticsKind, out.bytes());
}

}  // namespace

const OpticsEntry* OpticsStore::InForce() const noexcept {
    if (entries_.empty() || entries_.back().vendor) return nullptr;
    return &entries_.back();
}

bool OpticsStore::Read(const JournalFrame& frame, std::string_view payload) {
    if (frame.kind != kOpticsKind) return true;
    PayloadReader in(payload);
    OpticsEntry entry;
    entry.id = in.U64();
    entry.time.utcSeconds = in.I64();
    entry.time.localOffsetMinutes = in.I32();
    const std::uint8_t kind = in.U8();
    entry.vendor = kind == kVendor;
    ReadUtf8(in, entry.optics);
    ReadUtf8(in, entry.source);
    entry.median = in.U32();
    entry.largest = in.U32();
    entry.outliers.resize(in.Count(kSmallestText));
    for (std::string& outlier : entry.outliers) ReadUtf8(in, outlier);
    if (!in.ok() || kind > kVendor) return false;
    if (log_.FirstOfId(entry.id)) entries_.push_back(std::move(entry));
    return true;
}

JournalAppendResult OpticsStore::Keep(const OpticsEntry& entry) {
    return log_.Write(1, 1, [&](const std::vector<RecordId>& ids, bool) { return Encode(entry, ids.front()); }, *this);
}

}  // namespace lacqueron
