// The shop's ledger: prices, deliveries, stock counts and wanted minimums, each a
// record appended to a log of the journal's kind (ledger.lqs in the data folder). The
// cost of a recipe or a batch and the paste on hand are worked out from these records
// and the journal's batches; no figure is ever stored to be written over.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "journal/JournalFile.h"
#include "journal/JournalFormat.h"
#include "journal/JournalStore.h"

namespace lacqueron {

// Money is whole kopecks: never binary floating point in a total.
using Kopecks = std::int64_t;
constexpr Kopecks kKopecksPerRouble = 100;

// A calendar day as days since 1970-01-01; a price "from always" has none.
using DayNumber = std::int32_t;

// A component as prices and stock name it: the package code for a paste or another
// component, "B4/OSN" (the purpose's base letter and number, then the code) for a base
// or a part of a mixed base, whose codes repeat across purposes.
using ComponentKey = WideString;

struct PriceRecord {
    ComponentKey key;
    Kopecks perKilogram = 0;
    std::optional<DayNumber> from;  // none: in force from always
    BatchTime saved;
};

struct ReceiptRecord {
    ComponentKey key;
    Hundredths grams = 0;
    DayNumber day = 0;
    WideString note;
    BatchTime saved;
};

// A counted amount; the difference to what the account said then is the correction.
struct CountRecord {
    ComponentKey key;
    Hundredths counted = 0;
    Hundredths correction = 0;
    DayNumber day = 0;
    BatchTime saved;
};

struct MinimumRecord {
    ComponentKey key;
    Hundredths grams = 0;
    BatchTime saved;
};

class LedgerStore {
public:
    explicit LedgerStore(std::unique_ptr<JournalFile> file);
    JournalLoadResult Load();
    // Reads what other benches appended since; true when anything changed.
    bool Refresh();

    JournalAppendResult AddPrice(const PriceRecord& price);
    // Several prices in one write: an import is all or nothing.
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
};

}  // namespace lacqueron
