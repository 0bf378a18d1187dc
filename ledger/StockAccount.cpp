#include <algorithm>

#include "journal/StandingBatches.h"
#include "ledger/ComponentKeys.h"
#include "ledger/Costing.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

constexpr DayNumber kUsageDays = 30;

}  // namespace

StockAccount::~StockAccount() = default;

StockAccount::StockAccount(const Catalogue& catalogue, const LedgerStore& ledger, const JournalContents& journal)
    : catalogue_(catalogue), keys_(std::make_unique<BatchComponentKeys>(catalogue)) {
    Rebuild(ledger, journal);
}

void StockAccount::Rebuild(const LedgerStore& ledger, const JournalContents& journal) {
    accounts_.clear();
    byKey_.clear();
    for (auto& cache : byCode_) cache.clear();
    for (auto& cache : byName_) cache.clear();
    pool_.clear();
    byBatch_.clear();
    receiptsSeen_ = countsSeen_ = minimumsSeen_ = 0;
    for (const LedgerComponent& component : LedgerComponents(catalogue_)) AccountOf(component.key, component.name);
    TakeLedger(ledger);
    // Only the standing record of each batch is decoded; the ones it replaced never count.
    const std::vector<std::size_t> standing = StandingBatches(journal);
    byBatch_.reserve(standing.size());
    BatchRecord batch;
    for (const std::size_t index : standing) {
        journal.DecodeInto(index, batch);
        const Span taken = Take(batch);
        if (batch.batchId != 0) byBatch_[batch.batchId] = taken;
    }
    batchesSeen_ = journal.BatchCount();
    journalSize_ = journal.Size();
}

std::size_t StockAccount::AccountOf(const ComponentKey& key, const WideString& name) {
    const auto [found, added] = byKey_.try_emplace(key, accounts_.size());
    if (added) accounts_.push_back({key, name, {}, std::nullopt});
    return found->second;
}

void StockAccount::TakeLedger(const LedgerStore& ledger) {
    for (; receiptsSeen_ < ledger.Receipts().size(); ++receiptsSeen_) {
        const ReceiptRecord& receipt = ledger.Receipts()[receiptsSeen_];
        accounts_[AccountOf(receipt.key, receipt.key)].days[receipt.day].in += receipt.grams;
    }
    for (; countsSeen_ < ledger.Counts().size(); ++countsSeen_) {
        const CountRecord& count = ledger.Counts()[countsSeen_];
        accounts_[AccountOf(count.key, count.key)].days[count.day].in += count.correction;
    }
    for (; minimumsSeen_ < ledger.Minimums().size(); ++minimumsSeen_) {
        const MinimumRecord& minimum = ledger.Minimums()[minimumsSeen_];
        // A minimum of nothing clears it.
        accounts_[AccountOf(minimum.key, minimum.key)].minimum =
            minimum.grams > 0 ? std::optional<Hundredths>(minimum.grams) : std::nullopt;
    }
}

std::size_t StockAccount::AccountOf(const BatchComponent& component, std::uint32_t purpose) {
    const std::size_t slot = purpose <= kLastPurpose ? purpose : 0;
    auto& cache = component.code.empty() ? byName_[slot] : byCode_[slot];
    const WideString& by = component.code.empty() ? component.name : component.code;
    const auto found = cache.find(by);
    if (found != cache.end()) return found->second;
    const std::size_t account = AccountOf(keys_->KeyOf(component, purpose), component.name);
    cache.emplace(by, account);
    return account;
}

// What a batch really poured, additions and abandoned batches alike, on its local day.
StockAccount::Span StockAccount::Take(const BatchRecord& batch) {
    const DayNumber day = LocalDay(batch.time);
    const Span span{pool_.size(), 0};
    for (const BatchComponent& component : batch.components) {
        if (component.poured == 0) continue;
        const std::size_t account = AccountOf(component, batch.purpose);
        accounts_[account].days[day].used += component.poured;
        pool_.push_back({account, day, component.poured});
    }
    return {span.start, pool_.size() - span.start};
}

void StockAccount::AddBatch(const BatchRecord& batch) {
    const Span taken = Take(batch);
    if (batch.batchId == 0) return;
    const auto [counted, added] = byBatch_.try_emplace(batch.batchId, taken);
    if (added) return;
    // The earlier record of the same batch no longer counts; its lines stay in the pool unused.
    for (std::size_t i = counted->second.start; i < counted->second.start + counted->second.count; ++i)
        accounts_[pool_[i].account].days[pool_[i].day].used -= pool_[i].grams;
    counted->second = taken;
}

void StockAccount::CatchUp(const LedgerStore& ledger, const JournalContents& journal) {
    if (ledger.Receipts().size() < receiptsSeen_ || ledger.Counts().size() < countsSeen_ ||
        ledger.Minimums().size() < minimumsSeen_ || journal.Size() < journalSize_ || journal.BatchCount() < batchesSeen_) {
        Rebuild(ledger, journal);
        return;
    }
    TakeLedger(ledger);
    BatchRecord batch;
    for (; batchesSeen_ < journal.BatchCount(); ++batchesSeen_) {
        journal.DecodeInto(batchesSeen_, batch);
        AddBatch(batch);
    }
    journalSize_ = journal.Size();
}

StockRow StockAccount::RowOf(const Account& account, DayNumber today) const {
    StockRow row{account.key, account.name, 0, 0, std::nullopt, account.minimum, false};
    for (const auto& [day, moved] : account.days) {
        if (day > today) break;
        row.onHand += moved.in - moved.used;
        if (day > today - kUsageDays) row.usedLast30Days += moved.used;
    }
    if (row.usedLast30Days > 0)
        row.daysLeft = static_cast<std::int32_t>(std::max<Hundredths>(0, row.onHand) * kUsageDays / row.usedLast30Days);
    row.belowMinimum = row.minimum && row.onHand < *row.minimum;
    return row;
}

std::vector<StockRow> StockAccount::Rows(DayNumber today) const {
    std::vector<StockRow> rows;
    rows.reserve(accounts_.size());
    for (const Account& account : accounts_) rows.push_back(RowOf(account, today));
    return rows;
}

Hundredths StockAccount::OnHand(const ComponentKey& key, DayNumber today) const {
    const auto found = byKey_.find(key);
    return found == byKey_.end() ? 0 : RowOf(accounts_[found->second], today).onHand;
}

std::vector<StockRow> StockAccount::Shortfalls(const std::vector<CostLine>& needed, DayNumber today) const {
    std::vector<StockRow> shortfalls;
    for (std::size_t i = 0; i < needed.size(); ++i) {
        const ComponentKey& key = needed[i].key;
        // A component on several lines is needed once, all of it.
        if (std::any_of(needed.begin(), needed.begin() + i, [&](const CostLine& line) { return line.key == key; }))
            continue;
        Hundredths grams = 0;
        for (const CostLine& line : needed)
            if (line.key == key) grams += line.grams;
        const auto found = byKey_.find(key);
        StockRow row = found == byKey_.end() ? StockRow{key, needed[i].name, 0, 0, std::nullopt, std::nullopt, false} : RowOf(accounts_[found->second], today);
        row.onHand -= grams;
        row.belowMinimum = row.minimum && row.onHand < *row.minimum;
        if (row.onHand < 0 || row.belowMinimum) shortfalls.push_back(std::move(row));
    }
    return shortfalls;
}

}  // namespace lacqueron
