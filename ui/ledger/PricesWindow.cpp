#include <iterator>
#include <optional>
#include <unordered_map>

#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"
#include "res/resource.h"
#include "ui/ledger/LedgerParts.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FilteredListDialog.h"

namespace lacqueron {
namespace {

enum Column { kCodeColumn, kNameColumn, kPriceColumn, kFromColumn };

// "руб.": the dialogs' font has no rouble sign on every system.
constexpr ColumnLayout kColumns[] = {
    {L"Код", 14}, {L"Компонент", 40}, {L"Цена за кг, руб.", 22, LVCFMT_RIGHT}, {L"Действует с", 24}};
constexpr ColumnLayout kHistoryColumns[] = {
    {L"Записана", 34}, {L"Цена за кг, руб.", 34, LVCFMT_RIGHT}, {L"Действует с", 32}};
// The prices list has no colour bar.
constexpr int kNoBarColumn = -1;
constexpr char16_t kAlways[] = u"всегда";

WideString FromText(const std::optional<DayNumber>& from) { return from ? FormatDay(*from) : WideString(kAlways); }
WideString FromText(const PriceRecord& price) { return FromText(price.from); }

// Where a price is in force today, and the one set for a later day, marked as such:
// "01.12.2026; с 01.01.2027: 1 500.00".
WideString InForceText(const std::optional<PriceStep>& today, const std::optional<PriceStep>& next) {
    WideString text = today ? FromText(today->from) : WideString();
    if (!next) return text;
    if (!text.empty()) text += u"; ";
    return text + u"с " + FromText(next->from) + u": " + FormatRoubles(next->perKilogram);
}

// One component's new price: what it costs per kilogram and from which day.
class PriceEditDialog final : public Dialog {
public:
    // `last` is the price written last for the component, null when it has none.
    PriceEditDialog(LedgerContext& context, const LedgerComponent& component, const PriceRecord* last)
        : context_(context), component_(component), last_(last) {}

    bool Run(HWND owner) noexcept { return RunModalOrReport(owner, IDD_PRICE_EDIT) == IDOK; }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return FALSE;  // the focus is set on the price
        case WM_COMMAND: return OnCommand(LOWORD(wParam));
        case FolderWriteState::kWrittenMessage:
            writing_.OnWritten(Window(), wParam, context_, kPriceNotWritten);
            return TRUE;
        default: return FALSE;
        }
    }

    void OnInit() noexcept {
        CentreWindow(Window());
        try {
            SetDlgItemTextW(Window(), IDC_PRICE_COMPONENT, WinText(component_.key + u": " + component_.name));
            // A component priced before keeps its old price for the batches before today.
            if (last_) {
                SetDlgItemTextW(Window(), IDC_PRICE_VALUE, WinText(FormatRoubles(last_->perKilogram)));
                SetDlgItemTextW(Window(), IDC_PRICE_FROM, WinText(FormatDay(Today())));
            }
        } catch (...) {
            // Out of memory: the fields start empty.
        }
        HWND price = GetDlgItem(Window(), IDC_PRICE_VALUE);
        SendMessageW(price, EM_SETSEL, 0, -1);
        SetFocus(price);
    }

    INT_PTR OnCommand(int id) noexcept {
        switch (id) {
        case IDOK:
        case IDCANCEL: writing_.OkOrCancel(Window(), id == IDOK, [this] { Save(); }); return TRUE;
        default: return FALSE;
        }
    }

    // Tells what is wrong with a field and puts the focus in it.
    void Refuse(int field, const wchar_t* text) noexcept {
        ShowErrorBox(Window(), text);
        HWND control = GetDlgItem(Window(), field);
        SendMessageW(control, EM_SETSEL, 0, -1);
        SetFocus(control);
    }

    void Save() noexcept {
        if (context_.ledger == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            PriceRecord price;
            price.key = component_.key;
            if (!ParseRoubles(TrimSpaces(ControlText(GetDlgItem(Window(), IDC_PRICE_VALUE))), price.perKilogram))
                return Refuse(IDC_PRICE_VALUE, L"Цена: введите рубли за килограмм, не больше двух знаков после "
                                               L"запятой, например 1250,50.");
            const WideString from(TrimSpaces(ControlText(GetDlgItem(Window(), IDC_PRICE_FROM))));
            if (!from.empty()) {
                price.from = ParseDayText(from);
                if (!price.from)
                    return Refuse(IDC_PRICE_FROM, L"Действует с: введите дату ДД.ММ.ГГГГ или оставьте поле пустым, "
                                                  L"чтобы цена действовала всегда.");
            }
            price.saved = CurrentBatchTime();
            writing_.Start(Window(), IDC_PRICE_SAVING, context_,
                           [price](LedgerStore& ledger) { return ledger.AddPrice(price); });
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы записать цену.");
        }
    }

