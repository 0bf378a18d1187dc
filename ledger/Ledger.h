// The shop's ledger: prices, deliveries, stock counts and wanted minimums, each a
// record appended to a log of the journal's kind (ledger.lqs in the data folder). The
// cost of a recipe or a batch and the paste on hand are worked out from these records
// and the journal's batches; no figure is ever stored to be written over.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "journal/JournalFile.h"
#include "journal/JournalFormat.h"
#include "journal/JournalStore.h"
#include "journal/JournalText.h"
#include "journal/RecordLog.h"

namespace lacqueron {

// How the ledger's file names itself in its messages.
inline constexpr LogWords kLedgerWords = {u"файл цен и остатков",
                                          u"Цены и остатки заняты другим рабочим местом. Попробуйте ещё раз.",
                                          u"Файл цен и остатков",
                                          u"записей",
                                          u"файл не похож на файл цен и остатков",
                                          u"файл цен и остатков записан более новой версией программы"};

// Money is whole kopecks: never binary floating point in a total.
using Kopecks = std::int64_t;
constexpr Kopecks kKopecksPerRouble = 100;

// A calendar day as days since 1970-01-01; a price "from always" has none.
using DayNumber = std::int32_t;

// A component as prices and stock name it: the package code for a paste or another
// component, "B4/OSN" (the purpose's base letter and number, then the code) for a base
// or a part of a mixed base, whose codes repeat across purposes.
using ComponentKey = WideString;

// The frame markers of the ledger's records.
constexpr RecordKind kPriceKind = {'L', 'Q', 'P', 'R'};
constexpr RecordKind kReceiptKind = {'L', 'Q', 'R', 'C'};
constexpr RecordKind kCountKind = {'L', 'Q', 'C', 'T'};
constexpr RecordKind kMinimumKind = {'L', 'Q', 'M', 'N'};

struct PriceRecord {
    ComponentKey key;
    Kopecks perKilogram = 0;
    std::optional<DayNumber> from;  // none: in force from always
    BatchTime saved;
    bool operator==(const PriceRecord&) const = default;
};

struct ReceiptRecord {
    ComponentKey key;
    Hundredths grams = 0;
    DayNumber day = 0;
    WideString note;
    BatchTime saved;
    bool operator==(const ReceiptRecord&) const = default;
};

// A counted amount; the difference to what the account said then is the correction.
struct CountRecord {
    ComponentKey key;
    Hundredths counted = 0;
    Hundredths correction = 0;
    DayNumber day = 0;
    BatchTime saved;
    bool operator==(const CountRecord&) const = default;
};

struct MinimumRecord {
    ComponentKey key;
    Hundredths grams = 0;
    BatchTime saved;
    bool operator==(const MinimumRecord&) const = default;
};

// Every record is written with an id; a retry of a write reported failed writes it
// again with the same id, and the ledger keeps the first record of an id.
class LedgerStore final : private RecordReader {
public:
    explicit LedgerStore(std::unique_ptr<JournalFile> file);
    JournalLoadResult Load();
    // Reads what other benches appended since; true when anything changed.
    bool Refresh();
    // Counts the changes read or written through this object: a window compares it with
    // the count it last showed, since another window may have done the refreshing.
    std::uint64_t Revision() const noexcept { return log_.Revision(); }
    // Whether the last read or write of the file failed: its folder is as good as gone.
    bool Failing() const noexcept { return log_.Failing(); }

    JournalAppendResult AddPrice(const PriceRecord& price);
    // Several prices in one write: an import is all or nothing, on disk too.
    JournalAppendResult AddPrices(const std::vector<PriceRecord>& prices);
    JournalAppendResult AddReceipt(const ReceiptRecord& receipt);
    JournalAppendResult AddCount(const CountRecord& count);
    JournalAppendResult AddMinimum(const MinimumRecord& minimum);

    // In file order.
    const std::vector<PriceRecord>& Prices() const;
    const std::vector<ReceiptRecord>& Receipts() const;
    const std::vector<CountRecord>& Counts() const;
    const std::vector<MinimumRecord>& Minimums() const;
    const std::vector<JournalDamage>& Damage() const;

private:
    void Restart() override;
    bool Read(const JournalFrame& frame, std::string_view payload) override;
    template <class Record>
    JournalAppendResult Add(const RecordKind& kind, const std::vector<Record>& records,
                            std::string (*encode)(const Record&, RecordId));

    RecordLog log_;
    std::vector<PriceRecord> prices_;
    std::vector<ReceiptRecord> receipts_;
    std::vector<CountRecord> counts_;
    std::vector<MinimumRecord> minimums_;
};

// A record's payload. Each starts with the time it was saved (i64 seconds, i32 minutes)
// and the component's key; then
//   price    kopecks per kilogram (i64), whether it has a start (u8), the start day (i32)
//   receipt  grams (i64 hundredths), day (i32), note
//   count    counted (i64), correction (i64), day (i32)
//   minimum  grams (i64)
// and last the record's id (u64), which a record written before ids ends without.
// Fields a later version adds after these are passed over.
std::string EncodePrice(const PriceRecord& price, RecordId id = 0);
std::string EncodeReceipt(const ReceiptRecord& receipt, RecordId id = 0);
std::string EncodeCount(const CountRecord& count, RecordId id = 0);
std::string EncodeMinimum(const MinimumRecord& minimum, RecordId id = 0);
bool DecodePrice(std::string_view payload, PriceRecord& price, RecordId* id = nullptr);
bool DecodeReceipt(std::string_view payload, ReceiptRecord& receipt, RecordId* id = nullptr);
bool DecodeCount(std::string_view payload, CountRecord& count, RecordId* id = nullptr);
bool DecodeMinimum(std::string_view payload, MinimumRecord& minimum, RecordId* id = nullptr);

}  // namespace lacqueron
