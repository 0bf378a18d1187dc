// What the ledger windows share among themselves: today, the line under their lists,
// amounts typed in grams or kilograms, telling the main dialog about a record, and the
// CSV tables.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "data/text/TextFold.h"
#include "ledger/Costing.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/shared/CsvTransfer.h"
#include "ui/shared/FolderWriteState.h"

namespace lacqueron {

// The items (components, stock rows) whose key or name holds the text, case folded;
// every item for an empty text.
template <class Item>
std::vector<std::size_t> ItemsMatching(const std::vector<Item>& items, const WideString& text) {
    std::vector<std::size_t> rows;
    const WideString query = FoldText(TrimSpaces(text));
    for (std::size_t i = 0; i < items.size(); ++i)
        if (query.empty() || FoldText(items[i].key).find(query) != WideString::npos ||
            FoldText(items[i].name).find(query) != WideString::npos)
            rows.push_back(i);
    return rows;
}

// The bench's local day now.
DayNumber Today() noexcept;

// "Папка данных: ..." or why the ledger cannot be read.
WideString LedgerStateText(const LedgerContext& context);

// Tells the main dialog that a record was written.
void ReportLedgerChange(LedgerContext& context) noexcept;

// Tells why a record was not written: `notDone` ("Цена не записана.") and the reason.
void ShowNotWritten(HWND owner, const wchar_t* notDone, JournalAppendResult result) noexcept;

// A record a dialog writes to the ledger, on the data folder's worker: the dialog shows
// "Сохранение..." and answers meanwhile; once the record lands the main dialog is told
// and the dialog ends with IDOK, else why not is told and the dialog stays with what
// was typed.
class LedgerWrite {
public:
    using Add = std::function<JournalAppendResult(LedgerStore& ledger)>;
    // Starts the write; a beep when the ledger is missing or away.
    void Start(HWND dialog, int statusId, LedgerContext& context, Add add) noexcept;
    template <class Save>
    void OkOrCancel(HWND dialog, bool ok, Save save) noexcept {
        state_.OkOrCancel(dialog, ok, save);
    }
    // At FolderWriteState::kWrittenMessage; `notDone` is "Цена не записана.".
    void OnWritten(HWND dialog, WPARAM generation, LedgerContext& context, const wchar_t* notDone) noexcept;

private:
    FolderWriteState state_;
};

// An amount typed with a comma or a point, at most two decimals, in grams or kilograms;
// false when it is not one.
bool ParseGramsText(std::u16string_view text, bool kilograms, Hundredths& grams);

// The price CSV of every component; the import is all or nothing, a bad row named.
void ExportPricesFile(HWND owner, const LedgerContext& context) noexcept;
// A price CSV read into the ledger, all or nothing, written on the data folder's worker.
class PricesImport {
public:
    // Asks for the file and starts the write; the dialog holds still with "Сохранение..."
    // in `statusId` until FolderWriteState::kWrittenMessage.
    void Start(HWND dialog, int statusId, LedgerContext& context) noexcept;
    bool Running() const noexcept { return import_.Running(); }
    // At that message: the outcome told; true when anything was written (the main dialog
    // told too), none for another write's message.
    std::optional<bool> OnWritten(HWND dialog, WPARAM generation, LedgerContext& context) noexcept;

private:
    CsvTableImport<PriceRecord> import_;
};
// The stock as listed, and the order list: the rows below their minimum.
void ExportStockFile(HWND owner, const std::vector<StockRow>& rows) noexcept;
void ExportOrderFile(HWND owner, const std::vector<StockRow>& rows) noexcept;

// What the stock window records for a component.
enum class StockEntryKind { kReceipt, kCount, kMinimum };

// Asks for a delivery, a count or a minimum, the component `key` chosen first, and
// writes it to the ledger. True when written.
bool AskStockEntry(HWND owner, StockEntryKind kind, LedgerContext& context, const StockAccount& account,
                   const std::vector<StockRow>& rows, const ComponentKey& key) noexcept;

}  // namespace lacqueron
