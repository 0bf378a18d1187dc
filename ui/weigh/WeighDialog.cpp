#include "ui/weigh/WeighDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "files/JournalAccess.h"
#include "formula/RecipeText.h"
#include "pour/PourBatch.h"
#include "pour/PourText.h"
#include "res/resource.h"
#include "ui/shared/Centring.h"
#include "ui/shared/GdiHandles.h"
#include "ui/shared/ListViewParts.h"
#include "ui/print/CanLabelPrint.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/ModalDialog.h"
#include "ui/weigh/BatchNoteDialog.h"
#include "ui/weigh/ScalePanel.h"
#include "ui/weigh/WeighTexts.h"

namespace lacqueron {
namespace {

constexpr int kInstructionPoints = 14;
constexpr int kPointsPerInch = 72;
constexpr int kBoldWeight = 700;
constexpr int kProgressScale = 1000;
constexpr int kReadingLength = 32;
constexpr int kPercent = 100;

constexpr ColumnLayout kPlanColumns[] = {{L"Компонент", 36},
                                         {L"Добавить, г", 16, LVCFMT_RIGHT},
                                         {L"Показание, г", 16, LVCFMT_RIGHT},
                                         {L"Записано, г", 15, LVCFMT_RIGHT},
                                         {L"Статус", 17}};
constexpr ColumnLayout kSummaryColumns[] = {{L"Компонент", 36},
                                            {L"По плану, г", 16, LVCFMT_RIGHT},
                                            {L"Налито, г", 16, LVCFMT_RIGHT},
                                            {L"Отклонение, г", 16, LVCFMT_RIGHT},
                                            {L"Отклонение, %", 16, LVCFMT_RIGHT}};

struct ResolutionItem {
    const wchar_t* text;
    Hundredths value;
};
constexpr ResolutionItem kResolutions[] = {
    {L"0.01 г", kResolutionHundredth}, {L"0.1 г", kResolutionTenth}, {L"1 г", kResolutionGram}};

// The controls shown only while a correction is offered.
constexpr int kCorrectionControls[] = {IDC_WEIGH_CORRECTION_FRAME, IDC_WEIGH_CORRECTION, IDC_WEIGH_ACCEPT,
                                       IDC_WEIGH_DECLINE};

void AddRow(HWND list, std::initializer_list<WideString> cells) noexcept {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(WinText(*cells.begin()));
    const auto row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    int subItem = 0;
    for (const WideString& cell : cells) {
        if (subItem > 0) {
            LVITEMW text{};
            text.iSubItem = subItem;
            text.pszText = const_cast<wchar_t*>(WinText(cell));
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text));
        }
        ++subItem;
    }
}

// While a question is on screen the readings wait: none is recorded behind it.
class AskingScope {
public:
    explicit AskingScope(bool& asking) noexcept : asking_(asking) { asking_ = true; }
    ~AskingScope() { asking_ = false; }
    AskingScope(const AskingScope&) = delete;
    AskingScope& operator=(const AskingScope&) = delete;

private:
    bool& asking_;
};

class WeighDialog final : public ModalDialog {
public:
    explicit WeighDialog(WeighRequest& request) : request_(request) {}

