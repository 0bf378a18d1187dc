#include "ledger/Ledger.h"

namespace lacqueron {

LedgerStore::LedgerStore(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}
JournalLoadResult LedgerStore::Load() { return log_.Load(); }
bool LedgerStore::Refresh() { return false; }
JournalAppendResult LedgerStore::AddPrice(const PriceRecord& price) { return AddPrices({price}); }
JournalAppendResult LedgerStore::AddPrices(const std::vector<PriceRecord>&) { return JournalAppendResult::WriteFailed; }
JournalAppendResult LedgerStore::AddReceipt(const ReceiptRecord&) { return JournalAppendResult::WriteFailed; }
JournalAppendResult LedgerStore::AddCount(const CountRecord&) { return JournalAppendResult::WriteFailed; }
JournalAppendResult LedgerStore::AddMinimum(const MinimumRecord&) { return JournalAppendResult::WriteFailed; }
const std::vector<PriceRecord>& LedgerStore::Prices() const { return prices_; }
const std::vector<ReceiptRecord>& LedgerStore::Receipts() const { return receipts_; }
const std::vector<CountRecord>& LedgerStore::Counts() const { return counts_; }
const std::vector<MinimumRecord>& LedgerStore::Minimums() const { return minimums_; }
const std::vector<JournalDamage>& LedgerStore::Damage() const { return damage_; }

}  // namespace lacqueron
