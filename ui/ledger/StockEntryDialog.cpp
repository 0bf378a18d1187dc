
#include "data/text/TextFold.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"
#include "res/resource.h"
#include "ui/ledger/LedgerParts.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/ListViewParts.h"

namespace lacqueron {
namespace {

// The unit combo's items carry whether the amount is in kilograms.
enum Unit : std::uint32_t { kGramUnit = 0, kKilogramUnit = 1 };

struct KindTexts {
    const wchar_t* caption;
    const wchar_t* amountLabel;
    const wchar_t* notWritten;
    bool dated;  // a delivery has its day and a note; a count is today's
};

const KindTexts& TextsOf(StockEntryKind kind) noexcept {
    static const KindTexts kTexts[] = {
        {L"Приход", L"К&оличество:", L"Приход не записан.", true},
        {L"Инвентаризация", L"&Насчитано:", L"Инвентаризация не записана.", false},
        {L"Минимум", L"&Минимум:", L"Минимум не записан.", false},
    };
    return kTexts[static_cast<std::size_t>(kind)];
}

class StockEntryDialog final : public Dialog {
public:
    StockEntryDialog(StockEntryKind kind, LedgerContext& context, const StockAccount& account,
                     const std::vector<StockRow>& rows, const ComponentKey& key)
        : kind_(kind), texts_(TextsOf(kind)), context_(context), account_(account), rows_(rows), key_(key) {}

    bool Run(HWND owner) noexcept { return RunModalOrReport(owner, IDD_STOCK_ENTRY) == IDOK; }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return FALSE;  // the focus is set on the amount
        case WM_COMMAND: return OnCommand(HIWORD(wParam), LOWORD(wParam));
        case FolderWriteState::kWrittenMessage:
            writing_.OnWritten(Window(), wParam, context_, texts_.notWritten);
            return TRUE;
        default: return FALSE;
        }
    }

    HWND Item(int id) const noexcept { return GetDlgItem(Window(), id); }

    void OnInit() noexcept {
        CentreWindow(Window());
        SetWindowTextW(Window(), texts_.caption);
        SetDlgItemTextW(Window(), IDC_STOCK_ENTRY_AMOUNT_LABEL, texts_.amountLabel);
        for (int id : {IDC_STOCK_ENTRY_DATE_LABEL, IDC_STOCK_ENTRY_DATE, IDC_STOCK_ENTRY_NOTE_LABEL,
                       IDC_STOCK_ENTRY_NOTE})
            ShowWindow(Item(id), texts_.dated ? SW_SHOW : SW_HIDE);
        AddComboItem(Item(IDC_STOCK_ENTRY_UNIT), L"г", kGramUnit, true);
        AddComboItem(Item(IDC_STOCK_ENTRY_UNIT), L"кг", kKilogramUnit);
        try {
            HWND combo = Item(IDC_STOCK_ENTRY_COMPONENT);
            for (std::size_t i = 0; i < rows_.size(); ++i)
                AddComboItem(combo, WinText(rows_[i].key + u" — " + rows_[i].name), static_cast<std::uint32_t>(i),
                             rows_[i].key == key_);
            if (texts_.dated) SetDlgItemTextW(Window(), IDC_STOCK_ENTRY_DATE, WinText(FormatDay(Today())));
        } catch (...) {
            // Out of memory: the fields start empty.
        }
        ShowBooked();
        SetFocus(Item(IDC_STOCK_ENTRY_AMOUNT));
    }

    INT_PTR OnCommand(int code, int id) noexcept {
        switch (id) {
        case IDOK:
        case IDCANCEL: writing_.OkOrCancel(Window(), id == IDOK, [this] { Save(); }); return TRUE;
        case IDC_STOCK_ENTRY_COMPONENT:
            if (code == CBN_SELCHANGE) ShowBooked();
            return TRUE;
        default: return FALSE;
        }
    }

    const StockRow* Chosen() const noexcept {
        const std::optional<std::uint32_t> row = SelectedComboData(Item(IDC_STOCK_ENTRY_COMPONENT));
        return row && *row < rows_.size() ? &rows_[*row] : nullptr;
    }

    // Beside the amount: what the account says there is, or the minimum in force.
    void ShowBooked() noexcept {
        const StockRow* row = Chosen();
        try {
            WideString text;
            if (row && kind_ == StockEntryKind::kCount)
                text = u"по учёту " + FormatHundredths(account_.OnHand(row->key, Today())) + u" г";
            if (row && kind_ == StockEntryKind::kMinimum)
                text = row->minimum ? u"сейчас " + FormatHundredths(*row->minimum) + u" г" : u"сейчас не задан";
            SetDlgItemTextW(Window(), IDC_STOCK_ENTRY_BOOKED, WinText(text));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_STOCK_ENTRY_BOOKED, L"");
        }
    }

    void Refuse(int field, const wchar_t* text) noexcept {
        ShowErrorBox(Window(), text);
        SendMessageW(Item(field), EM_SETSEL, 0, -1);
        SetFocus(Item(field));
    }

    void Save() noexcept {
        const StockRow* row = Chosen();
        if (row == nullptr || context_.ledger == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            const bool kilograms = SelectedComboData(Item(IDC_STOCK_ENTRY_UNIT)) == kKilogramUnit;
            Hundredths grams = 0;
            if (!ParseGramsText(TrimSpaces(ControlText(Item(IDC_STOCK_ENTRY_AMOUNT))), kilograms, grams) ||
                (kind_ == StockEntryKind::kReceipt && grams == 0))
                return Refuse(IDC_STOCK_ENTRY_AMOUNT, L"Количество: введите число больше нуля, не больше двух знаков "
                                                      L"после запятой, например 2,5.");
            const BatchTime now = CurrentBatchTime();
            LedgerWrite::Add add;
            switch (kind_) {
            case StockEntryKind::kReceipt: {
                const std::optional<DayNumber> day =
                    ParseDayText(TrimSpaces(ControlText(Item(IDC_STOCK_ENTRY_DATE))));
                if (!day) return Refuse(IDC_STOCK_ENTRY_DATE, L"Дата: введите дату ДД.ММ.ГГГГ.");
                const ReceiptRecord receipt{row->key, grams, *day,
                                            WideString(TrimSpaces(ControlText(Item(IDC_STOCK_ENTRY_NOTE)))), now};
                add = [receipt](LedgerStore& ledger) { return ledger.AddReceipt(receipt); };
                break;
            }
            case StockEntryKind::kCount:
                add = [count = account_.CountOf(row->key, grams, now)](LedgerStore& ledger) {
                    return ledger.AddCount(count);
                };
                break;
            case StockEntryKind::kMinimum:
                add = [minimum = MinimumRecord{row->key, grams, now}](LedgerStore& ledger) {
                    return ledger.AddMinimum(minimum);
                };
                break;
            }
            writing_.Start(Window(), IDC_STOCK_ENTRY_SAVING, context_, std::move(add));
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы записать.");
        }
    }

    StockEntryKind kind_;
    const KindTexts& texts_;
    LedgerContext& context_;
    const StockAccount& account_;
    const std::vector<StockRow>& rows_;  // the combo's items, by their data
    const ComponentKey& key_;
    LedgerWrite writing_;
};

}  // namespace

bool AskStockEntry(HWND owner, StockEntryKind kind, LedgerContext& context, const StockAccount& account,
                   const std::vector<StockRow>& rows, const ComponentKey& key) noexcept {
    StockEntryDialog dialog(kind, context, account, rows, key);
    return dialog.Run(owner);
}

}  // namespace lacqueron
