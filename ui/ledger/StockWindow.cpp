#include <iterator>
#include <memory>
#include <optional>

#include "core/IntegerText.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "res/resource.h"
#include "ui/ledger/LedgerParts.h"
#include "ui/shared/Beep.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FilteredListDialog.h"
#include "ui/shared/FolderWriteState.h"

namespace lacqueron {
namespace {

enum StockColumn { kStockCodeColumn, kStockNameColumn, kOnHandColumn, kUsedColumn, kDaysColumn, kMinimumColumn };

constexpr ColumnLayout kStockColumns[] = {{L"Код", 11},
                                     {L"Компонент", 31},
                                     {L"Остаток, г", 13, LVCFMT_RIGHT},
                                     {L"За 30 дней, г", 15, LVCFMT_RIGHT},
                                     {L"Хватит, дн.", 14, LVCFMT_RIGHT},
                                     {L"Минимум, г", 16, LVCFMT_RIGHT}};
// The stock list has no colour bar.
constexpr int kStockNoBarColumn = -1;
// Rows below their minimum are written in this colour.
constexpr COLORREF kBelowMinimumText = RGB(192, 0, 0);

constexpr char16_t kJournalAwayText[] = u"папка данных не отвечает.";

// What the window reads off its thread, and the account worked out from it: the window
// touches none of it while a catch-up runs.
struct StockFiles {
    WideString journalPath;
    std::unique_ptr<JournalStore> journal;  // null while it cannot be read
    WideString journalError;                // why
    JournalContents noJournal;
    std::unique_ptr<StockAccount> account;  // null until first worked out
    std::vector<StockRow> rows;

    // What the journal says was poured; nothing when it cannot be read.
    const JournalContents& Journal() const noexcept { return journal ? journal->Contents() : noJournal; }
    // The account caught up with the ledger and the journal as they are now.
    void Count(const Catalogue& catalogue, const LedgerStore& ledger, DayNumber today) {
        if (account)
            account->CatchUp(ledger, Journal());
        else
            account = std::make_unique<StockAccount>(catalogue, ledger, Journal());
        rows = account->Rows(today);
    }
};

class StockDialog final : public FilteredListDialog {
public:
    explicit StockDialog(LedgerContext& context)
        : FilteredListDialog({IDC_STOCK_SEARCH, IDC_STOCK_LIST, IDC_STOCK_CLOSE, kStockColumns, std::size(kStockColumns),
                              kStockNoBarColumn, SIZE{}}),
          context_(context),
          files_(std::make_shared<StockFiles>()) {
        files_->journalPath = JournalPath();
    }

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_STOCK); }

private:
    // Null without a ledger, until the journal was first read, and while a catch-up runs.
    StockAccount* Account() const noexcept { return catchUp_.Running() ? nullptr : files_->account.get(); }

    const StockRow* RowOfItem(int item) const noexcept {
        const std::size_t row = RowAt(item);
        return row < rows_.size() ? &rows_[row] : nullptr;
    }

    std::vector<std::size_t> SelectRows(const WideString& text) override { return ItemsMatching(rows_, text); }

    WideString CellText(int item, int column) override {
        const StockRow* row = RowOfItem(item);
        if (row == nullptr) return WideString();
        switch (column) {
        case kStockCodeColumn: return row->key;
        case kStockNameColumn: return row->name;
        case kOnHandColumn: return FormatHundredths(row->onHand);
        case kUsedColumn: return FormatHundredths(row->usedLast30Days);
        case kDaysColumn: return row->daysLeft ? IntegerText(*row->daysLeft) : WideString();
        case kMinimumColumn: return row->minimum ? FormatHundredths(*row->minimum) : WideString();
        default: return WideString();
        }
    }

    bool RowTextColour(int item, COLORREF& colour) noexcept override {
        const StockRow* row = RowOfItem(item);
        if (row == nullptr || !row->belowMinimum) return false;
        colour = kBelowMinimumText;
        return true;
    }

    const ColourEntry* BarColour(int) noexcept override { return nullptr; }
    void OnActivate(int) noexcept override {
        if (!catchUp_.Defer(IDOK)) Enter(StockEntryKind::kReceipt);
    }
    // The journal is read, and the stock worked out, once the window is up.
    void OnSetUp() noexcept override {
        CatchUp(false);
        ShowState();
    }
    void OnRowsShown() noexcept override { EnableButtons(); }

    INT_PTR OnOtherCommand(int, int id) noexcept override {
        // Every command reads the account, which a catch-up has away for a moment.
        if (catchUp_.Defer(id)) return TRUE;
        switch (id) {
        case IDOK:  // Enter, wherever the focus is
        case IDC_STOCK_RECEIPT: Enter(StockEntryKind::kReceipt); return TRUE;
        case IDC_STOCK_COUNT: Enter(StockEntryKind::kCount); return TRUE;
        case IDC_STOCK_MINIMUM: Enter(StockEntryKind::kMinimum); return TRUE;
        case IDC_STOCK_EXPORT: ExportStockFile(Window(), Listed()); return TRUE;
        case IDC_STOCK_ORDER: ExportOrderFile(Window(), rows_); return TRUE;
        default: return FALSE;
        }
    }

