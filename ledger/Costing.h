// What a recipe or a batch costs at the prices in force on its day, and the paste on
// hand: the latest count, with the receipts after it, less what the journal says was
// poured after it.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"
#include "formula/RecipeText.h"
#include "journal/BatchRecord.h"
#include "journal/JournalFormat.h"
#include "ledger/Ledger.h"

namespace lacqueron {

class BatchComponentKeys;

// Every component of the package a price or stock can be kept for: bases and the
// parts of mixed bases per purpose, pastes, others; in the package's order.
struct LedgerComponent {
    ComponentKey key;
    WideString name;  // as the recipe shows it
};
std::vector<LedgerComponent> LedgerComponents(const Catalogue& catalogue);
// "B5/LAK" for a base or base part of purpose 5, the code alone for anything else.
ComponentKey LedgerKey(const MixComponent& component);
ComponentKey BaseKey(std::uint32_t purpose, const WideString& code);

// A base that several purposes have alike, the same code, name and density (the lacquer
// of purposes 5 and 6), is one paste for prices and stock, kept under the key of the
// first purpose that has it. Records may name it by another purpose's key, as records
// written before did: Of gives the key they are kept under.
class SharedKeys {
public:
    explicit SharedKeys(const Catalogue& catalogue);
    const ComponentKey& Of(const ComponentKey& key) const noexcept;
    // The key of a package's component.
    ComponentKey KeyOf(const MixComponent& component) const;

private:
    std::unordered_map<ComponentKey, ComponentKey> aliases_;  // another purpose's key to the shared one
};

// The day a price "from always" starts on, before any other.
inline constexpr DayNumber kFromAlways = std::numeric_limits<DayNumber>::min();

// A price as it stands in the book; none in `from`: in force from always.
struct PriceStep {
    std::optional<DayNumber> from;
    Kopecks perKilogram = 0;
    bool operator==(const PriceStep&) const = default;
};

// The price in force on a day: the record with the latest start not after it, and among
// equal starts the one written last in the file, whatever a bench's clock said; none
// when no price reaches back to it. Keys are the catalogue's shared ones.
class PriceBook {
public:
    PriceBook(const std::vector<PriceRecord>& prices, const Catalogue& catalogue);
    std::optional<Kopecks> PriceOn(const ComponentKey& key, DayNumber day) const;
    std::optional<PriceStep> InForce(const ComponentKey& key, DayNumber day) const;
    // The first price that starts after `day`; none when nothing is set for later.
    std::optional<PriceStep> Next(const ComponentKey& key, DayNumber day) const;
    // A price written after every one the book has.
    void Add(const PriceRecord& price);
    const SharedKeys& Keys() const noexcept { return keys_; }

private:
    struct Step {
        DayNumber from;  // the smallest day for "from always"
        Kopecks perKilogram;
    };
    const std::vector<Step>* StepsOf(const ComponentKey& key) const;
    // The first step starting after `day`.
    std::vector<Step>::const_iterator After(const std::vector<Step>& steps, DayNumber day) const;

