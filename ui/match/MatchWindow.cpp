#include "ui/match/MatchWindow.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <memory>
#include <optional>

#include "colour/ShippedOptics.h"
#include "colour/Decimal.h"
#include "core/Utf8.h"
#include "data/text/TextFold.h"
#include "files/FileReplace.h"
#include "matching/MatchRun.h"
#include "res/resource.h"
#include "ui/shared/ColourChooser.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FolderWriteState.h"
#include "ui/shared/GdiHandles.h"
#include "ui/shared/ListViewParts.h"
#include "ui/shared/WorkerHandOff.h"

namespace lacqueron {
namespace {

constexpr int kMostPastes = 4;
constexpr int kDrafts = 5;
constexpr int kSimilar = 10;
constexpr int kDeltaEDecimals = 2;
constexpr int kSwatchColumn = 0;
constexpr int kOwnRecipeNumber = -1;
constexpr std::uint32_t kSortByDeltaE = 0;
constexpr std::uint32_t kSortByCost = 1;
constexpr wchar_t kNoMemoryToSearch[] = L"Не хватило памяти, чтобы начать подбор.";
constexpr wchar_t kMeasurementFilter[] =
    L"Замеры CGATS и CxF3 (*.txt, *.cgats, *.it8, *.cxf)\0*.txt;*.cgats;*.it8;*.cxf\0Все файлы\0*.*\0";

struct KindChoice {
    TargetKind kind;
    const wchar_t* name;
    const wchar_t* hint;  // said under the target until something is typed
};

constexpr std::array<KindChoice, 5> kKinds = {{
    {TargetKind::kRalClassic, L"RAL Classic", L"Код цвета из каталога, например 3020."},
    {TargetKind::kRalDesign, L"RAL Design", L"Тон, светлота и насыщенность «H L C», например 240 40 30."},
    {TargetKind::kLab, L"L*a*b*", L"Три числа через пробел, например 52,3 -4,1 18 (D65, 10°)."},
    {TargetKind::kMeasurement, L"Файл замера", L"Файл CGATS или CxF3 со спектром отражения 400-700 нм."},
    {TargetKind::kScreen, L"Цвет экрана", L"Цвет с экрана — приблизительно."},
}};

constexpr ColumnLayout kDraftColumns[] = {
    {L"Цель | состав", 12}, {L"ΔE00", 15}, {L"Пасты на 1000 г основы", 45},
    {L"Пасты на 1 кг, ₽", 13, LVCFMT_RIGHT}, {L"Метамерия ΔE00", 15},
};
constexpr ColumnLayout kSimilarColumns[] = {{L"ΔE00", 14, LVCFMT_RIGHT}, {L"Где", 16}, {L"Код", 26}, {L"Название", 44}};

// A target as read for a search, kept to search for again when a setting changes.
struct SearchedTarget {
    TargetInput target;
    WideString shownAs;
};

class MatchWindow final : public Dialog {
public:
    explicit MatchWindow(MatchContext& context) : context_(context) {}

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        switch (message) {
        case WM_INITDIALOG: return OnInit();
        case WM_COMMAND: return OnCommand(HIWORD(wParam), LOWORD(wParam));
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (!OnNotify(reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
            SetWindowLongPtrW(Window(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        case WM_TIMER:
            if (search_.ProgressDue(Window(), wParam)) SetStatus(L"Идёт подбор...");
            return TRUE;
        case Search::kDoneMessage: TakeOutcome(wParam); return TRUE;
        case kFolderReadMessage: OnStockCounted(wParam); return TRUE;
        case WM_CLOSE: EndDialog(Window(), IDCANCEL); return TRUE;
        case WM_DESTROY: Search::Stop(Window()); return FALSE;
        default: return FALSE;
        }
    }

    HWND Control(int id) const noexcept { return GetDlgItem(Window(), id); }

    BOOL OnInit() noexcept {
        if (context_.optics) {
            table_ = *context_.optics;
            opticsRead_ = true;
        } else {
            colour::OpticsError error;
            opticsRead_ = colour::ReadOptics(colour::ShippedOpticsText(), table_, error);
        }
        for (const KindChoice& choice : kKinds)
            AddComboItem(Control(IDC_MATCH_KIND), choice.name, static_cast<std::uint32_t>(choice.kind));
        for (int n = 1; n <= kMostPastes; ++n)
            AddComboItem(Control(IDC_MATCH_MAX_PASTES), WinText(FromUtf8Lenient(std::to_string(n))),
                         static_cast<std::uint32_t>(n), n == kMostPastes);
        AddComboItem(Control(IDC_MATCH_SORT), L"по ΔE00", kSortByDeltaE, true);
        AddComboItem(Control(IDC_MATCH_SORT), L"по цене", kSortByCost);
        // Stock and prices only where the shop keeps them.
        ShowWindow(Control(IDC_MATCH_IN_STOCK), context_.inStock ? SW_SHOW : SW_HIDE);
        EnableWindow(Control(IDC_MATCH_SORT), context_.pricePerKilogram ? TRUE : FALSE);
        SetDlgItemTextW(Window(), IDC_MATCH_PURPOSE, WinText(context_.purposeText));
        SetUpReportColumns(Control(IDC_MATCH_DRAFTS), kDraftColumns, std::size(kDraftColumns));
        SetUpReportColumns(Control(IDC_MATCH_SIMILAR), kSimilarColumns, std::size(kSimilarColumns));

        TargetKind kind = TargetKind::kLab;
        if (!context_.startCode.empty()) {
            kind = TargetKind::kRalClassic;
            SetDlgItemTextW(Window(), IDC_MATCH_TEXT, WinText(context_.startCode));
        } else if (context_.startRgb) {
            kind = TargetKind::kScreen;
            screenRgb_ = *context_.startRgb;
        }
        SelectComboData(Control(IDC_MATCH_KIND), static_cast<std::uint32_t>(kind));
        OnKindChanged();
        if (!opticsRead_) SetStatus(L"Данные о пастах не читаются: подбор невозможен.");
        else if (!context_.startCode.empty() || context_.startRgb) StartSearch();
        return TRUE;
    }

    TargetKind Kind() const noexcept {
        return static_cast<TargetKind>(SelectedComboData(Control(IDC_MATCH_KIND)).value_or(0));
    }

    void OnKindChanged() noexcept {
        const TargetKind kind = Kind();
        EnableWindow(Control(IDC_MATCH_TEXT), kind != TargetKind::kScreen);
        EnableWindow(Control(IDC_MATCH_FILE), kind == TargetKind::kMeasurement);
        EnableWindow(Control(IDC_MATCH_SCREEN), kind == TargetKind::kScreen);
        for (const KindChoice& choice : kKinds)
            if (choice.kind == kind) SetStatus(choice.hint);
    }

    INT_PTR OnCommand(int code, int id) noexcept {
        switch (id) {
        case IDC_MATCH_KIND:
            if (code == CBN_SELCHANGE) OnKindChanged();
            return TRUE;
        case IDC_MATCH_RUN:
        case IDOK:
            if (code == BN_CLICKED) StartSearch();
            return TRUE;
        case IDC_MATCH_IN_STOCK:
            // The drafts shown follow each setting at once, for the target they were drafted for.
            if (code == BN_CLICKED && searched_) SearchFor(*searched_);
            return TRUE;
        case IDC_MATCH_MAX_PASTES:
        case IDC_MATCH_SORT:
            if (code == CBN_SELCHANGE && searched_) SearchFor(*searched_);
            return TRUE;
        case IDC_MATCH_FILE:
            if (code == BN_CLICKED && ChooseFile()) StartSearch();
            return TRUE;
        case IDC_MATCH_SCREEN:
            if (code == BN_CLICKED && ChooseScreenColour()) StartSearch();
            return TRUE;
        case IDC_MATCH_WEIGH:
            if (code == BN_CLICKED) WeighSelected();
            return TRUE;
        case IDC_MATCH_SAVE:
            if (code == BN_CLICKED) SaveSelected();
            return TRUE;
        case IDC_MATCH_CLOSE:
        case IDCANCEL:
            EndDialog(Window(), IDCANCEL);
            return TRUE;
        default: return FALSE;
        }
    }

    bool OnNotify(const NMHDR* header, LRESULT& result) noexcept {
        if (header == nullptr) return false;
        if (header->idFrom == IDC_MATCH_DRAFTS && header->code == NM_CUSTOMDRAW) {
            result = OnDraftDraw(*reinterpret_cast<const NMLVCUSTOMDRAW*>(header));
            return true;
        }
        if (header->idFrom == IDC_MATCH_DRAFTS && header->code == LVN_ITEMCHANGED) {
            EnableDraftActions();
            return true;
        }
        if (header->idFrom == IDC_MATCH_SIMILAR && header->code == NM_DBLCLK) {
            SelectSimilar(reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem);
            return true;
        }
        return false;
    }

    // The first column's cell split in two: the target on the left, the draft on the right.
    LRESULT OnDraftDraw(const NMLVCUSTOMDRAW& draw) noexcept {
        bool paintNow = false;
        const LRESULT answer = ColourBarDrawStage(draw, kSwatchColumn, paintNow);
        const auto item = static_cast<std::size_t>(draw.nmcd.dwItemSpec);
        if (!paintNow || !outcome_ || item >= outcome_->drafts.size()) return answer;
        RECT cell{};
        cell.top = kSwatchColumn;
        cell.left = LVIR_LABEL;
        HWND list = Control(IDC_MATCH_DRAFTS);
        if (!SendMessageW(list, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell))) return answer;
        --cell.bottom;
        RECT left = cell, right = cell;
        left.right = right.left = cell.left + (cell.right - cell.left) / 2;
        const BrushHandle target(CreateSolidBrush(outcome_->targetRgb));
        const BrushHandle drafted(CreateSolidBrush(outcome_->drafts[item].rgb));
        if (target) FillRect(draw.nmcd.hdc, &left, target.get());
        if (drafted) FillRect(draw.nmcd.hdc, &right, drafted.get());
        return answer;
    }

    void SetStatus(const wchar_t* text) noexcept { SetDlgItemTextW(Window(), IDC_MATCH_STATUS, text); }

    bool ChooseFile() noexcept {
        std::array<wchar_t, MAX_PATH> file{};
        OPENFILENAMEW request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = Window();
        request.lpstrFilter = kMeasurementFilter;
        request.lpstrFile = file.data();
        request.nMaxFile = MAX_PATH;
        request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
        if (!GetOpenFileNameW(&request)) {
            if (CommDlgExtendedError() != 0) ShowErrorBox(Window(), L"Не удалось открыть окно выбора файла.");
            return false;
        }
        SetDlgItemTextW(Window(), IDC_MATCH_TEXT, file.data());
        return true;
    }

    bool ChooseScreenColour() noexcept {
        COLORREF chosen = screenRgb_;
        if (!lacqueron::ChooseScreenColour(Window(), chosen, customColours_)) return false;
        screenRgb_ = chosen;
        return true;
    }

    // Reads the target on this thread (a file too) and searches for it.
    void StartSearch() noexcept {
        if (!opticsRead_) return;
        try {
            const WideString typed(TrimSpaces(ControlText(Control(IDC_MATCH_TEXT))));
            SearchedTarget searched;
            searched.target.kind = Kind();
            searched.shownAs = typed;
            if (searched.target.kind == TargetKind::kMeasurement) {
                if (typed.empty()) return SetStatus(L"Выберите файл замера.");
                if (!ReadFileContents(typed, searched.target.text))
                    return SetStatus(WinText(u"Файл «" + typed + u"» не читается."));
            } else {
                searched.target.text = ToUtf8(typed);
            }
            searched.target.rgb = screenRgb_;
            searched_ = std::move(searched);
        } catch (...) {
            return ShowErrorBox(Window(), kNoMemoryToSearch);
        }
        SearchFor(*searched_);
    }

    // Takes the settings as they are now, then lets the worker run on its own copies; a
    // newer search makes an older one's outcome stale.
    void SearchFor(const SearchedTarget& searched) noexcept {
        try {
            MatchInput input;
            input.target = searched.target;
            input.shownAs = searched.shownAs;
            input.purpose = static_cast<std::int32_t>(context_.purpose);
            input.maxPastes = static_cast<int>(SelectedComboData(Control(IDC_MATCH_MAX_PASTES)).value_or(kMostPastes));
            input.top = kDrafts;
            input.similar = kSimilar;
            const bool inStockOnly =
                context_.inStock && IsDlgButtonChecked(Window(), IDC_MATCH_IN_STOCK) == BST_CHECKED;
            if (inStockOnly && !CountedStock()) return;
            input.pastes = PackagePastes(*context_.catalogue, table_,
                                         inStockOnly ? context_.inStock : std::function<bool(const MixComponent&)>());
            if (context_.pricePerKilogram) {
                input.pricePerGram = PastePricesPerGram(*context_.catalogue, table_, context_.pricePerKilogram);
                input.byCost = SelectedComboData(Control(IDC_MATCH_SORT)).value_or(kSortByDeltaE) == kSortByCost;
            }
            std::vector<OwnRecipeCurrent> own;
            if (context_.ownRecipes) own = context_.ownRecipes();
            search_.Start(Window(), [catalogue = context_.catalogue, table = table_, own = std::move(own),
                                     input = std::move(input)] { return RunColourMatch(*catalogue, table, own, input); });
            // The last target's drafts go at once: weighed or saved now, they would be
            // taken for the new target's.
            outcome_.reset();
            ListView_DeleteAllItems(Control(IDC_MATCH_DRAFTS));
            ListView_DeleteAllItems(Control(IDC_MATCH_SIMILAR));
            EnableDraftActions();
        } catch (...) {
            ShowErrorBox(Window(), kNoMemoryToSearch);
        }
    }

    // What is in stock is counted from the data folder first, off this thread: true when
    // the count is in, else the count is on its way (the search starts again when it
    // comes) or could not start (told). May throw out of memory.
    bool CountedStock() {
        if (!context_.countStock) return true;
        if (stockCounted_) {
            stockCounted_ = false;  // the next search counts again
            return true;
        }
        if (counting_.Running()) return false;
        FolderWrite job = context_.countStock();
        if (!job) return true;  // the shop keeps no stock now: nothing to count
        if (!counting_.Start(Window(), context_.writes, std::move(job), nullptr, nullptr)) {
            SetStatus(kStoresAwayText);
            return false;
        }
        if (counting_.Running()) SetStatus(kFolderReadingText);
        return false;
    }

    void OnStockCounted(WPARAM generation) noexcept {
        if (!counting_.Take(generation)) return;  // another job's
        // A count that failed leaves nothing in stock, as a journal that cannot be read does.
        stockCounted_ = true;
        if (searched_) SearchFor(*searched_);
    }

    void TakeOutcome(WPARAM generation) noexcept {
        std::unique_ptr<MatchOutcome> outcome = search_.Take(Window(), generation);
        if (!outcome) return;  // a search since made it stale
        outcome_ = std::move(outcome);
        try {
            ShowOutcome();
        } catch (...) {
            SetStatus(L"Не хватило памяти, чтобы показать составы.");
        }
    }

    void ShowOutcome() {
        HWND drafts = Control(IDC_MATCH_DRAFTS);
        HWND similar = Control(IDC_MATCH_SIMILAR);
        // Both lists filled whole, then painted once: a paint per row cost more than the search.
        const ListRedrawPause pauseDrafts(drafts);
        const ListRedrawPause pauseSimilar(similar);
        ListView_DeleteAllItems(drafts);
        ListView_DeleteAllItems(similar);
        const MatchOutcome& outcome = *outcome_;
        WideString status = outcome.problem;
        if (status.empty()) {
            status = outcome.reach;
            if (outcome.target.approximate)
                status += WideString(status.empty() ? u"" : u" ") + u"Цель взята с экрана — приблизительно.";
            if (status.empty()) status = u"Составов: " + FromUtf8Lenient(std::to_string(outcome.drafts.size())) + u".";
            if (!context_.opticsSource.empty()) status += u" Оптика паст: " + context_.opticsSource + u".";
        }
        SetStatus(WinText(status));
        for (const DraftRow& row : outcome.drafts)
            AddListRow(drafts, {WideString(), row.deltaE, row.pastes, row.cost, row.metamerism});
        for (const SimilarColour& other : outcome.similar)
            AddListRow(similar, {FromUtf8Lenient(colour::FormatFixed(other.deltaE, kDeltaEDecimals)),
                                 other.own ? WideString(u"свой") : WideString(u"каталог"), other.code, other.name});
        if (!outcome.drafts.empty()) SelectListItem(drafts, 0);
        EnableDraftActions();
    }

    const DraftRow* SelectedDraft() const noexcept {
        const auto item = static_cast<int>(
            SendMessageW(Control(IDC_MATCH_DRAFTS), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (!outcome_ || item < 0 || static_cast<std::size_t>(item) >= outcome_->drafts.size()) return nullptr;
        return &outcome_->drafts[static_cast<std::size_t>(item)];
    }

    void EnableDraftActions() noexcept {
        const bool chosen = SelectedDraft() != nullptr;
        EnableWindow(Control(IDC_MATCH_WEIGH), chosen && context_.weigh ? TRUE : FALSE);
        EnableWindow(Control(IDC_MATCH_SAVE), chosen && context_.saveAsOwn ? TRUE : FALSE);
    }

    void WeighSelected() noexcept {
        const DraftRow* row = SelectedDraft();
        if (!row || !context_.weigh) return;
        try {
            OwnRecipe own = DraftAsOwnRecipe(table_, *outcome_, *row);
            own.code = u"Подбор";
            own.name = row->pastes;
            ColourEntry colour;
            colour.number = kOwnRecipeNumber;
            colour.rgb = outcome_->targetRgb;
            colour.code = own.code;
            colour.name = own.name;
            context_.weigh(Window(), ToColourRecipe(own, kOwnRecipeNumber), colour, *own.target);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы взвесить состав.");
        }
    }

    void SaveSelected() noexcept {
        const DraftRow* row = SelectedDraft();
        if (!row || !context_.saveAsOwn) return;
        try {
            context_.saveAsOwn(Window(), DraftAsOwnRecipe(table_, *outcome_, *row));
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы сохранить рецепт.");
        }
    }

    void SelectSimilar(int item) noexcept {
        if (!outcome_ || item < 0 || static_cast<std::size_t>(item) >= outcome_->similar.size() || !context_.select)
            return;
        context_.select(outcome_->similar[static_cast<std::size_t>(item)].code);
    }

    using Search = WorkerHandOff<MatchOutcome>;

    MatchContext& context_;
    Search search_;
    colour::OpticsTable table_;
    bool opticsRead_ = false;
    FolderJob counting_{kFolderReadMessage};
    bool stockCounted_ = false;  // the count for the search asked for is in
    std::uint32_t screenRgb_ = 0;
    CustomColours customColours_{};
    std::unique_ptr<MatchOutcome> outcome_;
    std::optional<SearchedTarget> searched_;  // the last target searched for, as it was read
};

}  // namespace

void ShowMatchWindow(HWND owner, MatchContext& context) noexcept {
    if (context.catalogue == nullptr) return;
    try {
        MatchWindow window(context);
        window.RunModalOrReport(owner, IDD_MATCH);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы открыть подбор цвета.");
    }
}

}  // namespace lacqueron
