#include <string>

#include "files/FileReplace.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerCsv.h"
#include "ui/ledger/LedgerParts.h"
#include "ui/shared/CsvFileDialog.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr wchar_t kPricesName[] = L"Цены.csv";
constexpr wchar_t kStockName[] = L"Остатки.csv";
constexpr wchar_t kOrderName[] = L"Заказ.csv";
constexpr wchar_t kPricesNotExported[] = L"Цены не выгружены.";
constexpr wchar_t kStockNotExported[] = L"Остатки не выгружены.";
constexpr wchar_t kOrderNotExported[] = L"Заказ не выгружен.";
constexpr wchar_t kNotImported[] = L"Ничего не импортировано.";

WideString Number(std::size_t value) {
    const std::string digits = std::to_string(value);
    return WideString(digits.begin(), digits.end());
}

// Asks for the file and writes the table made by `table`, telling a failure.
template <class MakeTable>
void ExportFile(HWND owner, const wchar_t* defaultName, const wchar_t* notDone, const MakeTable& table) noexcept {
    WideString path;
    if (!AskCsvFile(owner, CsvFileUse::kSave, defaultName, notDone, path)) return;
    try {
        if (ReplaceFileContents(path, table())) return;
        ShowErrorBox(owner, WinText(u"Не удалось записать файл " + path + u". " + FromWinText(notDone)));
    } catch (...) {
        ShowErrorBox(owner, WinText(u"Не хватило памяти. " + FromWinText(notDone)));
    }
}

}  // namespace

void ExportPricesFile(HWND owner, const LedgerContext& context) noexcept {
    if (context.ledger == nullptr || context.catalogue == nullptr) return;
    ExportFile(owner, kPricesName, kPricesNotExported,
               [&] {
                   return ExportPricesCsv(LedgerComponents(*context.catalogue), context.ledger->Prices(),
                                          SharedKeys(*context.catalogue));
               });
}

bool ImportPricesFile(HWND owner, LedgerContext& context) noexcept {
    if (context.ledger == nullptr || context.catalogue == nullptr) return false;
    WideString path;
    if (!AskCsvFile(owner, CsvFileUse::kOpen, nullptr, kNotImported, path)) return false;
    try {
        std::string bytes;
        if (!ReadFileContents(path, bytes)) {
            ShowErrorBox(owner, WinText(u"Не удалось прочитать файл " + path + u". " + FromWinText(kNotImported)));
            return false;
        }
        std::vector<PriceRecord> prices;
        LedgerCsvError error;
        if (!ReadPricesCsv(bytes, LedgerComponents(*context.catalogue),
                           PriceBook(context.ledger->Prices(), *context.catalogue), CurrentBatchTime(), prices, error)) {
            ShowErrorBox(owner, WinText(DescribeLedgerCsvError(error) + u". " + FromWinText(kNotImported)));
            return false;
        }
        if (!prices.empty()) {
            const JournalAppendResult result = context.ledger->AddPrices(prices);
            if (result != JournalAppendResult::Appended) {
                ShowNotWritten(owner, kNotImported, result);
                return false;
            }
            ReportLedgerChange(context);
        }
        MessageBoxW(owner, WinText(u"Импортировано цен: " + Number(prices.size()) + u"."), L"Импорт",
                    MB_OK | MB_ICONINFORMATION);
        return !prices.empty();
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы импортировать цены.");
        return false;
    }
}

void ExportStockFile(HWND owner, const std::vector<StockRow>& rows) noexcept {
    ExportFile(owner, kStockName, kStockNotExported, [&] { return ExportStockCsv(rows); });
}

void ExportOrderFile(HWND owner, const std::vector<StockRow>& rows) noexcept {
    ExportFile(owner, kOrderName, kOrderNotExported, [&] { return ExportOrderCsv(rows); });
}

}  // namespace lacqueron
