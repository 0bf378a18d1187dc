#include "ui/main/MainDialog.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "data/catalogue/UnitAndPurpose.h"
#include "data/text/TextTools.h"
#include "data/text/VersionFormat.h"
#include "files/JournalAccess.h"
#include "formula/NumberFormat.h"
#include "formula/RecipeText.h"
#include "ledger/LedgerDay.h"
#include "matching/ColourMatch.h"
#include "res/resource.h"
#include "tint/OpticsInForce.h"
#include "ui/about/AboutDialog.h"
#include "ui/calibration/CalibrationDialog.h"
#include "ui/journal/JournalDialog.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/match/MatchWindow.h"
#include "ui/print/Printing.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/DerivedFont.h"
#include "ui/shared/Dpi.h"
#include "ui/shared/FlagScope.h"
#include "ui/shared/ListViewParts.h"
#include "ui/shared/RecipeFont.h"
#include "ui/weigh/BenchSettings.h"
#include "ui/shared/ErrorBox.h"
#include "ui/weigh/WeighDialog.h"
#include "win32/Handles.h"

namespace lacqueron {
namespace {

constexpr std::int32_t kMinAmount = 0;
constexpr std::int32_t kSpinStep = 100;
// The amount is read from at most this many characters plus the terminator.
constexpr int kAmountBuffer = 16;
// The paint list's two columns, in percent of its width: the title and the colour bar.
constexpr int kTitleColumnPercent = 45;
constexpr int kBarColumnPercent = 55;
constexpr int kPercent = 100;
// How long a paint's tip stays up.
constexpr int kTipShownMs = 5000;
// Posted at a store's opening, so what it has to say comes once the window is up.
constexpr UINT kTellStoreNotice = WM_APP + 1;
// Posted by the data folder's worker when a look is done; wParam is its generation.
constexpr UINT kFolderLooked = WM_APP + 2;
// WM_CONTEXTMENU's position when the keyboard asked for the menu.
constexpr LPARAM kMenuFromKeyboard = -1;

constexpr wchar_t kNoMemoryForOwnRecipes[] = L"Недостаточно памяти, чтобы открыть свои рецепты.";

// The amount as "%d" writes it.
WideString DecimalText(std::int32_t value) {
    const std::string digits = FormatInt(value);
    return WideString(digits.begin(), digits.end());
}

// Adds the items with their data, selects the one whose data is value (else the
// first) and reads value back from the selection.
void FillCombo(HWND combo, const ChoiceText* items, std::size_t count, std::uint32_t& value) noexcept {
    for (std::size_t i = 0; i < count; ++i)
        AddComboItem(combo, reinterpret_cast<const wchar_t*>(items[i].text), items[i].value);
    if (!SelectComboData(combo, value)) SendMessageW(combo, CB_SETCURSEL, 0, 0);
    value = SelectedComboData(combo).value_or(value);
}

void ShowControl(HWND dialog, int id, int show) noexcept {
    if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, show);
}

void SetControl(HWND dialog, int id, bool enabled, const WideString* text) noexcept {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    EnableWindow(control, enabled);
    if (text) SetWindowTextW(control, WinText(*text));
}

}  // namespace

MainDialog::MainDialog(AppModule& module, const DataPackage& package) : module_(&module) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    LoadCatalogue(module, package, catalogue_, values_);
    finder_.LoadRecent(module);
}

MainDialog::~MainDialog() { DestroyWindowIfAny(); }

HWND MainDialog::Create() noexcept { return CreateModeless(nullptr, IDD_MAIN); }

void MainDialog::DestroyWindowIfAny() noexcept {
    // The window is forgotten at WM_NCDESTROY.
    if (Window() != nullptr) DestroyWindow(Window());
}

INT_PTR MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        const INT_PTR handled = OnNotify(static_cast<int>(wParam), reinterpret_cast<const NMHDR*>(lParam), result);
        if (handled) SetWindowLongPtrW(Window(), DWLP_MSGRESULT, result);
        return handled;
    }
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        // Another bench may have saved meanwhile; the default handling still sets the focus.
        if (LOWORD(wParam) != WA_INACTIVE) TakeNews(shop_.Look(ShopData::Retry::kWhenDue));
        return FALSE;
    case WM_CONTEXTMENU:
        return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case kTellStoreNotice:
        TellStoreNotice();
        return TRUE;
    case kFolderLooked:
        TakeNews(shop_.OnLooked(wParam));
        return TRUE;
    case WM_CLOSE:
        PostQuitMessage(0);
        return TRUE;
    case WM_TIMER:
        return finder_.OnTimer(wParam);
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    default:
        return FALSE;
    }
}

