#include "data/text/TextFold.h"
#include "files/DataFolder.h"
#include "res/resource.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/shared/Centring.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/ListViewParts.h"
#include "ui/shared/WorkerHandOff.h"

namespace lacqueron {
namespace {

constexpr wchar_t kNoMemoryText[] = L"Не хватило памяти, чтобы сменить папку данных.";

// The same folder, as Windows compares paths: letters with case folded, a final
// backslash or none.
bool SameFolder(std::u16string_view a, std::u16string_view b) {
    const auto bare = [](std::u16string_view path) {
        while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
        return FoldText(path);
    };
    return bare(a) == bare(b);
}

// What the dialog waits for on its worker: the folder typed looked at, or the data copied.
enum class FolderStep { kNone, kChecking, kCopying };

// The folder typed is looked at, stored, and the old folder's records copied into it when
// asked, all while the dialog stands: the looking and copying run on a worker, so a share
// that does not answer leaves the window answering.
class DataFolderDialog final : public Dialog {
public:
    explicit DataFolderDialog(WideString current) : current_(std::move(current)) {}

    // True when the folder in force changed.
    bool Run(HWND owner) noexcept { return RunModalOrReport(owner, IDD_OWN_FOLDER) == IDOK; }

private:
    // What the worker says: empty when all went well, else the Russian reason.
    using Work = WorkerHandOff<WideString>;

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        switch (message) {
        case WM_INITDIALOG: return OnInit();
        case WM_TIMER:
            if (work_.ProgressDue(Window(), wParam))
                SetDlgItemTextW(Window(), IDC_OWN_FOLDER_STATE,
                                step_ == FolderStep::kCopying ? L"Копирование данных..." : L"Проверка папки...");
            return TRUE;
        case Work::kDoneMessage: OnDone(wParam); return TRUE;
        case WM_DESTROY: Work::Stop(Window()); return FALSE;
        case WM_COMMAND: break;
        default: return FALSE;
        }
        switch (LOWORD(wParam)) {
        case IDCANCEL:
            // A copy under way is seen through; a look at a folder that does not answer
            // is left behind, and nothing changes.
            if (step_ == FolderStep::kCopying)
                SimpleBeep();
            else
                EndDialog(Window(), IDCANCEL);
            return TRUE;
        case IDOK:
            if (step_ != FolderStep::kNone)
                SimpleBeep();
            else
                Check();
            return TRUE;
        default: return FALSE;
        }
    }

    BOOL OnInit() noexcept {
        CentreWindow(Window());
        try {
            SetDlgItemTextW(Window(), IDC_OWN_FOLDER_CURRENT, WinText(u"Сейчас: " + current_));
        } catch (...) {
            // Out of memory: the line stays empty, the field works all the same.
        }
        SetDlgItemTextW(Window(), IDC_OWN_FOLDER_PATH, WinText(current_));
        SendDlgItemMessageW(Window(), IDC_OWN_FOLDER_PATH, EM_SETSEL, 0, -1);
        return TRUE;  // the focus goes to the field
    }

    void Check() noexcept {
        try {
            chosen_ = WideString(TrimSpaces(ControlText(GetDlgItem(Window(), IDC_OWN_FOLDER_PATH))));
            // The local folder is made when it is first needed.
            if (chosen_.empty()) return Chosen();
            Start(FolderStep::kChecking, [folder = chosen_] {
                return FolderExists(folder) ? WideString() : u"Папка " + folder + u" не найдена или недоступна.";
            });
        } catch (...) {
            ShowErrorBox(Window(), kNoMemoryText);
        }
    }

    // The folder typed stands: it is stored, and the old one's records copied when asked.
    void Chosen() {
        if (!chosen_.empty() && SameFolder(chosen_, current_)) {
            EndDialog(Window(), IDCANCEL);
            return;
        }
        if (!StoreDataFolder(chosen_)) {
            ShowErrorBox(Window(), L"Не удалось запомнить папку данных. Данные остаются в прежней папке.");
            EndDialog(Window(), IDCANCEL);
            return;
        }
        const WideString now = DataFolderPath();
        // What the old folder holds stays there; its records may be appended to the new one's.
        if (current_.empty() || SameFolder(now, current_) ||
            !AskOwnRecipeQuestion(Window(), u"Скопировать журнал и свои рецепты из папки " + current_ +
                                                u" в новую? В новой папке ничего не будет перезаписано, "
                                                u"старая останется как есть.")) {
            EndDialog(Window(), IDOK);
            return;
        }
        Start(FolderStep::kCopying, [from = current_, to = now] { return CopyDataFolder(from, to); });
    }

    // May throw when no thread can be had.
    template <typename Job>
    void Start(FolderStep step, Job job) {
        work_.Start(Window(), std::move(job));
        step_ = step;
        Hold(true);
    }

    // The field and OK stay still while the worker runs. Cancel has the focus meanwhile, so
    // Esc still answers: a control disabled with the focus would leave the keys nowhere.
    void Hold(bool held) noexcept {
        const auto focus = [this](int id) {
            SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(Window(), id)), TRUE);
        };
        if (held) focus(IDCANCEL);
        for (const int id : {IDC_OWN_FOLDER_PATH, IDOK}) EnableWindow(GetDlgItem(Window(), id), held ? FALSE : TRUE);
        if (!held) focus(IDC_OWN_FOLDER_PATH);
    }

    void OnDone(WPARAM generation) noexcept {
        const std::unique_ptr<WideString> error = work_.Take(Window(), generation);
        if (!error) return;  // a stale look's
        const FolderStep step = step_;
        step_ = FolderStep::kNone;
        SetDlgItemTextW(Window(), IDC_OWN_FOLDER_STATE, L"");
        Hold(false);
        if (!error->empty()) ShowErrorBox(Window(), WinText(*error));
        if (step == FolderStep::kCopying) {
            EndDialog(Window(), IDOK);  // the folder changed all the same
            return;
        }
        if (!error->empty()) return;
        try {
            Chosen();
        } catch (...) {
            ShowErrorBox(Window(), kNoMemoryText);
        }
    }

    WideString current_;
    WideString chosen_;
    FolderStep step_ = FolderStep::kNone;
    Work work_;
};

}  // namespace

bool ChooseDataFolder(HWND owner, OwnRecipeContext& context) noexcept {
    try {
        DataFolderDialog dialog(DataFolderPath());
        if (!dialog.Run(owner)) return false;
        ReportOwnRecipeChange(context);
        return true;
    } catch (...) {
        ShowErrorBox(owner, kNoMemoryText);
        return false;
    }
}

}  // namespace lacqueron
