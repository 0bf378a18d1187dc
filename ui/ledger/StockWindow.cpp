#include <iterator>
#include <memory>

#include "core/IntegerText.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "res/resource.h"
#include "ui/ledger/LedgerParts.h"
#include "ui/shared/Beep.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FilteredListDialog.h"

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

class StockDialog final : public FilteredListDialog {
public:
    explicit StockDialog(LedgerContext& context)
        : FilteredListDialog({IDC_STOCK_SEARCH, IDC_STOCK_LIST, IDC_STOCK_CLOSE, kStockColumns, std::size(kStockColumns),
                              kStockNoBarColumn, SIZE{}}),
          context_(context) {
        if (context.ledger == nullptr || context.catalogue == nullptr) return;
        journal_ = OpenJournal(JournalPath(), journalError_);
        account_ = std::make_unique<StockAccount>(*context.catalogue, *context.ledger, Journal());
        rows_ = account_->Rows(Today());
    }

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_STOCK); }

private:
    // What the journal says was poured; nothing when it cannot be read.
    const JournalContents& Journal() const noexcept { return journal_ ? journal_->Contents() : noJournal_; }

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
    void OnActivate(int) noexcept override { Enter(StockEntryKind::kReceipt); }
    void OnSetUp() noexcept override { ShowState(); }
    void OnRowsShown() noexcept override { EnableButtons(); }

    INT_PTR OnOtherCommand(int, int id) noexcept override {
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

    INT_PTR OnOtherMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        // What this and other benches poured or recorded meanwhile shows when the window
        // is active again.
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) CatchUp(true);
        return FALSE;
    }

    // The rows as listed, for the export.
    std::vector<StockRow> Listed() const {
        std::vector<StockRow> listed;
        for (std::size_t row : Rows()) listed.push_back(rows_[row]);
        return listed;
    }

    // Both files read for what was added since, and the rows worked out again.
    void CatchUp(bool readFiles) noexcept {
        if (!account_ || context_.ledger == nullptr) return;
        const std::size_t kept = RowAt(SelectedItem());
        try {
            if (readFiles) {
                context_.ledger->Refresh();
                if (journal_) journal_->Refresh();
            }
            account_->CatchUp(*context_.ledger, Journal());
            rows_ = account_->Rows(Today());
        } catch (...) {
            rows_.clear();  // out of memory: no rows rather than stale ones
        }
        ShowState();
        Refill();
        for (std::size_t item = 0; item < Rows().size(); ++item)
            if (Rows()[item] == kept) SelectListItem(List(), static_cast<int>(item));
    }

    void ShowState() noexcept {
        try {
            WideString text = LedgerStateText(context_);
            if (context_.ledger && !journal_)
                text += u"\nРасход не учтён, остатки без замесов: " + journalError_;
            std::size_t below = 0;
            for (const StockRow& row : rows_) below += row.belowMinimum ? 1 : 0;
            if (context_.ledger && journal_)
                text += u"\nНиже минимума (выделены красным): " + IntegerText(static_cast<std::int64_t>(below)) + u".";
            SetDlgItemTextW(Window(), IDC_STOCK_STATE, WinText(text));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_STOCK_STATE, L"");
        }
    }

    void EnableButtons() noexcept {
        const bool ledger = account_ != nullptr;
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
        if (!account_ || rows_.empty()) {
            SimpleBeep();
            return;
        }
        // A count with no batches to set against it would show a figure nobody counted.
        if (kind == StockEntryKind::kCount && !journal_) {
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
            written = AskStockEntry(Window(), kind, context_, *account_, rows, key);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть окно записи.");
        }
        if (written) CatchUp(false);
    }

    LedgerContext& context_;
    std::unique_ptr<JournalStore> journal_;
    WideString journalError_;
    JournalContents noJournal_;
    std::unique_ptr<StockAccount> account_;  // null without a ledger
    std::vector<StockRow> rows_;             // every component, as the account gives them
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
