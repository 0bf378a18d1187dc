#include "ledger/Ledger.h"

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

// The id after a record's fields, then the payload done.
std::string WriteDone(PayloadWriter& out, RecordId id) {
    WriteRecordId(out, id);
    return std::move(out.bytes());
}

bool ReadDone(PayloadReader& in, const ComponentKey& key, RecordId* id) {
    const RecordId read = ReadRecordId(in);
    if (id) *id = read;
    return in.ok() && !key.empty();
}

// Decodes a frame's payload into a new record at the end of `records`, unless a record
// of its id came first; false, with nothing added, when its fields do not read.
template <class Record>
bool DecodeOnto(std::string_view payload, bool (*decode)(std::string_view, Record&, RecordId*),
                std::vector<Record>& records, RecordLog& log) {
    Record record;
    RecordId id = 0;
    if (!decode(payload, record, &id)) return false;
    if (log.FirstOfId(id)) records.push_back(std::move(record));
    return true;
}

}  // namespace

std::string EncodePrice(const PriceRecord& price, RecordId id) {
    PayloadWriter out;
    WriteHead(out, price.saved, price.key);
    out.I64(price.perKilogram);
    out.U8(price.from ? kHasStart : kNoStart);
    out.I32(price.from.value_or(0));
    return WriteDone(out, id);
}

bool DecodePrice(std::string_view payload, PriceRecord& price, RecordId* id) {
    PayloadReader in(payload);
    ReadHead(in, price.saved, price.key);
    price.perKilogram = in.I64();
    const bool hasStart = in.Flag();
    const DayNumber from = in.I32();
    price.from = hasStart ? std::optional<DayNumber>(from) : std::nullopt;
    return ReadDone(in, price.key, id) && price.perKilogram >= 0;
}

std::string EncodeReceipt(const ReceiptRecord& receipt, RecordId id) {
    PayloadWriter out;
    WriteHead(out, receipt.saved, receipt.key);
    out.I64(receipt.grams);
    out.I32(receipt.day);
    out.Text(receipt.note);
    return WriteDone(out, id);
}

bool DecodeReceipt(std::string_view payload, ReceiptRecord& receipt, RecordId* id) {
    PayloadReader in(payload);
    ReadHead(in, receipt.saved, receipt.key);
    receipt.grams = in.I64();
    receipt.day = in.I32();
    in.Text(receipt.note);
    return ReadDone(in, receipt.key, id);
}

std::string EncodeCount(const CountRecord& count, RecordId id) {
    PayloadWriter out;
    WriteHead(out, count.saved, count.key);
    out.I64(count.counted);
    out.I64(count.correction);
    out.I32(count.day);
    return WriteDone(out, id);
}

bool DecodeCount(std::string_view payload, CountRecord& count, RecordId* id) {
    PayloadReader in(payload);
    ReadHead(in, count.saved, count.key);
    count.counted = in.I64();
    count.correction = in.I64();
    count.day = in.I32();
    return ReadDone(in, count.key, id);
}

std::string EncodeMinimum(const MinimumRecord& minimum, RecordId id) {
    PayloadWriter out;
    WriteHead(out, minimum.saved, minimum.key);
    out.I64(minimum.grams);
    return WriteDone(out, id);
}

bool DecodeMinimum(std::string_view payload, MinimumRecord& minimum, RecordId* id) {
    PayloadReader in(payload);
    ReadHead(in, minimum.saved, minimum.key);
    minimum.grams = in.I64();
    return ReadDone(in, minimum.key, id);
}

LedgerStore::LedgerStore(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}

JournalLoadResult LedgerStore::Load() { return log_.Load(*this); }

bool LedgerStore::Refresh() { return log_.Refresh(*this); }

void LedgerStore::Restart() {
    prices_.clear();
    receipts_.clear();
    counts_.clear();
    minimums_.clear();
}

bool LedgerStore::Read(const JournalFrame& frame, std::string_view payload) {
    if (frame.kind == kPriceKind) return DecodeOnto(payload, DecodePrice, prices_, log_);
    if (frame.kind == kReceiptKind) return DecodeOnto(payload, DecodeReceipt, receipts_, log_);
    if (frame.kind == kCountKind) return DecodeOnto(payload, DecodeCount, counts_, log_);
    if (frame.kind == kMinimumKind) return DecodeOnto(payload, DecodeMinimum, minimums_, log_);
    return true;
}

// The time a record was saved is left out of a retry's key: a retry is the same record
// entered again a moment later.
template <class Record>
JournalAppendResult LedgerStore::Add(const RecordKind& kind, const std::vector<Record>& records,
                                     std::string (*encode)(const Record&, RecordId)) {
    const auto frames = [&](const std::vector<RecordId>& ids, bool key) {
        std::string bytes;
        for (std::size_t i = 0; i < records.size(); ++i) {
            Record record = records[i];
            if (key) record.saved = {};
            const std::string frame = EncodeFrame(kind, encode(record, ids[i]));
            if (frame.empty()) return std::string();
            bytes += frame;
        }
        return bytes;
    };
    return log_.Write(records.size(), records.size(), frames, *this);
}

JournalAppendResult LedgerStore::AddPrices(const std::vector<PriceRecord>& prices) {
    return Add(kPriceKind, prices, EncodePrice);
}

JournalAppendResult LedgerStore::AddPrice(const PriceRecord& price) { return AddPrices({price}); }

JournalAppendResult LedgerStore::AddReceipt(const ReceiptRecord& receipt) {
    return Add(kReceiptKind, std::vector{receipt}, EncodeReceipt);
}

JournalAppendResult LedgerStore::AddCount(const CountRecord& count) {
    return Add(kCountKind, std::vector{count}, EncodeCount);
}

JournalAppendResult LedgerStore::AddMinimum(const MinimumRecord& minimum) {
    return Add(kMinimumKind, std::vector{minimum}, EncodeMinimum);
}

const std::vector<PriceRecord>& LedgerStore::Prices() const { return prices_; }
const std::vector<ReceiptRecord>& LedgerStore::Receipts() const { return receipts_; }
const std::vector<CountRecord>& LedgerStore::Counts() const { return counts_; }
const std::vector<MinimumRecord>& LedgerStore::Minimums() const { return minimums_; }
const std::vector<JournalDamage>& LedgerStore::Damage() const { return log_.Damage(); }

}  // namespace lacqueron