    // What this and other benches poured or recorded meanwhile shows when the window is
    // active again.
    INT_PTR OnOtherMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        return catchUp_
            .OnMessage(Window(), message, wParam, [this] { CatchUp(true); },
                       [this](JournalAppendResult done) { OnCaughtUp(done); })
            .value_or(FALSE);
    }

    bool DefersClose(int id) noexcept override { return catchUp_.Defer(id); }

    // The rows as listed, for the export.
    std::vector<StockRow> Listed() const {
        std::vector<StockRow> listed;
        for (std::size_t row : Rows()) listed.push_back(rows_[row]);
        return listed;
    }

    // Both files read for what was added since (the ledger only when `readLedger`), and
    // the rows worked out again, on the data folder's worker.
    void CatchUp(bool readLedger) noexcept {
        if (context_.ledger == nullptr || context_.catalogue == nullptr) return;
        if (context_.writes && context_.writes->Away()) return;  // a write has it, and catches it up itself
        FolderWrite job;
        try {
            job = [files = files_, catalogue = context_.catalogue, readLedger, today = Today()](
                      OwnRecipeStore*, LedgerStore* ledger, OpticsStore*) {
                if (ledger == nullptr) return JournalAppendResult::WriteFailed;
                if (readLedger) ledger->Refresh();
                if (files->journal)
                    files->journal->Refresh();
                else
                    files->journal = OpenJournal(files->journalPath, files->journalError);
                files->Count(*catalogue, *ledger, today);
                return JournalAppendResult::Appended;
            };
        } catch (...) {
            return;  // out of memory: the rows stay as they were
        }
        catchUp_.Start(Window(), context_.writes, std::move(job), nullptr, context_.ledger);
    }

    void OnCaughtUp(JournalAppendResult done) noexcept {
        try {
            // Not even the folder answered: the account from the ledger as last read, without batches.
            if (done != JournalAppendResult::Appended && !files_->journal && context_.ledger) {
                files_->journalError = kJournalAwayText;
                files_->Count(*context_.catalogue, *context_.ledger, Today());
            }
            rows_ = files_->rows;
            journalError_ = files_->journalError;
        } catch (...) {
            rows_.clear();  // out of memory: no rows rather than stale ones
        }
        counted_ = files_->account != nullptr;
        journalRead_ = files_->journal != nullptr;
        // The row the painter chose meanwhile stays chosen.
        keptRow_ = RowAt(SelectedItem());
        ShowRows();
    }

    // After a record of this window: the ledger caught up under its write, the journal as read.
    void Recount() noexcept {
        try {
            files_->Count(*context_.catalogue, *context_.ledger, Today());
            rows_ = files_->rows;
        } catch (...) {
            rows_.clear();  // out of memory: no rows rather than stale ones
        }
        keptRow_ = RowAt(SelectedItem());
        ShowRows();
    }

    // The rows worked out last, the row selected before kept selected.
    void ShowRows() noexcept {
        ShowState();
        Refill();
        for (std::size_t item = 0; item < Rows().size(); ++item)
            if (Rows()[item] == keptRow_) SelectListItem(List(), static_cast<int>(item));
    }

    void ShowState() noexcept {
        try {
            WideString text = LedgerStateText(context_);
            if (context_.ledger && !counted_) text += u"\nЖурнал замесов читается...";
            if (context_.ledger && counted_ && !journalRead_)
                text += u"\nРасход не учтён, остатки без замесов: " + journalError_;
            std::size_t below = 0;
            for (const StockRow& row : rows_) below += row.belowMinimum ? 1 : 0;
            if (context_.ledger && counted_ && journalRead_)
                text += u"\nНиже минимума (выделены красным): " + IntegerText(static_cast<std::int64_t>(below)) + u".";
            SetDlgItemTextW(Window(), IDC_STOCK_STATE, WinText(text));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_STOCK_STATE, L"");
        }
    }

    void EnableButtons() noexcept {
        const bool ledger = Account() != nullptr;
        const struct {
            int id;
            bool enabled;
        } buttons[] = {{IDC_STOCK_RECEIPT, ledger}, {IDC_STOCK_COUNT, ledger}, {IDC_STOCK_MINIMUM, ledger},
                       {IDC_STOCK_EXPORT, !Rows().empty()}, {IDC_STOCK_ORDER, !rows_.empty()}};
        for (const auto& button : buttons)
            if (HWND control = GetDlgItem(Window(), button.id)) EnableWindow(control, button.enabled);
    }

    // A delivery, a count or a minimum for the selected component (the first when none is).
    void Enter(StockEntryKind kind) noexcept {
        const StockAccount* account = Account();
        if (!account || rows_.empty()) {
            SimpleBeep();
            return;
        }
        // A count with no batches to set against it would show a figure nobody counted.
        if (kind == StockEntryKind::kCount && !journalRead_) {
            try {
                ShowErrorBox(Window(), WinText(u"Инвентаризация невозможна: журнал замесов не читается, и остатки "
                                               u"показаны без замесов. " + journalError_));
            } catch (...) {
                ShowErrorBox(Window(), L"Инвентаризация невозможна: журнал замесов не читается.");
            }
            return;
        }
        const StockRow* selected = RowOfItem(SelectedItem());
        bool written = false;
        try {
            // Copies: the rows are worked out again when this window is active again.
            const std::vector<StockRow> rows = rows_;
            const ComponentKey key = (selected ? *selected : rows_.front()).key;
            written = AskStockEntry(Window(), kind, context_, *account, rows, key);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть окно записи.");
        }
        if (written) Recount();
    }

    LedgerContext& context_;
    std::shared_ptr<StockFiles> files_;  // shared with a catch-up on its way
    std::vector<StockRow> rows_;         // every component, as the account gave them last
    // What the last catch-up found: the account worked out, the journal read, or why not.
    bool counted_ = false;
    bool journalRead_ = false;
    WideString journalError_;
    FolderCatchUp catchUp_;
    std::size_t keptRow_ = kNoItemRow;   // selected before the rows were shown again
};

}  // namespace

void ShowStock(HWND owner, LedgerContext& context) noexcept {
    try {
        StockDialog dialog(context);
        dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы показать остатки.");
    }
}

}  // namespace lacqueron
