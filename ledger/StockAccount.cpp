#include <algorithm>

#include "journal/StandingBatches.h"
#include "ledger/ComponentKeys.h"
#include "ledger/Costing.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

constexpr DayNumber kUsageDays = 30;
// Benches record local days by their own offset, so a batch's local day may be one off
// the count's although it ended on the same side of it: near the count's day batches
// are told apart by their time.
constexpr DayNumber kOffsetDays = 1;

}  // namespace

StockAccount::~StockAccount() = default;

StockAccount::StockAccount(const Catalogue& catalogue, const LedgerStore& ledger, const JournalContents& journal)
    : catalogue_(catalogue), keys_(std::make_unique<BatchComponentKeys>(catalogue)), shared_(catalogue) {
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
    if (added) accounts_.push_back({key, name, {}, {}, {}, std::nullopt});
    return found->second;
}

void StockAccount::TakeLedger(const LedgerStore& ledger) {
    for (; receiptsSeen_ < ledger.Receipts().size(); ++receiptsSeen_) {
        const ReceiptRecord& receipt = ledger.Receipts()[receiptsSeen_];
        const ComponentKey& key = shared_.Of(receipt.key);
        accounts_[AccountOf(key, key)].receipts.push_back({receipt.day, receipt.saved.utcSeconds, receipt.grams});
    }
    for (; countsSeen_ < ledger.Counts().size(); ++countsSeen_) {
        const CountRecord& count = ledger.Counts()[countsSeen_];
        const ComponentKey& key = shared_.Of(count.key);
        accounts_[AccountOf(key, key)].counts.push_back({count.saved.utcSeconds, LocalDay(count.saved), count.counted});
    }
    for (; minimumsSeen_ < ledger.Minimums().size(); ++minimumsSeen_) {
        const MinimumRecord& minimum = ledger.Minimums()[minimumsSeen_];
        const ComponentKey& key = shared_.Of(minimum.key);
        // A minimum of nothing clears it.
        accounts_[AccountOf(key, key)].minimum =
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
        Day& taken = accounts_[account].days[day];
        taken.used += component.poured;
        taken.taken.push_back(pool_.size());
        pool_.push_back({account, day, batch.time.utcSeconds, component.poured});
    }
    return {span.start, pool_.size() - span.start};
}

void StockAccount::AddBatch(const BatchRecord& batch) {
    const Span taken = Take(batch);
    if (batch.batchId == 0) return;
    const auto [counted, added] = byBatch_.try_emplace(batch.batchId, taken);
    if (added) return;
    // The earlier record of the same batch no longer counts; its lines stay in the pool unused.
    for (std::size_t i = counted->second.start; i < counted->second.start + counted->second.count; ++i) {
        accounts_[pool_[i].account].days[pool_[i].day].used -= pool_[i].grams;
        pool_[i].grams = 0;
    }
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

const StockAccount::Count* StockAccount::LatestCount(const Account& account, DayNumber today) noexcept {
    const Count* latest = nullptr;
    for (const Count& count : account.counts)
        if (count.day <= today && (latest == nullptr || count.at >= latest->at)) latest = &count;
    return latest;
}

Hundredths StockAccount::UsedAfter(DayNumber day, const Day& used, const Count* count) const noexcept {
    if (count == nullptr || day > count->day + kOffsetDays) return used.used;
    if (day < count->day - kOffsetDays) return 0;
    Hundredths after = 0;
    for (const std::size_t line : used.taken)
        if (pool_[line].at > count->at) after += pool_[line].grams;
    return after;
}

StockRow StockAccount::RowOf(const Account& account, DayNumber today) const {
    StockRow row{account.key, account.name, 0, 0, std::nullopt, account.minimum, false};
    const Count* count = LatestCount(account, today);
    if (count) row.onHand = count->counted;
    for (const Receipt& receipt : account.receipts) {
        if (receipt.day > today) continue;
        const bool inside = count && (receipt.day < count->day || (receipt.day == count->day && receipt.enteredAt <= count->at));
        if (!inside) row.onHand += receipt.grams;
    }
    for (const auto& [day, used] : account.days) {
        if (day > today) break;
        row.onHand -= UsedAfter(day, used, count);
        if (day > today - kUsageDays) row.usedLast30Days += used.used;
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
    const auto found = byKey_.find(shared_.Of(key));
    return found == byKey_.end() ? 0 : RowOf(accounts_[found->second], today).onHand;
}

CountRecord StockAccount::CountOf(const ComponentKey& key, Hundredths counted, const BatchTime& now) const {
    const DayNumber today = LocalDay(now);
    return {shared_.Of(key), counted, counted - OnHand(key, today), today, now};
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
        const auto found = byKey_.find(shared_.Of(key));
        if (found == byKey_.end()) continue;
        const Account& account = accounts_[found->second];
        // A paste the shop keeps no stock of has nothing to fall short of.
        if (account.receipts.empty() && account.counts.empty() && !account.minimum) continue;
        StockRow row = RowOf(account, today);
        row.onHand -= grams;
        row.belowMinimum = row.minimum && row.onHand < *row.minimum;
        if (row.onHand < 0 || row.belowMinimum) shortfalls.push_back(std::move(row));
    }
    return shortfalls;
}

}  // namespace lacqueron
