#include <string>

#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerCsv.h"
#include "ui/ledger/LedgerParts.h"
#include "ui/shared/CsvTransfer.h"

namespace lacqueron {
namespace {

constexpr wchar_t kPricesName[] = L"Цены.csv";
constexpr wchar_t kStockName[] = L"Остатки.csv";
constexpr wchar_t kOrderName[] = L"Заказ.csv";
constexpr wchar_t kPricesNotExported[] = L"Цены не выгружены.";
constexpr wchar_t kStockNotExported[] = L"Остатки не выгружены.";
constexpr wchar_t kOrderNotExported[] = L"Заказ не выгружен.";

}  // namespace

void ExportPricesFile(HWND owner, const LedgerContext& context) noexcept {
    if (context.ledger == nullptr || context.catalogue == nullptr) return;
    ExportCsvFile(owner, kPricesName, kPricesNotExported, [&] {
        return ExportPricesCsv(LedgerComponents(*context.catalogue), context.ledger->Prices(),
                               SharedKeys(*context.catalogue));
    });
}

bool ImportPricesFile(HWND owner, LedgerContext& context) noexcept {
    if (context.ledger == nullptr || context.catalogue == nullptr) return false;
    return ImportCsvTable<PriceRecord>(
        owner, L"Импортировано цен: ",
        [&](std::string_view bytes, std::vector<PriceRecord>& prices, CsvError& error) {
            return ReadPricesCsv(bytes, LedgerComponents(*context.catalogue),
                                 PriceBook(context.ledger->Prices(), *context.catalogue), CurrentBatchTime(), prices,
                                 error);
        },
        [&](const std::vector<PriceRecord>& prices) {
            const JournalAppendResult result = context.ledger->AddPrices(prices);
            if (result != JournalAppendResult::Appended)
                return DescribeAppendFailure(result, u"Цены не записаны", kLedgerWords);
            ReportLedgerChange(context);
            return WideString();
        });
}

void ExportStockFile(HWND owner, const std::vector<StockRow>& rows) noexcept {
    ExportCsvFile(owner, kStockName, kStockNotExported, [&] { return ExportStockCsv(rows); });
}

void ExportOrderFile(HWND owner, const std::vector<StockRow>& rows) noexcept {
    ExportCsvFile(owner, kOrderName, kOrderNotExported, [&] { return ExportOrderCsv(rows); });
}

}  // namespace lacqueron