    static constexpr wchar_t kPriceNotWritten[] = L"Цена не записана.";
    LedgerContext& context_;
    const LedgerComponent& component_;
    const PriceRecord* last_;
    LedgerWrite writing_;
};

// Every price a component had, newest first.
class PriceHistoryDialog final : public Dialog {
public:
    PriceHistoryDialog(const LedgerComponent& component, std::vector<PriceRecord> prices)
        : component_(component), prices_(std::move(prices)) {}

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_PRICE_HISTORY); }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return FALSE;  // the focus is set on the list
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            EndDialog(Window(), IDCANCEL);
            return TRUE;
        default: return FALSE;
        }
    }

    void OnInit() noexcept {
        CentreWindow(Window());
        HWND list = GetDlgItem(Window(), IDC_PRICE_HISTORY_LIST);
        SetUpReportColumns(list, kHistoryColumns, std::size(kHistoryColumns));
        try {
            SetWindowTextW(Window(), WinText(u"История цены " + component_.key));
            for (auto price = prices_.rbegin(); price != prices_.rend(); ++price)
                AddListRow(list, {FormatBatchTime(price->saved), FormatRoubles(price->perKilogram), FromText(*price)});
        } catch (...) {
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);  // out of memory: no rows rather than some
        }
        if (!prices_.empty()) SelectListItem(list, 0);
        SetFocus(list);
    }

    const LedgerComponent& component_;
    std::vector<PriceRecord> prices_;  // in file order
};

class PricesDialog final : public FilteredListDialog {
public:
    explicit PricesDialog(LedgerContext& context)
        : FilteredListDialog({IDC_PRICES_SEARCH, IDC_PRICES_LIST, IDC_PRICES_CLOSE, kColumns, std::size(kColumns),
                              kNoBarColumn, SIZE{}}),
          context_(context) {
        if (context.catalogue) {
            components_ = LedgerComponents(*context.catalogue);
            keys_.emplace(*context.catalogue);
        }
        for (std::size_t i = 0; i < components_.size(); ++i) byKey_.emplace(components_[i].key, i);
        IndexPrices();
    }

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_PRICES); }

