#include "ledger/Ledger.h"

#include <algorithm>

#include "journal/RecordPayload.h"

namespace lacqueron {
namespace {

constexpr std::uint8_t kNoStart = 0;
constexpr std::uint8_t kHasStart = 1;

// The fields every ledger record starts with.
void WriteHead(PayloadWriter& out, const BatchTime& saved, const ComponentKey& key) {
    out.I64(saved.utcSeconds);
    out.I32(saved.localOffsetMinutes);
    out.Text(key);
}

void ReadHead(PayloadReader& in, BatchTime& saved, ComponentKey& key) {
    saved.utcSeconds = in.I64();
    saved.localOffsetMinutes = in.I32();
    in.Text(key);
}

bool ReadDone(const PayloadReader& in, const ComponentKey& key) { return in.ok() && !key.empty(); }

// Decodes a frame's payload into a new record at the end of `records`; false, with
// nothing added, when its fields do not read.
template <class Record>
bool DecodeOnto(std::string_view payload, bool (*decode)(std::string_view, Record&), std::vector<Record>& records) {
    Record record;
    if (!decode(payload, record)) return false;
    records.push_back(std::move(record));
    return true;
}

}  // namespace

std::string EncodePrice(const PriceRecord& price) {
    PayloadWriter out;
    WriteHead(out, price.saved, price.key);
    out.I64(price.perKilogram);
    out.U8(price.from ? kHasStart : kNoStart);
    out.I32(price.from.value_or(0));
    return std::move(out.bytes());
}

bool DecodePrice(std::string_view payload, PriceRecord& price) {
    PayloadReader in(payload);
    ReadHead(in, price.saved, price.key);
    price.perKilogram = in.I64();
    const bool hasStart = in.Flag();
    const DayNumber from = in.I32();
    price.from = hasStart ? std::optional<DayNumber>(from) : std::nullopt;
    return ReadDone(in, price.key) && price.perKilogram >= 0;
}

std::string EncodeReceipt(const ReceiptRecord& receipt) {
    PayloadWriter out;
    WriteHead(out, receipt.saved, receipt.key);
    out.I64(receipt.grams);
    out.I32(receipt.day);
    out.Text(receipt.note);
    return std::move(out.bytes());
}

bool DecodeReceipt(std::string_view payload, ReceiptRecord& receipt) {
    PayloadReader in(payload);
    ReadHead(in, receipt.saved, receipt.key);
    receipt.grams = in.I64();
    receipt.day = in.I32();
    in.Text(receipt.note);
    return ReadDone(in, receipt.key);
}

std::string EncodeCount(const CountRecord& count) {
    PayloadWriter out;
    WriteHead(out, count.saved, count.key);
    out.I64(count.counted);
    out.I64(count.correction);
    out.I32(count.day);
    return std::move(out.bytes());
}

bool DecodeCount(std::string_view payload, CountRecord& count) {
    PayloadReader in(payload);
    ReadHead(in, count.saved, count.key);
    count.counted = in.I64();
    count.correction = in.I64();
    count.day = in.I32();
    return ReadDone(in, count.key);
}

std::string EncodeMinimum(const MinimumRecord& minimum) {
    PayloadWriter out;
    WriteHead(out, minimum.saved, minimum.key);
    out.I64(minimum.grams);
    return std::move(out.bytes());
}

bool DecodeMinimum(std::string_view payload, MinimumRecord& minimum) {
    PayloadReader in(payload);
    ReadHead(in, minimum.saved, minimum.key);
    minimum.grams = in.I64();
    return ReadDone(in, minimum.key);
}

LedgerStore::LedgerStore(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}

JournalLoadResult LedgerStore::Load() {
    const JournalLoadResult result = log_.Load();
    Index();
    return result;
}

bool LedgerStore::Refresh() {
    const std::uint64_t size = sizeIndexed_;
    if (log_.Refresh() != JournalLoadResult::Loaded) return false;
    Index();
    return sizeIndexed_ != size;
}

void LedgerStore::Index() {
    const JournalContents& log = log_.Contents();
    if (log.Size() != sizeIndexed_) ++revision_;
    if (log.Size() < sizeIndexed_ || log.Frames().size() < framesIndexed_) {
        prices_.clear();
        receipts_.clear();
        counts_.clear();
        minimums_.clear();
        payloadDamage_.clear();
        framesIndexed_ = 0;
    }
    for (; framesIndexed_ < log.Frames().size(); ++framesIndexed_) {
        const JournalFrame& frame = log.Frames()[framesIndexed_];
        const std::string_view payload = log.Payload(frame);
        bool read = true;
        if (frame.kind == kPriceKind)
            read = DecodeOnto(payload, DecodePrice, prices_);
        else if (frame.kind == kReceiptKind)
            read = DecodeOnto(payload, DecodeReceipt, receipts_);
        else if (frame.kind == kCountKind)
            read = DecodeOnto(payload, DecodeCount, counts_);
        else if (frame.kind == kMinimumKind)
            read = DecodeOnto(payload, DecodeMinimum, minimums_);
        if (!read) payloadDamage_.push_back({frame.offset, frame.recordNumber, JournalDamageKind::BadPayload});
    }
    sizeIndexed_ = log.Size();
    damage_ = log.Damage();
    damage_.insert(damage_.end(), payloadDamage_.begin(), payloadDamage_.end());
    std::stable_sort(damage_.begin(), damage_.end(),
                     [](const JournalDamage& a, const JournalDamage& b) { return a.offset < b.offset; });
}

JournalAppendResult LedgerStore::AppendFrames(std::string frames) {
    if (frames.empty()) return JournalAppendResult::Appended;
    const JournalAppendResult result = log_.AppendFrame(std::move(frames));
    Index();
    return result;
}

JournalAppendResult LedgerStore::AddPrices(const std::vector<PriceRecord>& prices) {
    std::string frames;
    for (const PriceRecord& price : prices) {
        const std::string frame = EncodeFrame(kPriceKind, EncodePrice(price));
        if (frame.empty()) return JournalAppendResult::TooLarge;
        frames += frame;
    }
    return AppendFrames(std::move(frames));
}

JournalAppendResult LedgerStore::AddPrice(const PriceRecord& price) { return AddPrices({price}); }

JournalAppendResult LedgerStore::AddReceipt(const ReceiptRecord& receipt) {
    return AppendFrames(EncodeFrame(kReceiptKind, EncodeReceipt(receipt)));
}

JournalAppendResult LedgerStore::AddCount(const CountRecord& count) {
    return AppendFrames(EncodeFrame(kCountKind, EncodeCount(count)));
}

JournalAppendResult LedgerStore::AddMinimum(const MinimumRecord& minimum) {
    return AppendFrames(EncodeFrame(kMinimumKind, EncodeMinimum(minimum)));
}

const std::vector<PriceRecord>& LedgerStore::Prices() const { return prices_; }
const std::vector<ReceiptRecord>& LedgerStore::Receipts() const { return receipts_; }
const std::vector<CountRecord>& LedgerStore::Counts() const { return counts_; }
const std::vector<MinimumRecord>& LedgerStore::Minimums() const { return minimums_; }
const std::vector<JournalDamage>& LedgerStore::Damage() const { return damage_; }

}  // namespace lacqueron
