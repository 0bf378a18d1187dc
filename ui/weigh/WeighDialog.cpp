#include "ui/weigh/WeighDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "files/JournalAccess.h"
#include "core/Utf8.h"
#include "journal/JournalText.h"
#include "formula/RecipeText.h"
#include "ledger/LedgerDay.h"
#include "pour/PourBatch.h"
#include "pour/PourText.h"
#include "res/resource.h"
#include "ui/print/CanLabelPrint.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/DerivedFont.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FlagScope.h"
#include "ui/shared/FolderWriteState.h"
#include "ui/shared/GdiHandles.h"
#include "ui/shared/ListViewParts.h"
#include "ui/shared/Dialog.h"
#include "ui/weigh/AddPasteDialog.h"
#include "ui/weigh/BenchSettings.h"
#include "ui/weigh/MeasureDialog.h"
#include "ui/weigh/ScalePanel.h"
#include "ui/weigh/WeighJournal.h"
#include "ui/weigh/WeighTexts.h"

namespace lacqueron {
namespace {

constexpr int kInstructionPoints = 14;
constexpr int kProgressScale = 1000;
constexpr int kReadingLength = 32;
constexpr int kCapacityLength = 9;  // the largest amount has 9 digits
constexpr int kPercent = 100;
constexpr UINT_PTR kReadingSubclass = 1;
constexpr WPARAM kCtrlZ = 0x1A;  // the character Ctrl+Z types

constexpr ColumnLayout kPlanColumns[] = {{L"Компонент", 34},
                                         {L"Налить, г", 18, LVCFMT_RIGHT},
                                         {L"Показание, г", 17, LVCFMT_RIGHT},
                                         {L"Записано, г", 17, LVCFMT_RIGHT},
                                         {L"Статус", 14}};
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

constexpr double kHundredthsPerUnit = 100;  // the journal keeps L*a*b* and ΔE00 in hundredths
// Tells the dialog that the stock short for its plan is worked out.
constexpr UINT kShortfallsMessage = WM_APP + 44;

std::int32_t InHundredths(double value) noexcept {
    return static_cast<std::int32_t>(std::lround(value * kHundredthsPerUnit));
}

BatchLab BatchLabOf(const colour::Lab& lab) noexcept {
    return {InHundredths(lab.l), InHundredths(lab.a), InHundredths(lab.b)};
}

// The round as proposed; what it poured is known only later.
BatchMeasureRound BatchRoundOf(const MeasureRound& round) {
    BatchMeasureRound kept{BatchLabOf(round.target), BatchLabOf(round.measured),
                           static_cast<std::uint32_t>(InHundredths(round.proposed.current)),
                           static_cast<std::uint32_t>(InHundredths(round.proposed.predicted)), {}, {}};
    for (const PourAddition& addition : round.additions) kept.proposed.push_back({addition.paste.code, addition.weight});
    return kept;
}

// Ctrl+Z in the reading field takes back the last reading rather than the last edit.
LRESULT CALLBACK ReadingFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) noexcept {
    if (message == WM_CHAR && wParam == kCtrlZ) {
        SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(IDC_WEIGH_UNDO, BN_CLICKED), 0);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, ReadingFieldProc, kReadingSubclass);
    return DefSubclassProc(field, message, wParam, lParam);
}