void MainDialog::OnInit() noexcept {
    CentreWindow(Window());

    SetWindowIcons(Window(), GetModuleHandleW(nullptr), IDI_MAIN);

    WideString title;
    for (const SettingEntry& entry : catalogue_.settings) {
        if (EqualFoldLatin(entry.key, u"APPNAME"))
            title = FormatVersion(entry.value, {module_->GetVersionMajor(), module_->GetVersionMinor(),
                                                module_->GetVersionBuild()});
    }
    SetWindowTextW(Window(), WinText(title));

    ShowControl(Window(), IDC_RECIPE_FRAME_BACK, SW_HIDE);
    SetUpRecipeFont();
    ShowControl(Window(), IDC_RECIPE_FRAME_FRONT, SW_HIDE);
    SetUpButtonFont();
    SetUpPaintList();
    // Typing in the list finds the catalogue's colours at once; the own rows and the
    // prices join when the worker has read the data folder, however slow its share.
    finder_.Attach(Window(), GetDlgItem(Window(), IDC_PAINT_LIST));
    finder_.Reindex(catalogue_, ownRows_);
    shop_.Start(Window(), kFolderLooked);
    TakeNews(shop_.Look(ShopData::Retry::kNow));
    RefreshDetails(nullptr, nullptr);

    if (HWND units = GetDlgItem(Window(), IDC_UNIT))
        FillCombo(units, kUnitChoices, std::size(kUnitChoices), values_.weightType);
    if (HWND purposes = GetDlgItem(Window(), IDC_PURPOSE))
        FillCombo(purposes, kPurposeChoices, std::size(kPurposeChoices), values_.purpose);

    WriteAmount();
    ComputeRecipe();
    ignoreAmountChange_ = false;
}

void MainDialog::SetUpRecipeFont() noexcept {
    HWND recipe = GetDlgItem(Window(), IDC_RECIPE);
    if (recipe == nullptr) return;
    SetOwnedFont(recipe, recipeFont_, CreateRecipeFont(static_cast<int>(DpiOfWindow(Window()))));
}

void MainDialog::SetUpButtonFont() noexcept {
    HWND button = GetDlgItem(Window(), IDC_MAIN_MEMO);
    if (button == nullptr) return;
    SetOwnedFont(button, buttonFont_, CreateDerivedFont(button, {FW_BOLD}));
}