    void Run(HWND owner) noexcept { RunModal(owner, IDD_WEIGH); }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        if (message != 0 && message == ScaleEventMessage()) {
            OnScale(wParam, lParam);
            return TRUE;
        }
        switch (message) {
        case WM_INITDIALOG:
            return OnInit();
        case WM_COMMAND:
            return OnCommand(HIWORD(wParam), LOWORD(wParam));
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (!header || header->idFrom != IDC_WEIGH_PLAN || header->code != NM_CUSTOMDRAW) return FALSE;
            SetWindowLongPtrW(Window(), DWLP_MSGRESULT, OnPlanDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
            return TRUE;
        }
        case WM_DESTROY:
            scale_.Stop();
            return FALSE;
        case WM_CTLCOLORSTATIC:
            if (swatchBrush_ && reinterpret_cast<HWND>(lParam) == Control(IDC_WEIGH_SWATCH))
                return reinterpret_cast<INT_PTR>(swatchBrush_.get());
            return FALSE;
        default:
            return FALSE;
        }
    }

    HWND Control(int id) const noexcept { return GetDlgItem(Window(), id); }
    void SetText(int id, const WideString& text) noexcept { SetDlgItemTextW(Window(), id, WinText(text)); }
    void Enable(int id, bool enabled) noexcept {
        if (HWND control = Control(id)) EnableWindow(control, enabled);
    }
    void Show(int id, bool shown) noexcept {
        if (HWND control = Control(id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    }

    INT_PTR OnInit() noexcept {
        CentreWindow(Window());
        const ColourEntry* colour = request_.colour;
        SetText(IDC_WEIGH_CODE, u"Код: " + (colour ? colour->code : request_.recipe->title));
        SetText(IDC_WEIGH_NAME, u"Название: " + (colour ? colour->name : WideString(u"---")));
        SetText(IDC_WEIGH_PURPOSE, u"Предназначение: " + request_.purposeText);
        if (colour) swatchBrush_.Reset(CreateSolidBrush(colour->rgb));
        Show(IDC_WEIGH_SWATCH, colour != nullptr);
        SetUpInstructionFont();
        if (HWND plan = Control(IDC_WEIGH_PLAN)) SetUpReportColumns(plan, kPlanColumns, std::size(kPlanColumns));
        if (HWND summary = Control(IDC_WEIGH_SUMMARY)) SetUpReportColumns(summary, kSummaryColumns, std::size(kSummaryColumns));
        if (HWND progress = Control(IDC_WEIGH_PROGRESS)) SendMessageW(progress, PBM_SETRANGE32, 0, kProgressScale);
        SendDlgItemMessageW(Window(), IDC_WEIGH_READING, EM_LIMITTEXT, kReadingLength, 0);
        FillResolutions();
        StartPlan();
        scale_.Attach(Window(), request_.scale);
        if (HWND reading = Control(IDC_WEIGH_READING)) SetFocus(reading);
        return FALSE;  // the focus is set
    }

    void SetUpInstructionFont() noexcept {
        HWND line = Control(IDC_WEIGH_INSTRUCTION);
        auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(Window(), WM_GETFONT, 0, 0));
        LOGFONTW description{};
        if (!line || !dialogFont || GetObjectW(dialogFont, sizeof description, &description) != sizeof description)
            return;
        WindowDC screen(nullptr);
        const int pixelsPerInch = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
        description.lfHeight = -MulDiv(kInstructionPoints, pixelsPerInch, kPointsPerInch);
        description.lfWeight = kBoldWeight;
        instructionFont_.Reset(CreateFontIndirectW(&description));
        if (instructionFont_) SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(instructionFont_.get()), TRUE);
    }

    void FillResolutions() noexcept {
        HWND combo = Control(IDC_WEIGH_RESOLUTION);
        if (!combo) return;
        for (const ResolutionItem& item : kResolutions) {
            const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text));
            if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(item.value));
            if (item.value == request_.resolution) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
    }

    // A new plan for the request's amount; nothing is recorded yet.
    void StartPlan() noexcept {
        try {
            SetText(IDC_WEIGH_AMOUNT, AmountText(request_.amount, request_.unitText));
            plan_ = BuildPourPlan(ComputeRecipe(*request_.catalogue, *request_.recipe, request_.purpose,
                                                request_.weightType, request_.amount),
                                  request_.resolution);
            FindSmallestBatch();
        } catch (...) {
            plan_ = PourPlan{};
        }
        SetText(IDC_WEIGH_MESSAGE, u"");
        Refresh();
    }

    void FindSmallestBatch() {
        smallest_ = SmallestWeighableAmount(*request_.catalogue, *request_.recipe, request_.purpose, request_.weightType,
                                            plan_.resolution);
    }

    bool AnythingRecorded() const noexcept {
        for (const PourStep& step : plan_.steps)
            if (step.reading) return true;
        return false;
    }

    void Refresh() noexcept {
        try {
            FillPlan();
            if (plan_.Finished()) FillSummary();
            SetText(IDC_WEIGH_INSTRUCTION, InstructionText(plan_));
            SetText(IDC_WEIGH_SMALLEST_TEXT,
                    SmallestBatchText(plan_, smallest_ ? &*smallest_ : nullptr, request_.unitText));
            SetText(IDC_WEIGH_CORRECTION, CorrectionText(plan_));
        } catch (...) {
            SetText(IDC_WEIGH_MESSAGE, u"Недостаточно памяти для показа плана.");
        }
        const bool open = !plan_.offer && !plan_.Finished();
        Enable(IDC_WEIGH_READING, open);
        Enable(IDC_WEIGH_RECORD, open);
        Enable(IDC_WEIGH_SMALLEST, smallest_ && !AnythingRecorded());
        for (const int id : kCorrectionControls) Show(id, plan_.offer.has_value());
        Show(IDC_WEIGH_PLAN, !plan_.Finished());
        Show(IDC_WEIGH_SUMMARY, plan_.Finished());
        Show(IDC_WEIGH_LABEL, plan_.Finished() && batch_.has_value());
        SendDlgItemMessageW(Window(), IDC_WEIGH_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(Progress()), 0);
    }

    void FillPlan() {
        HWND list = Control(IDC_WEIGH_PLAN);
        if (!list) return;
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        for (const PourStep& step : plan_.steps) {
            AddRow(list, {plan_.components[step.component].name, WeightCell(step.weight, plan_.resolution),
                          GramsCell(step.target), step.reading ? GramsCell(*step.reading) : WideString(),
                          StatusWord(step)});
        }
        if (!plan_.Finished()) SendMessageW(list, LVM_ENSUREVISIBLE, plan_.current, FALSE);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }

    // The current step's row in the selection colours, whether or not the list has the focus.
    LRESULT OnPlanDraw(NMLVCUSTOMDRAW* draw) const noexcept {
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT || draw->nmcd.dwItemSpec != plan_.current) return CDRF_DODEFAULT;
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        return CDRF_NEWFONT;
    }

    void FillSummary() {
        HWND list = Control(IDC_WEIGH_SUMMARY);
        if (!list) return;
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        Hundredths weights = 0;
        for (const PourSummaryLine& line : Summarize(plan_)) {
            weights += line.weight;
            AddRow(list, {line.name, GramsCell(line.weight), GramsCell(line.poured),
                          SignedCell(static_cast<double>(line.deviation) / kHundredthsPerGram),
                          line.percent ? SignedCell(*line.percent) : WideString()});
        }
        const Hundredths deviation = plan_.lastReading - weights;
        AddRow(list, {u"Итого", GramsCell(weights), GramsCell(plan_.lastReading),
                      SignedCell(static_cast<double>(deviation) / kHundredthsPerGram),
                      weights != 0 ? SignedCell(static_cast<double>(kPercent) * deviation / weights) : WideString()});
    }

    // The current step's pouring: from the reading it started at to its target.
    int Progress() const noexcept {
        if (plan_.Finished()) return kProgressScale;
        const Hundredths start = plan_.current > 0 ? plan_.steps[plan_.current - 1].reading.value_or(0) : 0;
        const Hundredths span = plan_.steps[plan_.current].target - start;
        if (span <= 0) return kProgressScale;
        const Hundredths done = std::min(std::max<Hundredths>(plan_.lastReading - start, 0), span);
        return static_cast<int>(done * kProgressScale / span);
    }

    INT_PTR OnCommand(WORD code, WORD id) noexcept {
        if (scale_.OnCommand(code, id)) return TRUE;
        if (code != BN_CLICKED && !(id == IDC_WEIGH_RESOLUTION && code == CBN_SELCHANGE)) return FALSE;
        switch (id) {
        case IDC_WEIGH_RECORD: OnRecord(); return TRUE;
        case IDC_WEIGH_ACCEPT: OnDecision(true); return TRUE;
        case IDC_WEIGH_DECLINE: OnDecision(false); return TRUE;
        case IDC_WEIGH_RESOLUTION: OnResolution(); return TRUE;
        case IDC_WEIGH_SMALLEST: OnSmallestBatch(); return TRUE;
        case IDC_WEIGH_LABEL:
            if (batch_) PrintCanLabel(Window(), *batch_);
            return TRUE;
        case IDC_WEIGH_CLOSE:
        case IDCANCEL: OnClose(); return TRUE;
        default: return FALSE;
        }
    }

    void OnRecord() noexcept {
        HWND edit = Control(IDC_WEIGH_READING);
        if (!edit || plan_.offer || plan_.Finished() || asking_) return;
        wchar_t text[kReadingLength + 1] = {};
        GetWindowTextW(edit, text, static_cast<int>(std::size(text)));
        const std::optional<Hundredths> reading = ParseReading(FromWinText(text));
        ReadingOutcome outcome = ReadingOutcome::kNegative;
        WideString message;
        try {
            if (reading) outcome = RecordReading(plan_, *reading);
            message = reading ? OutcomeText(plan_, outcome) : NotANumberText();
        } catch (...) {
            message = u"Недостаточно памяти: показание не записано.";
        }
        SetText(IDC_WEIGH_MESSAGE, message);
        if (reading && !IsRefused(outcome)) {
            SetWindowTextW(edit, L"");
            request_.recorded = true;
            scale_.ForgetHeld();
        }
        Refresh();
        if (plan_.Finished()) WriteFinishedBatch();
        if (plan_.offer) {
            SetFocus(Control(IDC_WEIGH_ACCEPT));
        } else if (plan_.Finished()) {
            SetFocus(Control(IDC_WEIGH_CLOSE));
        } else {
            SetFocus(edit);
            SendMessageW(edit, EM_SETSEL, 0, -1);
        }
    }

    // A live reading fills the reading field unless the painter has typed something
    // there; a reading held long enough is recorded as if Enter were pressed.
    void OnScale(WPARAM wParam, LPARAM lParam) noexcept {
        const bool open = !plan_.offer && !plan_.Finished() && !asking_;
        const ScalePanel::Update update =
            scale_.OnScaleMessage(wParam, lParam, open ? &plan_.steps[plan_.current] : nullptr, plan_.resolution,
                                  plan_.lastReading);
        HWND edit = Control(IDC_WEIGH_READING);
        if (!open || !edit) return;
        const std::optional<Hundredths> shown = update.autoRecord ? update.autoRecord : update.reading;
        const bool typing = SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0 && GetWindowTextLengthW(edit) > 0;
        if (!shown || typing) return;
        try {
            SetWindowTextW(edit, WinText(GramsCell(*shown)));
            SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
        } catch (...) {
            return;
        }
        if (update.autoRecord) OnRecord();
    }

    void OnDecision(bool accept) noexcept {
        if (!plan_.offer) return;
        try {
            const PourCorrection offer = *plan_.offer;
            if (accept) {
                AcceptCorrection(plan_);
                SetText(IDC_WEIGH_MESSAGE, u"Партия пересчитана: итог " + GramsCell(offer.total) + u" г.");
            } else {
                DeclineCorrection(plan_);
                SetText(IDC_WEIGH_MESSAGE, DeclinedText(offer));
            }
        } catch (...) {
            return;  // the offer stays until memory allows the copy
        }
        Refresh();
        if (plan_.Finished()) WriteFinishedBatch();
        SetFocus(Control(plan_.Finished() ? IDC_WEIGH_CLOSE : IDC_WEIGH_READING));
    }

    void OnResolution() noexcept {
        HWND combo = Control(IDC_WEIGH_RESOLUTION);
        const LRESULT selected = combo ? SendMessageW(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
        if (selected == CB_ERR) return;
        const auto value = static_cast<Hundredths>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
        if (!IsResolution(value)) return;
        request_.resolution = value;
        plan_.resolution = value;
        try {
            FindSmallestBatch();
        } catch (...) {
            smallest_.reset();
        }
        Refresh();
    }

    void OnSmallestBatch() noexcept {
        if (!smallest_ || AnythingRecorded()) return;
        request_.amount = *smallest_;
        if (request_.setAmount) request_.setAmount(request_.amount);
        StartPlan();
    }

    // The batch as poured so far, with the note asked for the first time it is written.
    WideString WriteBatch() noexcept {
        try {
            if (!note_) note_ = AskBatchNote(Window());
            BatchHeader header{CurrentBatchTime(), request_.recipe->title, WideString(), request_.purpose,
                               request_.weightType, request_.amount, *note_};
            if (request_.colour) {
                header.colourCode = request_.colour->code;
                header.colourName = request_.colour->name;
            }
            batch_ = BatchOfPour(plan_, header);
        } catch (...) {
            return u"Замес не записан: не хватило памяти.";
        }
        const WideString error = AppendBatchToJournal(*batch_, request_.journalPath);
        written_ = error.empty();
        return error;
    }

    void WriteFinishedBatch() noexcept {
        if (written_ || asking_) return;
        const AskingScope asking(asking_);
        const WideString error = WriteBatch();
        try {
            SetText(IDC_WEIGH_MESSAGE, error.empty() ? WideString(u"Замес записан в журнал.") : error);
        } catch (...) {
            // Only the message is lost: closing the window tries an unwritten batch again.
        }
        Refresh();
    }

    bool CloseDespite(const WideString& error) noexcept {
        constexpr UINT kStyle = MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2;
        try {
            const WideString question = error + u"\nЗакрыть окно? Записанные показания пропадут.";
            return MessageBoxW(Window(), WinText(question), kErrorCaption, kStyle) == IDYES;
        } catch (...) {
            return MessageBoxW(Window(), WinText(error), kErrorCaption, kStyle) == IDYES;
        }
    }

    // A batch left after a reading goes into the journal as abandoned; if it cannot be
    // written, the painter may stay and keep the readings.
    void OnClose() noexcept {
        if (asking_) return;
        const AskingScope asking(asking_);
        if (AnythingRecorded() && !written_) {
            constexpr wchar_t kAbandon[] =
                L"Взвешивание не закончено. Закрыть окно? Замес будет записан в журнал как прерванный.";
            if (!plan_.Finished() &&
                MessageBoxW(Window(), kAbandon, L"Подтверждение", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
                return;
            const WideString error = WriteBatch();
            if (!error.empty() && !CloseDespite(error)) return;
        }
        EndDialog(Window(), IDCANCEL);
    }

    WeighRequest& request_;
    PourPlan plan_;
    std::optional<std::int32_t> smallest_;
    std::optional<WideString> note_;     // asked once, when the batch is first written
    std::optional<BatchRecord> batch_;   // as last written, for the label
    bool written_ = false;               // the journal has the batch as it ended
    bool asking_ = false;                // a question or the note prompt is on screen
    BrushHandle swatchBrush_;
    FontHandle instructionFont_;
    ScalePanel scale_;
};

}  // namespace

void ShowWeighDialog(HWND owner, WeighRequest& request) noexcept {
    if (!request.catalogue || !request.recipe) return;
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    try {
        WeighDialog dialog(request);
        dialog.Run(owner);
    } catch (...) {
        // Not enough memory for the dialog: no dialog.
    }
}

}  // namespace lacqueron
