#include "ui/weigh/MeasureDialog.h"

#include <cmath>
#include <iterator>
#include <string>

#include "colour/Cxf.h"
#include "colour/Decimal.h"
#include "colour/DifferenceWords.h"
#include "colour/TargetText.h"
#include "core/Utf8.h"
#include "files/FileReplace.h"
#include "res/resource.h"
#include "tint/TargetInput.h"
#include "ui/shared/Centring.h"
#include "ui/shared/CsvFileDialog.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/weigh/WeighTexts.h"

namespace lacqueron {
namespace {

constexpr int kFieldLength = 64;
constexpr int kLabDecimals = 1;
constexpr int kDeltaEDecimals = 2;
constexpr wchar_t kCgatsFilter[] =
    L"Замер прибора CGATS или CxF3 (*.txt; *.cgats; *.cxf)\0*.txt;*.cgats;*.cxf\0Все файлы (*.*)\0*.*\0";
constexpr wchar_t kCgatsExtension[] = L"txt";
constexpr wchar_t kNoMemoryForCorrection[] = L"Недостаточно памяти: поправка не рассчитана.";

std::string FieldUtf8(HWND dialog, int id) {
    wchar_t text[kFieldLength + 1] = {};
    GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text)));
    return ToUtf8(FromWinText(text));
}

WideString LabText(const colour::Lab& lab) {
    return FromUtf8Lenient(colour::FormatFixed(lab.l, kLabDecimals) + ' ' + colour::FormatFixed(lab.a, kLabDecimals) +
                           ' ' + colour::FormatFixed(lab.b, kLabDecimals));
}

WideString DeltaEText(double value) { return FromUtf8Lenient(colour::FormatFixed(value, kDeltaEDecimals)); }

class MeasureDialog final : public Dialog {
public:
    explicit MeasureDialog(const MeasureRequest& request) : request_(request) {}