private:
    // The price written last for each component, and the book of what is in force.
    void IndexPrices() {
        last_.assign(components_.size(), kNoPrice);
        book_.reset();
        indexedRevision_.reset();
        if (context_.ledger == nullptr || !keys_) return;
        indexedRevision_ = context_.ledger->Revision();
        const std::vector<PriceRecord>& prices = context_.ledger->Prices();
        for (std::size_t i = 0; i < prices.size(); ++i) {
            const auto found = byKey_.find(keys_->Of(prices[i].key));
            if (found != byKey_.end()) last_[found->second] = i;
        }
        book_.emplace(prices, *context_.catalogue);
    }

    const LedgerComponent* ComponentAt(int item) const noexcept {
        const std::size_t row = RowAt(item);
        return row < components_.size() ? &components_[row] : nullptr;
    }

    // None while a price has the ledger on the data folder's worker.
    const PriceRecord* LastPrice(std::size_t row) const noexcept {
        if (context_.writes && context_.writes->Away()) return nullptr;
        if (context_.ledger == nullptr || row >= last_.size() || last_[row] == kNoPrice) return nullptr;
        return &context_.ledger->Prices()[last_[row]];
    }

    std::vector<std::size_t> SelectRows(const WideString& text) override { return ItemsMatching(components_, text); }

    WideString CellText(int item, int column) override {
        const LedgerComponent* component = ComponentAt(item);
        if (component == nullptr) return WideString();
        const DayNumber today = Today();
        const std::optional<PriceStep> price = book_ ? book_->InForce(component->key, today) : std::nullopt;
        switch (column) {
        case kCodeColumn: return component->key;
        case kNameColumn: return component->name;
        case kPriceColumn: return price ? FormatRoubles(price->perKilogram) : WideString();
        case kFromColumn: return InForceText(price, book_ ? book_->Next(component->key, today) : std::nullopt);
        default: return WideString();
        }
    }

    const ColourEntry* BarColour(int) noexcept override { return nullptr; }
    void OnActivate(int) noexcept override {
        if (!catchUp_.Defer(IDOK)) Edit();
    }
    void OnSetUp() noexcept override { ShowState(); }
    void OnRowsShown() noexcept override { EnableButtons(); }

    INT_PTR OnOtherCommand(int, int id) noexcept override {
        // Every command reads the ledger, which a catch-up has away for a moment.
        if (catchUp_.Defer(id)) return TRUE;
        switch (id) {
        case IDOK:  // Enter, wherever the focus is
        case IDC_PRICES_EDIT: Edit(); return TRUE;
        case IDC_PRICES_HISTORY: History(); return TRUE;
        case IDC_PRICES_IMPORT: import_.Start(Window(), IDC_PRICES_STATE, context_); return TRUE;
        case IDC_PRICES_EXPORT: ExportPricesFile(Window(), context_); return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR OnOtherMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        if (message == FolderWriteState::kWrittenMessage) {
            if (const std::optional<bool> written = import_.OnWritten(Window(), wParam, context_)) {
                if (*written) Reload();
                EnableButtons();
            }
            return TRUE;
        }
        // What other benches wrote shows when the window is active again.
        return catchUp_
            .OnMessage(Window(), message, wParam, [this] { CatchUp(); },
                       [this](JournalAppendResult) {
                           if (context_.ledger && context_.ledger->Revision() != indexedRevision_) Reload();
                           EnableButtons();
                       })
            .value_or(FALSE);
    }

    // The ledger reads what other benches wrote, on the data folder's worker.
    void CatchUp() noexcept {
        if (context_.ledger == nullptr || (context_.writes && context_.writes->Away())) return;
        catchUp_.Start(
            Window(), context_.writes,
            [](OwnRecipeStore*, LedgerStore* ledger, OpticsStore*) { return FolderCatchUp::Refreshed(ledger); }, nullptr,
            context_.ledger);
    }

    bool HoldsClose() const noexcept override { return import_.Running(); }
    bool DefersClose(int id) noexcept override { return catchUp_.Defer(id); }

    void ShowState() noexcept {
        try {
            SetDlgItemTextW(Window(), IDC_PRICES_STATE, WinText(LedgerStateText(context_)));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_PRICES_STATE, L"");
        }
    }

    void EnableButtons() noexcept {
        const bool ledger = context_.ledger != nullptr;
        const int item = SelectedItem();
        const bool selected = ledger && ComponentAt(item) != nullptr;
        const struct {
            int id;
            bool enabled;
        } buttons[] = {{IDC_PRICES_EDIT, selected},
                       {IDC_PRICES_HISTORY, selected && LastPrice(RowAt(item)) != nullptr},
                       {IDC_PRICES_IMPORT, ledger},
                       {IDC_PRICES_EXPORT, ledger && !components_.empty()}};
        for (const auto& button : buttons)
            if (HWND control = GetDlgItem(Window(), button.id)) EnableWindow(control, button.enabled);
    }

    // The prices read again, the selected component kept selected.
    void Reload() noexcept {
        const std::size_t kept = RowAt(SelectedItem());
        try {
            IndexPrices();
        } catch (...) {
            last_.assign(last_.size(), kNoPrice);  // out of memory: no prices rather than wrong ones
        }
        Refill();
        for (std::size_t item = 0; item < Rows().size(); ++item)
            if (Rows()[item] == kept) SelectListItem(List(), static_cast<int>(item));
    }

    void Edit() noexcept {
        const int item = SelectedItem();
        const LedgerComponent* component = ComponentAt(item);
        if (component == nullptr || context_.ledger == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            // A copy: the ledger may grow under the dialog.
            const PriceRecord* written = LastPrice(RowAt(item));
            const std::optional<PriceRecord> last = written ? std::optional<PriceRecord>(*written) : std::nullopt;
            PriceEditDialog dialog(context_, *component, last ? &*last : nullptr);
            if (dialog.Run(Window())) Reload();
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы изменить цену.");
        }
    }

    void History() noexcept {
        const LedgerComponent* component = ComponentAt(SelectedItem());
        if (component == nullptr || context_.ledger == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            std::vector<PriceRecord> prices;
            for (const PriceRecord& price : context_.ledger->Prices())
                if (keys_ && keys_->Of(price.key) == component->key) prices.push_back(price);
            PriceHistoryDialog(*component, std::move(prices)).Run(Window());
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы показать историю цены.");
        }
    }

    static constexpr std::size_t kNoPrice = static_cast<std::size_t>(-1);

    LedgerContext& context_;
    std::vector<LedgerComponent> components_;  // the rows, in the package's order
    std::unordered_map<ComponentKey, std::size_t> byKey_;
    std::vector<std::size_t> last_;  // per component, its last price's index in Prices()
    std::optional<SharedKeys> keys_;  // none without a catalogue
    std::optional<PriceBook> book_;   // none without a ledger
    std::optional<std::uint64_t> indexedRevision_;  // the ledger's, when the prices were indexed
    PricesImport import_;
    FolderCatchUp catchUp_;
};

}  // namespace

void ShowPrices(HWND owner, LedgerContext& context) noexcept {
    try {
        PricesDialog dialog(context);
        dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы показать цены.");
    }
}

}  // namespace lacqueron