    SharedKeys keys_;
    // Per key by start, in file order among equal starts.
    std::unordered_map<ComponentKey, std::vector<Step>> steps_;
};

// grams (hundredths) at a price per kilogram, rounded half away from zero once.
Kopecks CostOfGrams(Hundredths grams, Kopecks perKilogram) noexcept;
// "1 234.56", as the windows show money; ParseRoubles reads as ParseDecimalText does,
// two decimals, nothing negative, up to kLargestPrice.
WideString FormatRoubles(Kopecks amount);
bool ParseRoubles(std::u16string_view text, Kopecks& amount);
constexpr Kopecks kLargestPrice = 1000000000;  // ten million roubles
// What a kilogram of paint costs when `grams` of it cost `cost`; 0 for no grams.
Kopecks CostPerKilogram(Kopecks cost, Hundredths grams) noexcept;

struct CostLine {
    ComponentKey key;
    WideString name;
    Hundredths grams = 0;
    std::optional<Kopecks> perKilogram;  // none: no price
    Kopecks cost = 0;
};

struct Costing {
    std::vector<CostLine> lines;  // a mixed base counts as its parts, in recipe order
    std::optional<Kopecks> total;  // none when a line has no price
    WideString missing;            // the first component without a price, by name
};

// The computed recipe at the prices in force on `day`.
Costing CostOfRecipe(const Catalogue& catalogue, const Recipe& recipe, const PriceBook& prices, DayNumber day);
// "Стоимость: 1 234.56 ₽ (2.47 ₽ за кг краски)" or "Нет цены: Паста зелёная"; empty
// when the recipe has no lines.
WideString CostLineText(const Costing& costing, Hundredths paintGrams);

// What a batch really poured, at the prices of its day; the over-pour is what went in
// beyond the recipe's weights (over-pours, top-ups and additions).
struct BatchCosting {
    Costing poured;
    std::optional<Kopecks> overPour;
};
BatchCosting CostOfBatch(const Catalogue& catalogue, const BatchRecord& batch, const PriceBook& prices);

// The stock of every component on `today`.
struct StockRow {
    ComponentKey key;
    WideString name;
    Hundredths onHand = 0;
    Hundredths usedLast30Days = 0;
    std::optional<std::int32_t> daysLeft;  // none when nothing was used
    std::optional<Hundredths> minimum;
    bool belowMinimum = false;
};

// Built once from the ledger and the journal's standing batches; each new batch or
// record is added in well under a millisecond.
//
// A count is a stocktake: the paste on hand at the moment it was saved is what was
// counted. Whatever is dated before that moment is inside the count, whenever and on
// whichever bench it was recorded: batches by the time they ended, deliveries by their
// day (on the count's own day, those entered before it). What comes after is added to
// or taken from the counted grams. The latest count of a paste wins; its correction is
// not read, so a count taken while another bench poured, or while the journal could not
// be read, is as good as any.
class StockAccount {
public:
    // Borrows the catalogue for its life.
    StockAccount(const Catalogue& catalogue, const LedgerStore& ledger, const JournalContents& journal);
    ~StockAccount();
    // A batch the journal just got; a later record of a batch already counted replaces it.
    void AddBatch(const BatchRecord& batch);
    // Takes in the records and batches added to the ledger and journal since last time
    // (by this bench or another); everything again when either file was replaced.
    void CatchUp(const LedgerStore& ledger, const JournalContents& journal);
    std::vector<StockRow> Rows(DayNumber today) const;
    // On hand at the end of `today`.
    Hundredths OnHand(const ComponentKey& key, DayNumber today) const;
    // Something of it on hand at the end of `today`: what a match of "only pastes in
    // stock" may use. A paste the shop never recorded has nothing on hand.
    bool InStock(const ComponentKey& key, DayNumber today) const { return OnHand(key, today) > 0; }
    // The record of `counted` grams of a paste counted `now`; its correction is what
    // the count changes against this account, kept for the reader's information.
    CountRecord CountOf(const ComponentKey& key, Hundredths counted, const BatchTime& now) const;
    // What a batch of these weights would leave short: components that would go below
    // zero or below their minimum, each with what would be left (onHand) after it. Only
    // components the shop keeps stock of (a delivery, a count or a minimum) are named.
    std::vector<StockRow> Shortfalls(const std::vector<CostLine>& needed, DayNumber today) const;

private:
    struct Day {
        Hundredths used = 0;              // poured
        std::vector<std::size_t> taken;   // the lines in pool_, for a count on or beside this day
    };
    struct Receipt {
        DayNumber day;
        std::int64_t enteredAt;  // UTC seconds
        Hundredths grams;
    };
    struct Count {
        std::int64_t at;  // UTC seconds
        DayNumber day;    // local
        Hundredths counted;
    };
    struct Account {
        ComponentKey key;
        WideString name;
        std::map<DayNumber, Day> days;
        std::vector<Receipt> receipts;
        std::vector<Count> counts;  // in file order
        std::optional<Hundredths> minimum;
    };
    struct Taken {
        std::size_t account;
        DayNumber day;
        std::int64_t at;   // when the batch ended, UTC seconds
        Hundredths grams;  // 0 once a later record of its batch replaced it
    };

    // Where a batch's lines were taken, in pool_.
    struct Span {
        std::size_t start = 0;
        std::size_t count = 0;
    };

    void Rebuild(const LedgerStore& ledger, const JournalContents& journal);
    void TakeLedger(const LedgerStore& ledger);
    std::size_t AccountOf(const ComponentKey& key, const WideString& name);
    // The account of a batch's component, looked up once per code (or name) and purpose.
    std::size_t AccountOf(const BatchComponent& component, std::uint32_t purpose);
    Span Take(const BatchRecord& batch);
    // The count that stands on `today`: the latest by its moment, the last written among equal ones.
    static const Count* LatestCount(const Account& account, DayNumber today) noexcept;
    // What a day's batches poured after the count (all of it without one).
    Hundredths UsedAfter(DayNumber day, const Day& used, const Count* count) const noexcept;
    StockRow RowOf(const Account& account, DayNumber today) const;

    const Catalogue& catalogue_;
    std::unique_ptr<BatchComponentKeys> keys_;
    SharedKeys shared_;
    std::vector<Account> accounts_;  // the package's components first, in its order
    std::unordered_map<ComponentKey, std::size_t> byKey_;
    std::unordered_map<WideString, std::size_t> byCode_[kLastPurpose + 1];
    std::unordered_map<WideString, std::size_t> byName_[kLastPurpose + 1];
    std::vector<Taken> pool_;
    std::unordered_map<std::uint64_t, Span> byBatch_;  // batches with an id
    std::size_t receiptsSeen_ = 0, countsSeen_ = 0, minimumsSeen_ = 0, batchesSeen_ = 0;
    std::uint64_t journalSize_ = 0;
};

}  // namespace lacqueron
