// datapack cost: what one recipe costs at the prices of a price table, line by line.
// datapack stock: the stock of a data folder, from its ledger and journal.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/Utf8.h"
#include "journal/JournalText.h"
#include "journal/posix/PosixJournalFile.h"
#include "ledger/Costing.h"
#include "ledger/LedgerCsv.h"
#include "ledger/LedgerDay.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/RecipeSelection.h"

namespace datapack {

namespace {

constexpr char kCostUsage[] =
    "datapack cost --sources DIR --prices CSV (--row N | --title TEXT | --own-store FILE --title CODE) --purpose N "
    "--unit g|ml|N --amount N";
constexpr char kStockUsage[] = "datapack stock --data-folder DIR [--date YYYY-MM-DD] [--sources DIR]";
// The package sources the components are named from, unless --sources says.
constexpr char kJournalName[] = "journal.lqj";
constexpr char kLedgerName[] = "ledger.lqs";
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kLastYear = 9999;
constexpr std::int64_t kMonthsPerYear = 12;
constexpr std::int64_t kLongestMonth = 31;

// A tool knows no bench's time zone: its day and its saves are UTC.
lacqueron::BatchTime Now() {
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    return {now.count(), 0};
}

std::string Decimal(lacqueron::Hundredths value) { return lacqueron::ToUtf8(lacqueron::FormatHundredths(value)); }

std::string Column(const lacqueron::WideString& text) { return lacqueron::ToUtf8(text) + '\t'; }

// "2026-12-07".
bool ParseIsoDate(const std::string& text, lacqueron::DayNumber& day) {
    std::int64_t year = 0, month = 0, dayOfMonth = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ParseWhole(text.substr(0, 4), 0, kLastYear, year) ||
        !ParseWhole(text.substr(5, 2), 1, kMonthsPerYear, month) ||
        !ParseWhole(text.substr(8, 2), 1, kLongestMonth, dayOfMonth))
        return false;
    const auto found = lacqueron::DayOfDate(static_cast<std::int32_t>(year), static_cast<std::int32_t>(month),
                                            static_cast<std::int32_t>(dayOfMonth));
    if (found) day = *found;
    return found.has_value();
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void ReportDamage(const std::string& path, const std::vector<lacqueron::JournalDamage>& damage) {
    for (const lacqueron::JournalDamage& place : damage)
        std::fprintf(stderr, "datapack: %s: damaged at byte %llu, passed over\n", path.c_str(),
                     static_cast<unsigned long long>(place.offset));
}

}  // namespace

int RunCost(const Arguments& args) {
    std::vector<std::string> names = RecipeOptionNames();
    names.push_back("--prices");
    std::vector<std::string> required = RequiredRecipeOptionNames();
    required.push_back("--prices");
    Options options;
    if (!ParseOptions(args, names, required, kCostUsage, options)) return 2;
    RecipeSelection selection;
    if (const int status = SelectRecipe(options, kCostUsage, selection); status != 0) return status;

    const std::string& pricesPath = options["--prices"];
    std::string bytes;
    if (!ReadFile(pricesPath, bytes)) return Fail(pricesPath + ": cannot be read");
    std::vector<lacqueron::PriceRecord> prices;
    lacqueron::CsvError error;
    const lacqueron::PriceBook none({}, selection.catalogue);
    if (!lacqueron::ReadPricesCsv(bytes, lacqueron::LedgerComponents(selection.catalogue), none, Now(), prices, error))
        return Fail(pricesPath + ": " + lacqueron::ToUtf8(lacqueron::DescribeCsvError(error)));

    const lacqueron::Recipe recipe = lacqueron::ComputeRecipe(selection.catalogue, *selection.recipe, selection.purpose,
                                                              selection.weightType, selection.amount);
    if (recipe.lines.empty()) return Fail("the recipe cannot be computed for this choice");
    const lacqueron::Costing costing =
        lacqueron::CostOfRecipe(selection.catalogue, recipe, lacqueron::PriceBook(prices, selection.catalogue),
                                lacqueron::LocalDay(Now()));
    if (!costing.total) return Fail("no price for " + lacqueron::ToUtf8(costing.missing));
    std::string out;
    for (const lacqueron::CostLine& line : costing.lines)
        out += Column(line.key) + Column(line.name) + Decimal(line.grams) + '\t' + Decimal(*line.perKilogram) + '\t' +
               Decimal(line.cost) + '\n';
    out += "total\t" + Decimal(*costing.total) + '\n';
    return WriteOut(out);
}

int RunStock(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--data-folder", "--date", "--sources"}, {"--data-folder"}, kStockUsage, options))
        return 2;
    lacqueron::DayNumber today = static_cast<lacqueron::DayNumber>(Now().utcSeconds / kSecondsPerDay);
    if (options.count("--date") && !ParseIsoDate(options["--date"], today))
        return BadUsage("--date needs YYYY-MM-DD: " + options["--date"], kStockUsage);
    lacqueron::Catalogue catalogue;
    if (const int status =
            LoadCatalogueSources(options.count("--sources") ? options["--sources"] : std::string(kDefaultSources), catalogue);
        status != 0)
        return status;

    const std::string folder = options["--data-folder"] + "/";
    lacqueron::JournalStore journal(lacqueron::OpenPosixJournalFile(folder + kJournalName));
    if (journal.Load() != lacqueron::JournalLoadResult::Loaded) return Fail(folder + kJournalName + ": cannot be read");
    ReportDamage(folder + kJournalName, journal.Contents().Damage());
    lacqueron::LedgerStore ledger(lacqueron::OpenPosixJournalFile(folder + kLedgerName));
    if (ledger.Load() != lacqueron::JournalLoadResult::Loaded) return Fail(folder + kLedgerName + ": cannot be read");
    ReportDamage(folder + kLedgerName, ledger.Damage());

    std::string out;
    for (const lacqueron::StockRow& row : lacqueron::StockAccount(catalogue, ledger, journal.Contents()).Rows(today))
        out += Column(row.key) + Column(row.name) + Decimal(row.onHand) + '\t' + Decimal(row.usedLast30Days) + '\t' +
               (row.minimum ? Decimal(*row.minimum) : std::string()) + '\n';
    return WriteOut(out);
}

}  // namespace datapack
