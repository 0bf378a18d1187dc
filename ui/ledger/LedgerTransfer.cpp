#include <string>

#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerCsv.h"
#include "ui/ledger/LedgerParts.h"

namespace lacqueron {
namespace {

constexpr wchar_t kPricesName[] = L"Цены.csv";
constexpr wchar_t kStockName[] = L"Остатки.csv";
constexpr wchar_t kOrderName[] = L"Заказ.csv";
constexpr wchar_t kPricesNotExported[] = L"Цены не выгружены.";
constexpr wchar_t kStockNotExported[] = L"Остатки не выгружены.";
constexpr wchar_t kOrderNotExported[] = L"Заказ не выгружен.";
constexpr wchar_t kPricesImported[] = L"Импортировано цен: ";

}  // namespace

void ExportPricesFile(HWND owner, const LedgerContext& context) noexcept {
    if (context.ledger == nullptr || context.catalogue == nullptr) return;
    ExportCsvFile(owner, kPricesName, kPricesNotExported, [&] {
        return ExportPricesCsv(LedgerComponents(*context.catalogue), context.ledger->Prices(),
                               SharedKeys(*context.catalogue));
    });
}

void PricesImport::Start(HWND dialog, int statusId, LedgerContext& context) noexcept {
    if (context.ledger == nullptr || context.catalogue == nullptr) return;
    const Catalogue& catalogue = *context.catalogue;
    const LedgerStore& ledger = *context.ledger;
    import_.Start(
        dialog, statusId, context.writes, nullptr, context.ledger, kPricesImported,
        [&](std::string_view bytes, std::vector<PriceRecord>& prices, CsvError& error) {
            return ReadPricesCsv(bytes, LedgerComponents(catalogue), PriceBook(ledger.Prices(), catalogue),
                                 CurrentBatchTime(), prices, error);
        },
        [](std::vector<PriceRecord> prices) -> FolderWrite {
            return [prices = std::move(prices)](OwnRecipeStore*, LedgerStore* ledger, OpticsStore*) {
                return ledger ? ledger->AddPrices(prices) : JournalAppendResult::WriteFailed;
            };
        });
}

std::optional<bool> PricesImport::OnWritten(HWND dialog, WPARAM generation, LedgerContext& context) noexcept {
    const std::optional<bool> written =
        import_.OnWritten(dialog, generation, kPricesImported, [](JournalAppendResult result) {
            return DescribeAppendFailure(result, u"Цены не записаны", kLedgerWords);
        });
    if (written && *written) ReportLedgerChange(context);
    return written;
}

void ExportStockFile(HWND owner, const std::vector<StockRow>& rows) noexcept {
    ExportCsvFile(owner, kStockName, kStockNotExported, [&] { return ExportStockCsv(rows); });
}

void ExportOrderFile(HWND owner, const std::vector<StockRow>& rows) noexcept {
    ExportCsvFile(owner, kOrderName, kOrderNotExported, [&] { return ExportOrderCsv(rows); });
}

}  // namespace lacqueron