void MainDialog::SetUpPaintList() noexcept {
    HWND list = GetDlgItem(Window(), IDC_PAINT_LIST);
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_INFOTIP);

    RECT client{};
    GetClientRect(list, &client);
    const int width = client.right - client.left;
    wchar_t empty[] = L"";
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = empty;
    column.cx = width * kTitleColumnPercent / kPercent - GetSystemMetrics(SM_CXVSCROLL);
    column.iSubItem = 0;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.mask |= LVCF_ORDER;
    column.cx = width * kBarColumnPercent / kPercent;
    column.iSubItem = 1;
    column.iOrder = 1;
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    if (HWND tips = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETTOOLTIPS, 0, 0))) {
        SendMessageW(tips, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(0, 0));
        SendMessageW(tips, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTipShownMs, 0));
    }

    // Rows reserved, and one layout and repaint for all of them rather than one per row.
    SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(catalogue_.recipes.size()), 0);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    try {
        for (const ColourRecipe& recipe : catalogue_.recipes)
            AddListRow(list, {recipe.title}, reinterpret_cast<LPARAM>(&recipe));
    } catch (...) {
        // Out of memory for a title's copy: the list keeps the paints it has.
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

INT_PTR MainDialog::OnCommand(int code, int id, HWND control) noexcept {
    switch (id) {
    case IDC_MAIN_FINISH:
        if (code != BN_CLICKED) return FALSE;
        PostQuitMessage(0);
        return TRUE;
    case IDC_MAIN_ABOUT:
        if (code != BN_CLICKED) return FALSE;
        ShowAboutDialog(Window(), catalogue_);
        return TRUE;
    case IDC_MAIN_WEIGH:
        if (code != BN_CLICKED) return FALSE;
        OnWeigh();
        return TRUE;
    case IDC_MAIN_MEMO:
        return code == BN_CLICKED;
    case IDC_MAIN_PRINT:
        if (code != BN_CLICKED) return FALSE;
        if (PrintRecipe(Window(), recipeText_)) finder_.NoteSelected();
        return TRUE;
    case IDC_MAIN_JOURNAL:
        if (code != BN_CLICKED) return FALSE;
        OnJournal();
        return TRUE;
    case IDM_JOURNAL:
        OnJournal();
        return TRUE;
    case IDM_FIND:
        finder_.OpenFindDialog();
        return TRUE;
    case IDM_FIND_NEXT:
        finder_.FindNext();
        return TRUE;
    case IDM_REFRESH:
        // Asked for: an unreachable folder is told again.
        shop_.TellUnreachableAgain();
        TakeNews(shop_.Look(ShopData::Retry::kNow));
        return TRUE;
    case IDC_MAIN_RECIPES:
        if (code != BN_CLICKED) return FALSE;
        OnRecipeManager();
        return TRUE;
    case IDC_MAIN_MATCH:
        if (code != BN_CLICKED) return FALSE;
        OnMatch(false);
        return TRUE;
    case IDM_PAINT_MATCH:
        OnMatch(true);
        return TRUE;
    case IDM_PAINT_COPY_TO_OWN:
        CopySelectedToOwn();
        return TRUE;
    case IDM_PAINT_EDIT_OWN:
        EditSelectedOwn();
        return TRUE;
    case IDM_PAINT_PRICES:
        WithLedger([this](LedgerContext& ledger) { ShowPrices(Window(), ledger); });
        return TRUE;
    case IDC_AMOUNT:
        if (code != EN_CHANGE) return FALSE;
        OnAmountChanged();
        return TRUE;
    case IDC_UNIT:
        if (code != CBN_SELCHANGE) return FALSE;
        OnComboChanged(IDC_UNIT, values_.weightType);
        return TRUE;
    case IDC_PURPOSE:
        if (code != CBN_SELCHANGE) return FALSE;
        OnComboChanged(IDC_PURPOSE, values_.purpose);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR MainDialog::OnNotify(int id, const NMHDR* header, LRESULT& result) noexcept {
    if (header == nullptr) return FALSE;
    if (header->idFrom == IDC_PAINT_LIST && header->code == LVN_ITEMCHANGED) {
        OnItemChanged(reinterpret_cast<const NMLISTVIEW*>(header));
        result = 0;
        return TRUE;
    }
    if (header->idFrom == IDC_PAINT_LIST && header->code == NM_CUSTOMDRAW) {
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    }
    if (header->idFrom == IDC_AMOUNT_SPIN && header->code == UDN_DELTAPOS) {
        OnSpin(reinterpret_cast<const NMUPDOWN*>(header)->iDelta);
        result = 0;
        return TRUE;
    }
    return FALSE;
}

LRESULT MainDialog::OnCustomDraw(NMLVCUSTOMDRAW* draw) noexcept {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const auto* recipe = reinterpret_cast<const ColourRecipe*>(draw->nmcd.lItemlParam);
        if (draw->iSubItem != 1 || recipe == nullptr) return CDRF_DODEFAULT;
        const ColourEntry* colour = ColourOf(recipe);
        if (colour == nullptr) return CDRF_DODEFAULT;
        draw->clrTextBk = colour->rgb;
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

INT_PTR MainDialog::OnCtlColorStatic(HWND control) noexcept {
    if (!swatchBrush_ || control == nullptr || control != GetDlgItem(Window(), IDC_SWATCH)) return FALSE;
    return reinterpret_cast<INT_PTR>(swatchBrush_.get());
}

void MainDialog::OnItemChanged(const NMLISTVIEW* change) noexcept {
    const auto* recipe = reinterpret_cast<const ColourRecipe*>(change->lParam);
    RefreshDetails(ColourOf(recipe), recipe);
    ComputeRecipe();
    finder_.OnSelectionChanged();
}

void MainDialog::RefreshDetails(const ColourEntry* colour, const ColourRecipe* recipe) noexcept {
    const WideString none = u"---";
    const WideString codeText = u"Код: " + (colour ? colour->code : recipe ? recipe->title : none);
    const WideString nameText = u"Название: " + (colour ? colour->name : none);
    SetControl(Window(), IDC_COLOUR_CODE, colour != nullptr || recipe != nullptr, &codeText);
    SetControl(Window(), IDC_COLOUR_NAME, colour != nullptr, &nameText);
    SetControl(Window(), IDC_SWATCH_LABEL, colour != nullptr, nullptr);

    HWND swatch = GetDlgItem(Window(), IDC_SWATCH);
    if (colour) {
        swatchBrush_.Reset();
        swatchBrush_.Reset(CreateSolidBrush(colour->rgb));
        if (swatch) ShowWindow(swatch, SW_SHOW);
    } else {
        if (swatch) ShowWindow(swatch, SW_HIDE);
        swatchBrush_.Reset();
    }
    if (swatch) RedrawWindow(swatch, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void MainDialog::OnComboChanged(int id, std::uint32_t& value) noexcept {
    const std::optional<std::uint32_t> selected = SelectedComboData(GetDlgItem(Window(), id));
    if (!selected) return;
    value = *selected;
    ComputeRecipe();
}

void MainDialog::OnAmountChanged() noexcept {
    const bool outermost = !busy_;
    const FlagScope busy(busy_);
    if (!ignoreAmountChange_) {
        const FlagScope reading(ignoreAmountChange_);
        wchar_t text[kAmountBuffer] = {};
        GetDlgItemTextW(Window(), IDC_AMOUNT, text, kAmountBuffer);
        const std::int32_t amount = ParseSigned(reinterpret_cast<const char16_t*>(text));
        if (amount < kMinAmount) {
            SimpleBeep();
            values_.targetWeight = kMinAmount;
        } else if (amount > kLargestAmount) {
            SimpleBeep();
            values_.targetWeight = kLargestAmount;
        } else {
            values_.targetWeight = amount;
        }
    }
    if (outermost) ComputeRecipe();
}

void MainDialog::OnSpin(int delta) noexcept {
    const bool outermost = !busy_;
    const FlagScope busy(busy_);
    // 64-bit sums: a stored amount near the 32-bit limits must not wrap.
    const bool up = delta < 0;
    const std::int64_t next = static_cast<std::int64_t>(values_.targetWeight) + (up ? kSpinStep : -kSpinStep);
    if (up ? next > kLargestAmount : next < kMinAmount) {
        SimpleBeep();
    } else {
        values_.targetWeight = static_cast<std::int32_t>(next);
        WriteAmount();
    }
    if (outermost) ComputeRecipe();
}

void MainDialog::WriteAmount() noexcept {
    const FlagScope writing(ignoreAmountChange_);
    SetDlgItemTextW(Window(), IDC_AMOUNT, WinText(DecimalText(values_.targetWeight)));
}

const ColourRecipe* MainDialog::SelectedRecipe() const noexcept {
    HWND list = GetDlgItem(Window(), IDC_PAINT_LIST);
    if (list == nullptr) return nullptr;
    const auto row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<const ColourRecipe*>(item.lParam);
}

void MainDialog::ComputeRecipe() noexcept {
    const ColourRecipe* recipe = SelectedRecipe();
    bool pourable = false;
    recipeText_.clear();
    if (recipe) {
        const Recipe computed =
            lacqueron::ComputeRecipe(catalogue_, *recipe, values_.purpose, values_.weightType, values_.targetWeight);
        recipeText_ = WriteRecipeText(computed);
        pourable = computed.kind == RecipeKind::kCorrect && values_.targetWeight > 0;
        ShowCost(&computed);
    } else {
        ShowCost(nullptr);
    }
    SetDlgItemTextW(Window(), IDC_RECIPE, WinText(recipeText_));
    if (HWND weigh = GetDlgItem(Window(), IDC_MAIN_WEIGH)) EnableWindow(weigh, pourable);
}

void MainDialog::SetOptics(std::string_view text) noexcept {
    try {
        vendorOptics_ = text;
    } catch (...) {
        vendorOptics_.clear();
    }
}

void MainDialog::OnWeigh() noexcept {
    const ColourRecipe* recipe = SelectedRecipe();
    if (recipe == nullptr) return;
    Weigh(Window(), *recipe, ColourOf(recipe), true);
}

void MainDialog::Weigh(HWND owner, const ColourRecipe& recipe, const ColourEntry* colourOf, bool recent,
                       const OwnTarget* target) noexcept {
    if (!benchResolution_) benchResolution_ = LoadBenchResolution();
    if (!benchScale_) benchScale_ = LoadBenchScale();
    // The prices and the stock stay as they are until the batch is over.
    const ShopData::Lend lend(shop_);
    try {
        // Copies: saving the batch as a recipe reloads the own rows the selection points into.
        const ColourRecipe weighed = recipe;
        std::optional<ColourEntry> colour;
        if (colourOf) colour = *colourOf;
        std::optional<OwnTarget> matched;
        if (target) matched = *target;
        WeighRequest request;
        request.catalogue = &catalogue_;
        request.recipe = &weighed;
        request.colour = colour ? &*colour : nullptr;
        request.purpose = values_.purpose;
        request.weightType = values_.weightType;
        request.amount = values_.targetWeight;
        request.purposeText = PurposeName(values_.purpose);
        request.unitText = UnitName(values_.weightType);
        request.resolution = *benchResolution_;
        request.scale = *benchScale_;
        request.setAmount = [this](std::int32_t amount) { SetAmountFromBench(amount); };
        request.journalPath = JournalPath();
        request.saveAsRecipe = [this, &matched](HWND owner, const BatchRecord& batch) {
            SaveBatchAsRecipe(owner, batch, matched ? &*matched : nullptr);
        };
        request.prices = shop_.Prices();
        request.shortfalls = [this](const std::vector<CostLine>& needed, WeighRequest::Shortfalls out) {
            return shop_.ShortfallsJob(needed, std::move(out));
        };
        request.writes = &shop_;
        // The shop's latest calibration when the data folder keeps one, read afresh: another
        // bench may have calibrated since.
        const OpticsStore* kept = shop_.Optics();
        const OpticsInForce optics = ChooseOptics(kept ? kept->InForce() : nullptr, vendorOptics_);
        request.optics = optics.table ? &*optics.table : nullptr;
        request.opticsSource = optics.source;
        if (matched) request.target = colour::Lab{matched->l, matched->a, matched->b};
        ShowWeighDialog(owner, request);
        benchResolution_ = request.resolution;
        benchScale_ = request.scale;
        if (request.recorded && recent) NoteRecentColour(weighed.title);
    } catch (...) {
        ShowErrorBox(owner, kNoMemoryForWeighing);
    }
}

void MainDialog::OnMatch(bool fromSelected) noexcept {
    SettleShop();
    OpenMatch(Window(), fromSelected);
}

void MainDialog::OpenMatch(HWND owner, bool fromSelected) noexcept {
    // The prices and own recipes stay as they are while the window runs.
    const ShopData::Lend lend(shop_);
    try {
        MatchContext context;
        context.catalogue = &catalogue_;
        context.ownRecipes = [this] {
            const OwnRecipeStore* store = shop_.OwnRecipes();
            return store ? store->Current() : std::vector<OwnRecipeCurrent>();
        };
        context.purpose = values_.purpose;
        const OpticsStore* kept = shop_.Optics();
        OpticsInForce optics = ChooseOptics(kept ? kept->InForce() : nullptr, vendorOptics_);
        context.optics = std::move(optics.table);
        context.opticsSource = optics.source;
        context.purposeText = u"Предназначение: " + PurposeName(values_.purpose) + u"; количество: " +
                              DecimalText(values_.targetWeight) + u" " + UnitName(values_.weightType);
        if (shop_.Prices()) {
            const DayNumber today = LocalDay(CurrentBatchTime());
            context.pricePerKilogram = [this, today](const MixComponent& paste) -> std::optional<Kopecks> {
                const PriceBook* prices = shop_.Prices();
                return prices ? prices->PriceOn(LedgerKey(paste), today) : std::nullopt;
            };
        }
        if (shop_.KeepsStock()) {
            context.inStock = [this](const MixComponent& paste) { return shop_.InStock(paste); };
            context.countStock = [this] { return shop_.OnHandJob(); };
            context.writes = &shop_;
        }
        if (fromSelected) {
            const ColourEntry* colour = ColourOf(SelectedRecipe());
            if (colour == nullptr) return;
            if (FindRalClassic(catalogue_, colour->code) == colour) context.startCode = colour->code;
            else context.startRgb = colour->rgb;
        }
        context.weigh = [this](HWND owner, const ColourRecipe& recipe, const ColourEntry& colour,
                               const OwnTarget& target) { Weigh(owner, recipe, &colour, false, &target); };
        context.saveAsOwn = [this](HWND owner, const OwnRecipe& recipe) { EditOwn(owner, 0, recipe); };
        context.select = [this](const WideString& code) { finder_.SelectColourCode(code); };
        ShowMatchWindow(owner, context);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы открыть подбор цвета.");
    }
}

void MainDialog::OpenCalibration(HWND owner) noexcept {
    try {
        CalibrationContext context;
        context.catalogue = &catalogue_;
        context.vendorOptics = vendorOptics_;
        shop_.Fill(context);
        ShowCalibrationDialog(owner, context);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы открыть калибровку паст.");
    }
}

void MainDialog::SetAmountFromBench(std::int32_t amount) noexcept {
    values_.targetWeight = amount;
    WriteAmount();
    ComputeRecipe();
}

void MainDialog::ChooseComboValue(int id, std::uint32_t value) noexcept {
    HWND combo = GetDlgItem(Window(), id);
    if (combo == nullptr || !SelectComboData(combo, value)) return;
    // The list reports a choice only for the user's; this one is reported the same way.
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool MainDialog::RepeatBatch(const BatchRecord& batch) noexcept {
    if (!finder_.SelectColourCode(batch.colourCode)) return false;
    ChooseComboValue(IDC_PURPOSE, batch.purpose);
    ChooseComboValue(IDC_UNIT, batch.weightType);
    // The edit reports the change and the amount is checked and clamped as typed.
    SetDlgItemTextW(Window(), IDC_AMOUNT, WinText(DecimalText(batch.amount)));
    if (HWND list = GetDlgItem(Window(), IDC_PAINT_LIST)) SetFocus(list);
    return true;
}

void MainDialog::OnJournal() noexcept {
    // Ctrl+J reaches this window while the journal is open too.
    if (journalOpen_) return;
    journalOpen_ = true;
    WithLedger([this](LedgerContext& ledger) {
        ShowJournal(
            Window(), catalogue_, [this](const BatchRecord& batch) { return RepeatBatch(batch); }, JournalPath(),
            [this](HWND owner, const BatchRecord& batch) { SaveBatchAsRecipe(owner, batch); }, &ledger);
    });
    journalOpen_ = false;
}

const ColourEntry* MainDialog::ColourOf(const ColourRecipe* recipe) const noexcept {
    if (recipe == nullptr) return nullptr;
    const std::size_t own = OwnRowOfNumber(recipe->number);
    if (own == kNoRow) return catalogue_.findColour(recipe->number);
    return own < ownRows_.size() ? &ownRows_[own].colour : nullptr;
}

std::size_t MainDialog::SelectedOwnRow() const noexcept {
    const ColourRecipe* recipe = SelectedRecipe();
    if (recipe == nullptr) return kNoRow;
    const std::size_t own = OwnRowOfNumber(recipe->number);
    return own < ownRows_.size() && &ownRows_[own].recipe == recipe ? own : kNoRow;
}

void MainDialog::TellStoreNotice() noexcept {
    const WideString notice = shop_.TakeNotice();
    if (!notice.empty()) ShowErrorBox(Window(), WinText(notice));
}

void MainDialog::TakeNews(const ShopData::News& news) noexcept {
    if (news.tell) PostMessageW(Window(), kTellStoreNotice, 0, 0);
    if (news.reload) ReloadOwnRows();
    if (news.prices) ComputeRecipe();
    if (news.looked) SetDlgItemTextW(Window(), IDC_MAIN_STATUS, WinText(shop_.StatusText()));
    // The windows that waited without the stores go on with them.
    if (news.follow) FollowShop(true);
}

void MainDialog::SettleShop() noexcept {
    TakeNews(shop_.Look(ShopData::Retry::kNow));
    TakeNews(shop_.Settle());
}

void MainDialog::ReloadOwnRows() noexcept {
    HWND list = GetDlgItem(Window(), IDC_PAINT_LIST);
    if (list == nullptr) return;
    const std::size_t selected = SelectedOwnRow();
    std::vector<OwnColourRow> rows;
    std::vector<OwnRecipeId> ids;
    WideString keptCode;
    try {
        if (selected != kNoRow) keptCode = ownRows_[selected].colour.code;
    } catch (...) {
        return;  // out of memory: the list keeps the own rows it shows
    }
    if (!shop_.ReadOwnRows(rows, ids)) return;  // likewise

    {
        const ColourFinder::ListKeysAside keysAside(finder_);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        // The items go while the rows they point at are still there: a selected one reports its going.
        const auto catalogueRows = static_cast<int>(catalogue_.recipes.size());
        for (auto item = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) - 1; item >= catalogueRows;
             --item)
            SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(item), 0);
        // The old rows stay alive in `rows` until the finder has let go of them.
        ownRows_.swap(rows);
        ownIds_.swap(ids);
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(catalogue_.recipes.size() + ownRows_.size()), 0);
        for (const OwnColourRow& row : ownRows_)
            if (AddListRow(list, {row.colour.code}, reinterpret_cast<LPARAM>(&row.recipe)) < 0) break;
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    }
    finder_.Reindex(catalogue_, ownRows_);
    InvalidateRect(list, nullptr, TRUE);

    if (selected == kNoRow) return;
    if (keptCode.empty() || !finder_.SelectColourCode(keptCode)) {
        RefreshDetails(nullptr, nullptr);
        ComputeRecipe();
    }
}

void MainDialog::FollowShop(bool told) noexcept {
    for (OwnRecipeContext* context : running_) {
        shop_.Follow(*context);
        if (told && context->followed) context->followed();
    }
}

void MainDialog::WithOwnRecipeContext(const std::function<void(OwnRecipeContext&)>& run) noexcept {
    SettleShop();
    const ShopData::Lend lend(shop_);
    const std::size_t outer = running_.size();
    try {
        OwnRecipeContext context;
        context.catalogue = &catalogue_;
        shop_.Fill(context);
        context.purpose = values_.purpose;
        context.weightType = values_.weightType;
        context.amount = values_.targetWeight;
        context.changed = [this, &context] { OnOwnRecipesChanged(context); };
        running_.push_back(&context);
        run(context);
    } catch (...) {
        ShowErrorBox(Window(), kNoMemoryForOwnRecipes);
    }
    running_.resize(outer);
}

void MainDialog::OnOwnRecipesChanged(OwnRecipeContext& context) noexcept {
    // The manager may have moved the data folder: the windows go on with the new store.
    TakeNews(shop_.LookHere());
    // Every window open over the stores goes on with what is in force now, none while a look has them.
    FollowShop(false);
}

void MainDialog::OnLedgerChanged() noexcept {
    shop_.ReadPrices();
    ComputeRecipe();
}

void MainDialog::ShowCost(const Recipe* computed) noexcept {
    try {
        costText_.clear();
        if (const PriceBook* prices = shop_.Prices(); computed && prices) {
            const Costing costing = CostOfRecipe(catalogue_, *computed, *prices, LocalDay(CurrentBatchTime()));
            Hundredths paint = 0;
            for (const CostLine& line : costing.lines) paint += line.grams;
            costText_ = CostLineText(costing, paint);
        }
    } catch (...) {
        costText_.clear();  // out of memory: no cost rather than a wrong one
    }
    SetDlgItemTextW(Window(), IDC_RECIPE_COST, WinText(costText_));
}

void MainDialog::OnRecipeManager() noexcept {
    WithLedger([this](LedgerContext& ledger) {
        WithOwnRecipeContext([&](OwnRecipeContext& context) {
            context.ledger = ledger.ledger;
            context.ledgerError = ledger.ledgerError;
            context.ledgerChanged = ledger.changed;
            context.match = [this](HWND owner) { OpenMatch(owner, false); };
            context.calibrate = [this](HWND owner) { OpenCalibration(owner); };
            ShowOwnRecipeManager(Window(), context);
        });
    });
}

void MainDialog::WithLedger(const std::function<void(LedgerContext&)>& run) noexcept {
    SettleShop();
    const ShopData::Lend lend(shop_);
    try {
        LedgerContext context;
        context.catalogue = &catalogue_;
        shop_.Fill(context);
        // A price set in the window shows in the cost line under the recipe at once.
        context.changed = [this] { OnLedgerChanged(); };
        run(context);
    } catch (...) {
        ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть учёт цен и остатков.");
    }
}

INT_PTR MainDialog::OnContextMenu(HWND control, LPARAM at) noexcept {
    HWND list = GetDlgItem(Window(), IDC_PAINT_LIST);
    if (control == nullptr || control != list) return FALSE;
    const auto item = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0) return TRUE;
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == kMenuFromKeyboard) {
        // Shift+F10 or the menu key: the menu opens under the selected row.
        RECT row{};
        row.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
        point = {row.left, row.bottom};
        ClientToScreen(list, &point);
    }
    const MenuHandle menu(CreatePopupMenu());
    if (!menu) return TRUE;
    if (SelectedOwnRow() != kNoRow)
        AppendMenuW(menu.get(), MF_STRING, IDM_PAINT_EDIT_OWN, L"Изменить...");
    else
        AppendMenuW(menu.get(), MF_STRING, IDM_PAINT_COPY_TO_OWN, L"Копировать в свои");
    AppendMenuW(menu.get(), MF_STRING, IDM_PAINT_PRICES, L"Цены...");
    AppendMenuW(menu.get(), MF_STRING, IDM_PAINT_MATCH, L"Подобрать похожий...");
    // The chosen command comes as WM_COMMAND, as from a menu bar.
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, Window(), nullptr);
    return TRUE;
}

void MainDialog::CopySelectedToOwn() noexcept {
    const ColourRecipe* recipe = SelectedRecipe();
    if (recipe == nullptr || SelectedOwnRow() != kNoRow) return;
    try {
        EditOwn(Window(), 0, CopyOfCatalogueRecipe(*recipe, catalogue_.findColour(recipe->number)));
    } catch (...) {
        ShowErrorBox(Window(), kNoMemoryForOwnRecipes);
    }
}

void MainDialog::EditSelectedOwn() noexcept {
    SettleShop();
    const std::size_t own = SelectedOwnRow();
    const OwnRecipeStore* store = shop_.OwnRecipes();
    if (own == kNoRow || store == nullptr) return;
    const OwnRecipeId id = ownIds_[own];
    for (const OwnRecipeCurrent& current : store->Current())
        if (current.id == id) return EditOwn(Window(), id, current.recipe);
}

void MainDialog::EditOwn(HWND owner, OwnRecipeId id, const OwnRecipe& start) noexcept {
    WithOwnRecipeContext([&](OwnRecipeContext& context) {
        OwnRecipeId saved = id;
        if (!EditOwnRecipe(owner, context, saved, start)) return;
        const auto found = std::find(ownIds_.begin(), ownIds_.end(), saved);
        if (found != ownIds_.end())
            finder_.SelectColourCode(ownRows_[static_cast<std::size_t>(found - ownIds_.begin())].colour.code);
    });
}

void MainDialog::SaveBatchAsRecipe(HWND owner, const BatchRecord& batch, const OwnTarget* matched) noexcept {
    try {
        // An abandoned batch lacks what was never poured: the painter says so first.
        const WideString question = AbandonedBatchQuestion(batch);
        if (!question.empty() && MessageBoxW(owner, WinText(question), L"Сохранить как рецепт",
                                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        OwnRecipe recipe;
        WideString error;
        if (OwnRecipeOfBatch(catalogue_, batch, recipe, error, matched))
            EditOwn(owner, 0, recipe);
        else
            ShowErrorBox(owner, WinText(error));
    } catch (...) {
        ShowErrorBox(owner, kNoMemoryForOwnRecipes);
    }
}

void MainDialog::OnDestroy() noexcept {
    finder_.Detach();
    swatchBrush_.Reset();
    buttonFont_.Reset();
    recipeFont_.Reset();
    std::vector<std::uint8_t>().swap(catalogue_.picture.header);

    // Written at every exit, so a missing or unusable value is replaced by the default.
    StoreBenchResolution(benchResolution_ ? *benchResolution_ : LoadBenchResolution());
    StoreBenchScale(benchScale_ ? *benchScale_ : LoadBenchScale());
}

}  // namespace lacqueron
