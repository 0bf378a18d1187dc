#include "ui/calibration/CalibrationDialog.h"

#include <commctrl.h>

#include <memory>
#include <optional>

#include "core/Utf8.h"
#include "files/FileReplace.h"
#include "files/JournalAccess.h"
#include "res/resource.h"
#include "tint/LadderReport.h"
#include "tint/OpticsInForce.h"
#include "ui/shared/CsvFileDialog.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FolderWriteState.h"
#include "ui/shared/ListViewParts.h"
#include "ui/shared/WorkerHandOff.h"

namespace lacqueron {
namespace {

constexpr wchar_t kLadderFilter[] =
    L"Лестницы выкрасок CGATS (*.txt, *.cgats, *.it8)\0*.txt;*.cgats;*.it8\0Все файлы (*.*)\0*.*\0";
constexpr wchar_t kLadderExtension[] = L"txt";
constexpr wchar_t kNotImported[] = L"Лестницы не загружены.";
constexpr char16_t kNoFolder[] = u"Папка данных недоступна.";
constexpr char16_t kNoSave[] = u" Калибровку не сохранить.";

constexpr ColumnLayout kColumns[] = {
    {L"Паста", 12}, {L"Название", 36}, {L"Наибольшее ΔE00", 22, LVCFMT_RIGHT}, {L"Не легли", 30}};

// What a fit hands over to the window.
struct FitOutcome {
    bool read = false;
    bool fitted = false;
    LadderFit fit;
    LadderError error;
};

// "ladders.txt" of "C:\lab\ladders.txt".
WideString FileNameOf(const WideString& path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    return slash == WideString::npos ? path : path.substr(slash + 1);
}

class CalibrationDialog final : public Dialog {
public:
    explicit CalibrationDialog(CalibrationContext& context) : context_(context) {}

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_CALIBRATION); }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return TRUE;
        case WM_COMMAND: return OnCommand(HIWORD(wParam), LOWORD(wParam));
        case WM_TIMER:
            if (fitting_.ProgressDue(Window(), wParam)) SetDlgItemTextW(Window(), IDC_CALIB_SUMMARY, L"Идёт расчёт...");
            return TRUE;
        case Fitting::kDoneMessage: TakeFit(wParam); return TRUE;
        case FolderWriteState::kWrittenMessage: OnWritten(wParam); return TRUE;
        case WM_CLOSE: saving_.OkOrCancel(Window(), false, [] {}); return TRUE;
        case WM_DESTROY: Fitting::Stop(Window()); return FALSE;
        default: return FALSE;
        }
    }

    HWND Control(int id) const noexcept { return GetDlgItem(Window(), id); }
    void SetText(int id, const WideString& text) noexcept { SetDlgItemTextW(Window(), id, WinText(text)); }

    void OnInit() noexcept {
        SetUpReportColumns(Control(IDC_CALIB_LIST), kColumns, std::size(kColumns));
        SetDlgItemTextW(Window(), IDC_CALIB_FILE, L"Файл лестниц не выбран.");
        ShowInForce();
        try {
            if (context_.optics == nullptr)
                SetText(IDC_CALIB_STATUS,
                        (context_.opticsError.empty() ? WideString(kNoFolder) : context_.opticsError) + kNoSave);
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_CALIB_STATUS, L"");
        }
        EnableActions();
    }

    INT_PTR OnCommand(int code, int id) noexcept {
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
        case IDOK:  // Enter, wherever the focus is
        case IDC_CALIB_IMPORT: Import(); return TRUE;
        case IDC_CALIB_SAVE: Save(); return TRUE;
        case IDC_CALIB_VENDOR: ReturnToVendor(); return TRUE;
        case IDCANCEL:
        case IDC_CALIB_CLOSE: saving_.OkOrCancel(Window(), false, [] {}); return TRUE;
        default: return FALSE;
        }
    }

    // Which table drafts and corrections use now; not read while a write has the store.
    void ShowInForce() noexcept {
        try {
            const OpticsEntry* latest = context_.optics ? context_.optics->InForce() : nullptr;
            const OpticsInForce inForce = ChooseOptics(latest, context_.vendorOptics);
            shopInForce_ = inForce.shop;
            SetText(IDC_CALIB_IN_FORCE, u"Действует: " + inForce.source + u".");
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_CALIB_IN_FORCE, L"");
        }
    }

    void EnableActions() noexcept {
        const bool store = context_.optics != nullptr && !saving_.Running();
        EnableWindow(Control(IDC_CALIB_SAVE), store && fit_ != nullptr && !fitSaved_ ? TRUE : FALSE);
        EnableWindow(Control(IDC_CALIB_VENDOR), store && shopInForce_ ? TRUE : FALSE);
    }

    void Import() noexcept {
        if (saving_.Running()) return;
        WideString path;
        if (!AskFile(Window(), CsvFileUse::kOpen, kLadderFilter, kLadderExtension, nullptr, kNotImported, path))
            return;
        try {
            fitting_.Start(Window(), [catalogue = context_.catalogue, path] { return Fit(*catalogue, path); });
            // The last file's fit goes at once: saved now, it would be taken for this one's.
            fit_.reset();
            fitSaved_ = false;
            pending_.reset();
            source_ = ToUtf8(path);
            ListView_DeleteAllItems(Control(IDC_CALIB_LIST));
            SetText(IDC_CALIB_FILE, u"Файл: " + FileNameOf(path));
            SetDlgItemTextW(Window(), IDC_CALIB_SUMMARY, L"");
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы загрузить лестницы.");
        }
        EnableActions();
    }

    // On the worker: reads the file and fits it.
    static FitOutcome Fit(const Catalogue& catalogue, const WideString& path) {
        FitOutcome outcome;
        std::string text;
        outcome.read = ReadFileContents(path, text);
        if (outcome.read) outcome.fitted = FitLadders(catalogue, text, outcome.fit, outcome.error);
        return outcome;
    }

    void TakeFit(WPARAM generation) noexcept {
        std::unique_ptr<FitOutcome> outcome = fitting_.Take(Window(), generation);
        if (!outcome) return;  // a file chosen since made it stale
        try {
            if (!outcome->read)
                SetDlgItemTextW(Window(), IDC_CALIB_SUMMARY, L"Файл не читается.");
            else if (!outcome->fitted)
                SetText(IDC_CALIB_SUMMARY, LadderErrorText(outcome->error));
            else
                ShowFit(std::move(outcome));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_CALIB_SUMMARY, L"Не хватило памяти, чтобы показать расчёт.");
        }
        EnableActions();
    }

    void ShowFit(std::unique_ptr<FitOutcome> outcome) {
        const LadderFit& fit = outcome->fit;
        HWND list = Control(IDC_CALIB_LIST);
        {
            const ListRedrawPause pause(list);
            for (const PasteFit& paste : PasteFits(fit)) {
                const WideString code = FromUtf8Lenient(paste.code);
                const MixComponent* component = context_.catalogue->findComponent(code, 0);
                WideString missed;
                for (const std::string& sample : paste.outliers)
                    missed += (missed.empty() ? u"" : u", ") + FromUtf8Lenient(sample);
                AddListRow(list, {code, component ? component->name : WideString(), FitDeltaEText(paste.largest),
                                  missed});
            }
        }
        SetText(IDC_CALIB_SUMMARY, u"Образцов: " + FromUtf8Lenient(std::to_string(fit.names.size())) +
                                       u"; ΔE00: медиана " + FitDeltaEText(fit.calibration.median) +
                                       u", наибольшее " + FitDeltaEText(fit.calibration.largest) + u".\n" +
                                       OutliersText(fit));
        fit_ = std::move(outcome);
    }

    void Save() noexcept {
        if (!fit_ || context_.optics == nullptr) return;
        try {
            // A retry after a failed write goes with the same entry, so it is never kept twice.
            if (!pending_ || pending_->vendor) pending_ = CalibrationEntry(fit_->fit, source_, CurrentBatchTime());
            Write(L"Калибровка сохранена.", u"Калибровка не сохранена");
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы сохранить калибровку.");
        }
    }

    void ReturnToVendor() noexcept {
        if (!shopInForce_ || context_.optics == nullptr) return;
        try {
            if (!pending_ || !pending_->vendor) {
                pending_.emplace();
                pending_->time = CurrentBatchTime();
                pending_->vendor = true;
            }
            Write(L"Возвращены данные поставщика.", u"Данные поставщика не возвращены");
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы вернуть данные поставщика.");
        }
    }

    // Keeps the pending entry through the data folder's worker; the outcome comes by message.
    void Write(const wchar_t* done, const char16_t* notDone) {
        FolderWrite write = [entry = *pending_](OwnRecipeStore*, LedgerStore*, OpticsStore* optics) {
            return optics ? optics->Keep(entry) : JournalAppendResult::WriteFailed;
        };
        done_ = done;
        notDone_ = notDone;
        if (!saving_.Start(Window(), IDC_CALIB_STATUS, context_.writes, std::move(write), nullptr, nullptr,
                           context_.optics))
            ShowErrorBox(Window(), kStoresAwayText);
    }

    void OnWritten(WPARAM generation) noexcept {
        const std::optional<JournalAppendResult> result = saving_.Take(generation);
        if (!result) return;  // another write's
        ShowInForce();
        EnableActions();
        if (*result == JournalAppendResult::Appended) {
            // The fit shown is in force now; after a return it may be saved again.
            fitSaved_ = pending_ && !pending_->vendor;
            pending_.reset();
            EnableActions();
            SetDlgItemTextW(Window(), IDC_CALIB_STATUS, done_);
            return;
        }
        try {
            const WideString told = DescribeAppendFailure(*result, notDone_, kOpticsWords);
            SetText(IDC_CALIB_STATUS, told);
            ShowErrorBox(Window(), WinText(told));
        } catch (...) {
            ShowErrorBox(Window(), L"Калибровка не записана.");
        }
    }

    using Fitting = WorkerHandOff<FitOutcome>;

    CalibrationContext& context_;
    Fitting fitting_;
    std::unique_ptr<FitOutcome> fit_;  // the fit shown, null while none is
    std::string source_;               // the file it was fitted from
    std::optional<OpticsEntry> pending_;  // the entry being kept, or kept in vain: a retry's
    bool fitSaved_ = false;  // the fit shown was kept
    bool shopInForce_ = false;
    FolderWriteState saving_;
    const wchar_t* done_ = L"";
    const char16_t* notDone_ = u"";
};

}  // namespace

void ShowCalibrationDialog(HWND owner, CalibrationContext& context) noexcept {
    if (context.catalogue == nullptr) return;
    try {
        CalibrationDialog dialog(context);
        dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы открыть калибровку паст.");
    }
}

}  // namespace lacqueron