    std::optional<MeasureRound> Run(HWND owner) {
        if (RunModalOrReport(owner, IDD_WEIGH_MEASURE) != IDOK) return std::nullopt;
        return round_;
    }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        if (message == WM_INITDIALOG) return OnInit();
        if (message != WM_COMMAND) return FALSE;
        switch (LOWORD(wParam)) {
        case IDCANCEL: EndDialog(Window(), IDCANCEL); return TRUE;
        case IDOK:
            if (round_ && !round_->additions.empty()) EndDialog(Window(), IDOK);
            return TRUE;
        case IDC_MEASURE_COMPUTE: OnCompute(); return TRUE;
        case IDC_MEASURE_BROWSE: OnBrowse(); return TRUE;
        case IDC_MEASURE_TARGET:
        case IDC_MEASURE_TRIAL:
        case IDC_MEASURE_FILE:
            // What was computed no longer stands for what is typed.
            if (HIWORD(wParam) == EN_CHANGE) Forget();
            return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR OnInit() noexcept {
        CentreWindow(Window());
        for (const int id : {IDC_MEASURE_TARGET, IDC_MEASURE_TRIAL})
            SendDlgItemMessageW(Window(), id, EM_LIMITTEXT, kFieldLength, 0);
        try {
            if (request_.target) {
                SetDlgItemTextW(Window(), IDC_MEASURE_TARGET, WinText(LabText(*request_.target)));
                SetDlgItemTextW(Window(), IDC_MEASURE_TARGET_NOTE, L"Цель из подбора.");
            }
        } catch (...) {
            // The painter types the target.
        }
        Forget();
        SetFocus(GetDlgItem(Window(), request_.target ? IDC_MEASURE_TRIAL : IDC_MEASURE_TARGET));
        return FALSE;  // the focus is set
    }

    void Forget() noexcept {
        round_.reset();
        EnableWindow(GetDlgItem(Window(), IDOK), FALSE);
        SendMessageW(Window(), DM_SETDEFID, IDC_MEASURE_COMPUTE, 0);
    }

    void Say(const wchar_t* text, int focus) noexcept {
        SetDlgItemTextW(Window(), IDC_MEASURE_RESULT, text);
        if (focus == 0) return;
        HWND field = GetDlgItem(Window(), focus);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
    }

    void OnBrowse() noexcept {
        WideString path;
        if (!AskFile(Window(), CsvFileUse::kOpen, kCgatsFilter, kCgatsExtension, nullptr, L"Замер не прочитан.", path))
            return;
        SetDlgItemTextW(Window(), IDC_MEASURE_FILE, WinText(path));
    }

    // The target as typed, or a message and false.
    bool ReadTarget(colour::Lab& lab) {
        const std::string text = FieldUtf8(Window(), IDC_MEASURE_TARGET);
        switch (ReadTargetInput(*request_.catalogue, text, lab)) {
        case TargetInputResult::kLab:
            SetDlgItemTextW(Window(), IDC_MEASURE_TARGET_NOTE, request_.target ? L"Цель из подбора." : L"");
            return true;
        case TargetInputResult::kCatalogueColour:
            SetDlgItemTextW(Window(), IDC_MEASURE_TARGET_NOTE, L"Приблизительно: по экранному цвету каталога.");
            return true;
        case TargetInputResult::kNoSuchColour:
            Say(text.empty() ? L"Введите цель: L* a* b* (например 52.4 -3.1 18) или код цвета RAL."
                             : L"Такого кода цвета нет в каталоге. Введите код RAL из каталога или L* a* b* цели.",
                IDC_MEASURE_TARGET);
            return false;
        case TargetInputResult::kLightnessOutOfRange:
            Say(L"Светлота цели L* должна быть от 0 до 100.", IDC_MEASURE_TARGET);
            return false;
        case TargetInputResult::kAxisOutOfRange:
            Say(L"Координаты цели a* и b* должны быть от -200 до 200.", IDC_MEASURE_TARGET);
            return false;
        }
        return false;
    }

    // The trial's measurement: the file when one is named, else L*a*b* as typed.
    bool ReadTrial(colour::WeighedTrial& trial) {
        wchar_t path[MAX_PATH] = {};
        GetDlgItemTextW(Window(), IDC_MEASURE_FILE, path, static_cast<int>(std::size(path)));
        if (path[0] != 0) return ReadTrialFile(FromWinText(path), trial);
        colour::Lab lab;
        switch (colour::ParseLabText(FieldUtf8(Window(), IDC_MEASURE_TRIAL), lab)) {
        case colour::TargetProblem::kNone:
            trial.spectral = false;
            trial.measuredLab = lab;
            return true;
        case colour::TargetProblem::kLightnessOutside:
            Say(L"Светлота пробы L* должна быть от 0 до 100.", IDC_MEASURE_TRIAL);
            return false;
        case colour::TargetProblem::kOpponentOutside:
            Say(L"Координаты пробы a* и b* должны быть от -200 до 200.", IDC_MEASURE_TRIAL);
            return false;
        default:
            Say(L"Введите замер пробы: три числа L* a* b*, например 52.4 -3.1 18, или выберите файл замера.",
                IDC_MEASURE_TRIAL);
            return false;
        }
        return false;
    }

    // The file's last sample, its reflectance 400 to 700 nm.
    bool ReadTrialFile(const WideString& path, colour::WeighedTrial& trial) {
        std::string bytes;
        if (!ReadFileContents(path, bytes)) {
            Say(L"Файл замера не открывается. Проверьте путь к файлу.", IDC_MEASURE_FILE);
            return false;
        }
        std::vector<colour::CgatsSample> samples;
        colour::CgatsError error;
        if (!colour::ReadMeasurementFile(bytes, samples, error) || samples.empty()) {
            const WideString text = u"В файле нет спектра пробы, который можно прочитать (строка " +
                                    FromUtf8Lenient(std::to_string(error.line)) +
                                    u"). Нужен файл CGATS или CxF3 прибора с отражением от 400 до 700 нм.";
            Say(WinText(text), IDC_MEASURE_FILE);
            return false;
        }
        trial.spectral = true;
        trial.measured = samples.back().reflectance;
        return true;
    }

    void OnCompute() noexcept {
        Forget();
        try {
            colour::Lab targetLab;
            colour::WeighedTrial trial = request_.trial;
            if (!ReadTarget(targetLab) || !ReadTrial(trial)) return;
            Compute(targetLab, trial);
        } catch (...) {
            Say(kNoMemoryForCorrection, 0);
        }
    }

    void Compute(const colour::Lab& targetLab, const colour::WeighedTrial& trial) {
        std::vector<std::string> codes;
        for (const PourPaste& paste : request_.pastes) codes.push_back(ToUtf8(paste.code));
        const colour::Target target = colour::TargetFromLab(targetLab);
        MeasureRound round;
        round.target = targetLab;
        round.measured = trial.spectral ? colour::SpectrumToLab(trial.measured) : trial.measuredLab;
        std::string badCode;
        const colour::BenchCorrectionResult result =
            colour::CorrectWeighedTrial(*request_.optics, target, trial, colour::PastesOf(*request_.optics, codes),
                                        colour::CorrectionRequest{}.maxAddPastes, request_.roomGrams, round.proposed, badCode);
        if (result == colour::BenchCorrectionResult::kUnknownPaste) {
            Say(WinText(u"Для пасты " + FromUtf8Lenient(badCode) +
                        u" нет оптических данных: поправку по замеру рассчитать нельзя."),
                0);
            return;
        }
        if (result != colour::BenchCorrectionResult::kCorrected) {
            Say(L"В банке ещё нет основы и пасты: сначала налейте пробу.", 0);
            return;
        }
        WideString text = FromUtf8Lenient(colour::DifferenceText(round.target, round.measured)) + u"\r\n";
        for (const colour::BenchAddition& addition : round.proposed.additions) {
            const auto weight = static_cast<Hundredths>(std::llround(addition.grams * kHundredthsPerGram));
            if (weight <= 0) continue;
            for (const PourPaste& paste : request_.pastes)
                if (ToUtf8(paste.code) == addition.code) round.additions.push_back({paste, weight});
        }
        if (round.additions.empty()) {
            text += u"Никакая добавка не приближает пробу к цели.";
        } else {
            text += u"Добавить:\r\n";
            for (const PourAddition& addition : round.additions)
                text += u"  " + addition.paste.name + u": " + GramsCell(addition.weight) + u" г\r\n";
            text += u"После добавок ожидается ΔE00 = " + DeltaEText(round.proposed.predicted) + u".";
        }
        if (!request_.opticsSource.empty()) text += u"\r\nОптика паст: " + request_.opticsSource + u".";
        SetDlgItemTextW(Window(), IDC_MEASURE_RESULT, WinText(text));
        const bool any = !round.additions.empty();
        round_ = std::move(round);
        EnableWindow(GetDlgItem(Window(), IDOK), any);
        if (any) SendMessageW(Window(), DM_SETDEFID, IDOK, 0);
    }

    const MeasureRequest& request_;
    std::optional<MeasureRound> round_;
};

}  // namespace

std::optional<MeasureRound> AskMeasurement(HWND owner, const MeasureRequest& request) noexcept {
    if (!request.catalogue || !request.optics) return std::nullopt;
    try {
        MeasureDialog dialog(request);
        return dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, kNoMemoryForCorrection);
        return std::nullopt;
    }
}

}  // namespace lacqueron
