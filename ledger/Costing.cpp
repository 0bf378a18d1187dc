#include "ledger/Costing.h"

namespace lacqueron {

std::vector<LedgerComponent> LedgerComponents(const Catalogue&) { return {}; }
PriceBook::PriceBook(const std::vector<PriceRecord>&) {}
std::optional<Kopecks> PriceBook::PriceOn(const ComponentKey&, DayNumber) const { return std::nullopt; }
Kopecks CostOfGrams(Hundredths, Kopecks) noexcept { return 0; }
WideString FormatRoubles(Kopecks) { return {}; }
bool ParseRoubles(std::u16string_view, Kopecks&) { return false; }
Costing CostOfRecipe(const Catalogue&, const Recipe&, const PriceBook&, DayNumber) { return {}; }
WideString CostLineText(const Costing&, Hundredths) { return {}; }
BatchCosting CostOfBatch(const Catalogue&, const BatchRecord&, const PriceBook&) { return {}; }
StockAccount::StockAccount(const Catalogue& catalogue, const LedgerStore&, const JournalContents&)
    : catalogue_(catalogue) {}
void StockAccount::AddBatch(const BatchRecord&) {}
void StockAccount::CatchUp(const LedgerStore&, const JournalContents&) {}
std::vector<StockRow> StockAccount::Rows(DayNumber) const { return {}; }
Hundredths StockAccount::OnHand(const ComponentKey&, DayNumber) const { return 0; }
std::vector<StockRow> StockAccount::Shortfalls(const std::vector<CostLine>&, DayNumber) const { return {}; }

}  // namespace lacqueron