class WeighDialog final : public Dialog {
public:
    explicit WeighDialog(WeighRequest& request)
        : request_(request), journal_(request.journalPath, request.openJournal) {}

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_WEIGH); }

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
            if (capacity_ != storedCapacity_) StoreBenchCapacity(capacity_);
            return FALSE;
        case WeighJournal::kWrittenMessage:
            OnJournalWritten(wParam);
            return TRUE;
        case kShortfallsMessage:
            OnShortfalls(wParam);
            return TRUE;
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
        if (HWND reading = Control(IDC_WEIGH_READING))
            SetWindowSubclass(reading, ReadingFieldProc, kReadingSubclass, 0);
        FillResolutions();
        FillCapacity();
        try {
            pastes_ = PastesToAdd(*request_.catalogue);
        } catch (...) {
            pastes_.clear();  // nothing to offer for tinting; the recipe is still weighed
        }
        StartPlan();
        scale_.Attach(Window(), request_.scale);
        if (HWND reading = Control(IDC_WEIGH_READING)) SetFocus(reading);
        return FALSE;  // the focus is set
    }

    void SetUpInstructionFont() noexcept {
        HWND line = Control(IDC_WEIGH_INSTRUCTION);
        if (!line) return;
        SetOwnedFont(line, instructionFont_, CreateDerivedFont(Window(), {FW_BOLD, kInstructionPoints}));
    }

    void FillResolutions() noexcept {
        HWND combo = Control(IDC_WEIGH_RESOLUTION);
        if (!combo) return;
        for (const ResolutionItem& item : kResolutions)
            AddComboItem(combo, item.text, static_cast<std::uint32_t>(item.value), item.value == request_.resolution);
    }

    void FillCapacity() noexcept {
        storedCapacity_ = LoadBenchCapacity();
        capacity_ = storedCapacity_;
        SendDlgItemMessageW(Window(), IDC_WEIGH_CAPACITY, EM_LIMITTEXT, kCapacityLength, 0);
        if (capacity_ > 0) SetDlgItemInt(Window(), IDC_WEIGH_CAPACITY, static_cast<UINT>(capacity_), FALSE);
    }

    // The can's capacity as typed; an empty field, or one past the largest amount, sets none.
    void OnCapacity() noexcept {
        BOOL read = FALSE;
        const UINT grams = GetDlgItemInt(Window(), IDC_WEIGH_CAPACITY, &read, FALSE);
        capacity_ = read && grams <= static_cast<UINT>(kLargestAmount) ? static_cast<std::int32_t>(grams) : 0;
        plan_.capacity = capacity_ * kHundredthsPerGram;
        Refresh();
    }

    // A new plan for the request's amount; nothing is recorded yet. What the batch
    // would leave short in stock is told, and the painter may pour all the same.
    void StartPlan() noexcept {
        WideString message;
        try {
            SetText(IDC_WEIGH_AMOUNT, AmountText(request_.amount, request_.unitText));
            plan_ = BuildPourPlan(*request_.catalogue, *request_.recipe, request_.purpose, request_.weightType,
                                  request_.amount, request_.resolution);
            FindSmallestBatch();
            AskShortfalls();
        } catch (...) {
            plan_ = PourPlan{};
            message = u"Недостаточно памяти: план взвешивания не составлен.";
        }
        plan_.capacity = capacity_ * kHundredthsPerGram;
        journal_.StartBatch();
        SetText(IDC_WEIGH_MESSAGE, message);
        Refresh();
    }

    // Works out off this thread what the plan would leave short; told by kShortfallsMessage.
    void AskShortfalls() {
        if (!request_.shortfalls) return;
        if (shortfallJob_.Running()) {
            askAgain_ = true;  // for the amount now, once the last answer is in
            return;
        }
        const Recipe recipe = ComputeRecipe(*request_.catalogue, *request_.recipe, request_.purpose,
                                            request_.weightType, request_.amount);
        const PriceBook noPrices({}, *request_.catalogue);
        const PriceBook& prices = request_.prices ? *request_.prices : noPrices;
        const DayNumber today = LocalDay(CurrentBatchTime());
        auto out = std::make_shared<std::vector<StockRow>>();
        FolderWrite job = request_.shortfalls(CostOfRecipe(*request_.catalogue, recipe, prices, today).lines, out);
        if (job && shortfallJob_.Start(Window(), request_.writes, std::move(job), nullptr, nullptr))
            shortfalls_ = std::move(out);
    }

    // The stock short for the plan is told while nothing is poured yet.
    void OnShortfalls(WPARAM generation) noexcept {
        const std::optional<JournalAppendResult> done = shortfallJob_.Take(generation);
        if (!done) return;  // another job's
        if (closing_) {
            // The close waited for the stores to come back.
            closing_ = false;
            return OnClose();
        }
        try {
            if (askAgain_) {
                askAgain_ = false;
                return AskShortfalls();
            }
            if (*done == JournalAppendResult::Appended && shortfalls_ && !shortfalls_->empty() &&
                !AnythingRecorded(plan_))
                SetText(IDC_WEIGH_MESSAGE, ShortfallText(*shortfalls_));
        } catch (...) {
            // Out of memory: no warning rather than a wrong one.
        }
    }

    void FindSmallestBatch() {
        smallest_ = SmallestWeighableAmount(*request_.catalogue, *request_.recipe, request_.purpose, request_.weightType,
                                            plan_.resolution);
    }

    void Refresh() noexcept {
        try {
            FillPlan();
            if (plan_.Finished() && !plan_.steps.empty()) {
                FillSummary();
                SetText(IDC_WEIGH_COST,
                        request_.prices ? BatchCostText(CostOfBatch(*request_.catalogue, Batch(), *request_.prices))
                                        : WideString());
            }
            SetText(IDC_WEIGH_INSTRUCTION, InstructionText(plan_));
            SetText(IDC_WEIGH_SMALLEST_TEXT,
                    SmallestBatchText(plan_, smallest_ ? &*smallest_ : nullptr, request_.unitText));
            SetText(IDC_WEIGH_CORRECTION, CorrectionText(plan_));
        } catch (...) {
            SetText(IDC_WEIGH_MESSAGE, u"Недостаточно памяти для показа плана.");
        }
        // While a correction is offered the field stays open for an undo; Enter there
        // only says the offer waits.
        const bool open = !plan_.Finished();
        Enable(IDC_WEIGH_READING, open);
        Enable(IDC_WEIGH_RECORD, open);
        Enable(IDC_WEIGH_UNDO, open && AnythingRecorded(plan_));
        Enable(IDC_WEIGH_ACCEPT, OfferFits(plan_));
        Enable(IDC_WEIGH_SMALLEST, smallest_ && !AnythingRecorded(plan_));
        Enable(IDC_WEIGH_ADD_PASTE, MayAddPaste(plan_) && !pastes_.empty());
        Enable(IDC_WEIGH_MEASURE, MayAddPaste(plan_) && !pastes_.empty() && request_.optics);
        for (const int id : kCorrectionControls) Show(id, plan_.offer.has_value());
        // A plan that could not be made is shown empty, never as a finished batch.
        const bool summary = plan_.Finished() && !plan_.steps.empty();
        Show(IDC_WEIGH_PLAN, !summary);
        Show(IDC_WEIGH_SUMMARY, summary);
        Show(IDC_WEIGH_LABEL, plan_.Finished() && journal_.Batch());
        Show(IDC_WEIGH_SAVE_RECIPE, summary && request_.saveAsRecipe);
        Show(IDC_WEIGH_COST, summary && request_.prices);
        SendDlgItemMessageW(Window(), IDC_WEIGH_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(Progress()), 0);
    }

    void FillPlan() {
        HWND list = Control(IDC_WEIGH_PLAN);
        if (!list) return;
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        for (const PourStep& step : plan_.steps) {
            AddListRow(list, {plan_.components[step.component].name, WeightCell(step, plan_.resolution),
                          GramsCell(step.target), step.reading ? GramsCell(*step.reading) : WideString(),
                          StatusWord(step)});
        }
        if (plan_.current < plan_.steps.size()) SendMessageW(list, LVM_ENSUREVISIBLE, plan_.current, FALSE);
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
        bool headed = false;
        // The recipe's own components come first; the additions follow under their heading.
        for (const PourSummaryLine& line : Summarize(plan_)) {
            if (line.addition && !headed) {
                AddListRow(list, {AdditionsHeading(), WideString(), WideString(), WideString(), WideString()});
                headed = true;
            }
            weights += line.weight;
            AddListRow(list, {line.name, GramsCell(line.weight), GramsCell(line.poured),
                          SignedCell(static_cast<double>(line.deviation) / kHundredthsPerGram),
                          line.percent ? SignedCell(*line.percent) : WideString()});
        }
        const Hundredths deviation = plan_.lastReading - weights;
        AddListRow(list, {u"Итого", GramsCell(weights), GramsCell(plan_.lastReading),
                      SignedCell(static_cast<double>(deviation) / kHundredthsPerGram),
                      weights != 0 ? SignedCell(static_cast<double>(kPercent) * deviation / weights) : WideString()});
    }

    // The current step's pouring: from the reading it started at to its target.
    int Progress() const noexcept {
        if (plan_.current >= plan_.steps.size()) return kProgressScale;
        const Hundredths start = plan_.current > 0 ? plan_.steps[plan_.current - 1].reading.value_or(0) : 0;
        const Hundredths span = plan_.steps[plan_.current].target - start;
        if (span <= 0) return kProgressScale;
        const Hundredths done = std::min(std::max<Hundredths>(plan_.lastReading - start, 0), span);
        return static_cast<int>(done * kProgressScale / span);
    }

    INT_PTR OnCommand(WORD code, WORD id) noexcept {
        if (scale_.OnCommand(code, id)) return TRUE;
        if (id == IDC_WEIGH_CAPACITY && code == EN_CHANGE) {
            OnCapacity();
            return TRUE;
        }
        if (code != BN_CLICKED && !(id == IDC_WEIGH_RESOLUTION && code == CBN_SELCHANGE)) return FALSE;
        switch (id) {
        case IDC_WEIGH_RECORD: OnRecord(); return TRUE;
        case IDC_WEIGH_UNDO: OnUndo(); return TRUE;
        case IDC_WEIGH_ACCEPT: OnDecision(true); return TRUE;
        case IDC_WEIGH_DECLINE: OnDecision(false); return TRUE;
        case IDC_WEIGH_RESOLUTION: OnResolution(); return TRUE;
        case IDC_WEIGH_SMALLEST: OnSmallestBatch(); return TRUE;
        case IDC_WEIGH_ADD_PASTE: OnAddPaste(); return TRUE;
        case IDC_WEIGH_MEASURE: OnMeasure(); return TRUE;
        case IDC_WEIGH_SAVE_RECIPE: OnSaveAsRecipe(); return TRUE;
        case IDC_WEIGH_LABEL:
            if (const BatchRecord* batch = journal_.Batch()) PrintCanLabel(Window(), *batch);
            return TRUE;
        case IDC_WEIGH_CLOSE:
        case IDCANCEL: OnClose(); return TRUE;
        default: return FALSE;
        }
    }

    void OnRecord() noexcept {
        HWND edit = Control(IDC_WEIGH_READING);
        if (!edit || plan_.Finished() || Busy()) return;
        if (plan_.offer) {
            SetText(IDC_WEIGH_MESSAGE, DecisionPendingText());
            return;
        }
        wchar_t text[kReadingLength + 1] = {};
        GetWindowTextW(edit, text, static_cast<int>(std::size(text)));
        const std::optional<Hundredths> reading = ParseReading(FromWinText(text));
        if (reading && !ConfirmFarAbove(*reading)) {
            FocusReading();
            return;
        }
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
        // The focus stays in the field even after an over-pour: a second Enter must not
        // accept a larger batch.
        if (plan_.Finished())
            SetFocus(Control(IDC_WEIGH_CLOSE));
        else
            FocusReading();
    }

    void FocusReading() noexcept {
        HWND edit = Control(IDC_WEIGH_READING);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }

    // A reading far over its target is more likely a slip than paste: asked first.
    bool ConfirmFarAbove(Hundredths reading) noexcept {
        const std::optional<Hundredths> excess = FarAbove(plan_, reading);
        if (!excess) return true;
        const FlagScope asking(asking_);
        try {
            const WideString question = FarAboveQuestion(reading, *excess);
            return MessageBoxW(Window(), WinText(question), L"Подтверждение",
                               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
        } catch (...) {
            return false;
        }
    }

    void OnUndo() noexcept {
        if (Busy()) return;
        WideString message;
        try {
            if (plan_.entries.empty() || plan_.Finished()) {
                message = NothingToUndoText();
            } else {
                const PourEntry last = plan_.entries.back();
                const bool withCorrection = plan_.offer.has_value() || last.accepted.has_value();
                UndoReading(plan_);
                message = last.addition ? AdditionUndoneText(*last.addition) : UndoneText(last.reading, withCorrection);
                scale_.ForgetHeld();
            }
        } catch (...) {
            message = u"Недостаточно памяти: показание не отменено.";
        }
        SetText(IDC_WEIGH_MESSAGE, message);
        Refresh();
        FocusReading();
    }

    // A live reading fills the reading field unless the painter has typed something
    // there; a reading held long enough is recorded as if Enter were pressed.
    void OnScale(WPARAM wParam, LPARAM lParam) noexcept {
        const bool open = plan_.Phase() == PourPhase::kPouring && !Busy();
        const ScalePanel::Update update =
            scale_.OnScaleMessage(wParam, lParam, open ? &plan_.steps[plan_.current] : nullptr, plan_.resolution,
                                  plan_.lastReading);
        if (!update.notice.empty()) SetText(IDC_WEIGH_MESSAGE, update.notice);
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
                if (!AcceptCorrection(plan_)) return;  // it does not fit the can
                SetText(IDC_WEIGH_MESSAGE, u"Партия пересчитана: итог " + GramsCell(offer.total) + u" г.");
            } else {
                DeclineCorrection(plan_);
                SetText(IDC_WEIGH_MESSAGE, DeclinedText(offer));
            }
        } catch (...) {
            return;  // the offer stays until memory allows the copy
        }
        Refresh();
        if (plan_.Finished()) {
            WriteFinishedBatch();
            SetFocus(Control(IDC_WEIGH_CLOSE));
        } else {
            FocusReading();
        }
    }

    // A paste for tinting: its step is current at once, a finished batch pours again.
    void OnAddPaste() noexcept {
        if (Busy() || !MayAddPaste(plan_)) return;
        std::optional<PourAddition> addition;
        {
            const FlagScope asking(asking_);
            addition = AskPasteToAdd(Window(), pastes_);
        }
        if (addition) AddToPlan({&*addition, 1});
        FocusReading();
    }

    // Each paste's step is current at once as it is added; a finished batch pours again.
    void AddToPlan(std::span<const PourAddition> additions) noexcept {
        WideString message;
        try {
            for (const PourAddition& addition : additions)
                if (AddPaste(plan_, addition.paste, addition.weight) == AdditionOutcome::kAdded)
                    message += (message.empty() ? WideString() : WideString(u" ")) + AddedText(addition);
        } catch (...) {
            message = u"Недостаточно памяти: паста не добавлена.";
        }
        SetText(IDC_WEIGH_MESSAGE, message);
        scale_.ForgetHeld();
        Refresh();
    }

    // A round of correction by the trial's measurement: its additions become steps, as
    // any paste added while tinting.
    void OnMeasure() noexcept {
        if (Busy() || !MayAddPaste(plan_) || !request_.optics) return;
        std::optional<MeasureRound> round;
        {
            const FlagScope asking(asking_);
            try {
                round = AskMeasurement(Window(), MeasureRequestOfPlan());
            } catch (...) {
                SetText(IDC_WEIGH_MESSAGE, u"Недостаточно памяти: поправка по замеру не рассчитана.");
            }
        }
        bool kept = false;
        try {
            if (round) rounds_.push_back({BatchRoundOf(*round), AdditionsPoured(plan_)});
            kept = round.has_value();
        } catch (...) {
            SetText(IDC_WEIGH_MESSAGE, u"Недостаточно памяти: добавки по замеру не внесены в план.");
        }
        if (kept) AddToPlan(round->additions);
        FocusReading();
    }

    // What is in the can: each paste by its code, all else the base.
    MeasureRequest MeasureRequestOfPlan() const {
        MeasureRequest measure;
        measure.catalogue = request_.catalogue;
        measure.optics = request_.optics;
        measure.opticsSource = request_.opticsSource;
        measure.target = request_.target;
        measure.pastes = pastes_;
        for (const PourComponent& component : plan_.components) {
            if (component.poured <= 0) continue;
            const double grams = static_cast<double>(component.poured) / kHundredthsPerGram;
            const MixComponent* known = request_.catalogue->findComponent(component.code, 0);
            if (!known || known->kind != kPigment) {
                measure.trial.baseGrams += grams;
                continue;
            }
            const std::string code = ToUtf8(component.code);
            auto same = std::find_if(measure.trial.pastes.begin(), measure.trial.pastes.end(),
                                     [&](const colour::PouredPaste& paste) { return paste.code == code; });
            if (same == measure.trial.pastes.end())
                measure.trial.pastes.push_back({code, grams});
            else
                same->grams += grams;
        }
        if (capacity_ > 0)
            measure.roomGrams = capacity_ - static_cast<double>(plan_.lastReading) / kHundredthsPerGram;
        return measure;
    }

    // The batch as the journal has it, or as it would, for a recipe of the shop's own.
    void OnSaveAsRecipe() noexcept {
        if (!request_.saveAsRecipe || !plan_.Finished() || Busy()) return;
        const FlagScope asking(asking_);
        try {
            request_.saveAsRecipe(Window(), Batch());
        } catch (...) {
            SetText(IDC_WEIGH_MESSAGE, u"Недостаточно памяти: рецепт не сохранён.");
        }
    }

    void OnResolution() noexcept {
        const std::optional<std::uint32_t> selected = SelectedComboData(Control(IDC_WEIGH_RESOLUTION));
        if (!selected) return;
        const auto value = static_cast<Hundredths>(*selected);
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
        if (!smallest_ || AnythingRecorded(plan_)) return;
        request_.amount = *smallest_;
        if (request_.setAmount) request_.setAmount(request_.amount);
        StartPlan();
    }

    // The batch as the journal has it, or as it would now.
    BatchRecord Batch() const {
        if (journal_.Written(plan_) && journal_.Batch()) return *journal_.Batch();
        BatchHeader header = Header();
        header.time = CurrentBatchTime();
        return BatchOfPour(plan_, header);
    }

    BatchHeader Header() const {
        BatchHeader header{{}, request_.recipe->title, WideString(), request_.purpose, request_.weightType,
                           request_.amount, WideString()};
        // Each round poured what went in from its start to the next round's, or to now.
        for (std::size_t i = 0; i < rounds_.size(); ++i) {
            BatchMeasureRound round = rounds_[i].round;
            round.poured = PouredSince(rounds_[i].before,
                                       i + 1 < rounds_.size() ? rounds_[i + 1].before : AdditionsPoured(plan_));
            header.measureRounds.push_back(std::move(round));
        }
        if (request_.colour) {
            header.colourCode = request_.colour->code;
            header.colourName = request_.colour->name;
        }
        return header;
    }

    void WriteFinishedBatch() noexcept {
        if (journal_.Written(plan_) || journal_.Writing() || Busy()) return;
        const FlagScope asking(asking_);
        try {
            const WideString error = journal_.Write(Window(), plan_, Header());
            if (!error.empty()) SetText(IDC_WEIGH_MESSAGE, error);
        } catch (...) {
            // Not written: closing the window tries an unwritten batch again.
        }
        Refresh();
    }

    void OnJournalWritten(WPARAM number) noexcept {
        const std::optional<WideString> error = journal_.OnWritten(number);
        if (!error) return;  // another write's
        if (closing_) {
            closing_ = false;
            const FlagScope asking(asking_);
            if (journal_.CloseAfter(Window(), *error)) EndDialog(Window(), IDCANCEL);
            return;
        }
        SetText(IDC_WEIGH_MESSAGE, error->empty() ? WideString(u"Замес записан в журнал.") : *error);
        Refresh();
        // A paste poured to the end while the write was on its way makes the batch due again.
        if (error->empty() && plan_.Finished()) WriteFinishedBatch();
    }

    // A batch left after a reading goes into the journal as abandoned; if it cannot be
    // written, the painter may stay and keep the readings. A write on its way, or the
    // stock warning's reading, is waited for, the readings held still meanwhile.
    void OnClose() noexcept {
        if (Busy()) return;
        if (shortfallJob_.Running()) {
            closing_ = true;
            return;
        }
        WeighJournal::Closing closing = WeighJournal::Closing::kClose;
        {
            const FlagScope asking(asking_);
            try {
                closing = journal_.MayClose(Window(), plan_, Header());
            } catch (...) {
                closing = WeighJournal::Closing::kStay;  // no memory for the batch's header: stay, with the readings
            }
        }
        if (closing == WeighJournal::Closing::kWait) closing_ = true;
        if (closing == WeighJournal::Closing::kClose) EndDialog(Window(), IDCANCEL);
    }

    // A question or the note prompt is on screen, or closing waits for the batch's write.
    bool Busy() const noexcept { return asking_ || closing_; }

    WeighRequest& request_;
    PourPlan plan_;
    std::optional<std::int32_t> smallest_;
    std::vector<PourPaste> pastes_;  // what may be added while tinting
    // A correction by measurement as the journal keeps it, with the additions poured
    // before it: what it poured is counted from there.
    struct JournalRound {
        BatchMeasureRound round;
        std::vector<BatchPaste> before;
    };
    std::vector<JournalRound> rounds_;  // in order
    WeighJournal journal_;
    std::int32_t capacity_ = 0;        // grams the can holds; 0 when not set
    std::int32_t storedCapacity_ = 0;  // as the bench key has it
    bool asking_ = false;              // a question or the note prompt is on screen
    bool closing_ = false;             // the close waits for the batch's write
    FolderJob shortfallJob_{kShortfallsMessage};
    WeighRequest::Shortfalls shortfalls_;  // what the last job found, once told
    bool askAgain_ = false;                // the amount changed while it ran
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
        ShowErrorBox(owner, kNoMemoryForWeighing);
    }
}

}  // namespace lacqueron
