#include "data/text/TextFold.h"
#include "files/DataFolder.h"
#include "res/resource.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/shared/Centring.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/ListViewParts.h"

namespace lacqueron {
namespace {

bool IsFolder(const WideString& path) noexcept {
    const DWORD attributes = GetFileAttributesW(WinText(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The same folder, as Windows compares paths: letters with case folded, a final
// backslash or none.
bool SameFolder(std::u16string_view a, std::u16string_view b) {
    const auto bare = [](std::u16string_view path) {
        while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
        return FoldText(path);
    };
    return bare(a) == bare(b);
}

class DataFolderDialog final : public Dialog {
public:
    explicit DataFolderDialog(WideString current) : current_(std::move(current)) {}

    // The folder typed, empty for the local one; none when cancelled.
    bool Run(HWND owner, WideString& folder) noexcept {
        if (RunModalOrReport(owner, IDD_OWN_FOLDER) != IDOK) return false;
        folder = chosen_;
        return true;
    }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        if (message == WM_INITDIALOG) {
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
        if (message != WM_COMMAND) return FALSE;
        const WORD id = LOWORD(wParam);
        if (id == IDCANCEL) {
            EndDialog(Window(), IDCANCEL);
            return TRUE;
        }
        if (id != IDOK) return FALSE;
        try {
            chosen_ = WideString(TrimSpaces(ControlText(GetDlgItem(Window(), IDC_OWN_FOLDER_PATH))));
            if (!chosen_.empty() && !IsFolder(chosen_)) {
                ShowErrorBox(Window(), WinText(u"Папка " + chosen_ + u" не найдена или недоступна."));
                return TRUE;
            }
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы сменить папку данных.");
            return TRUE;
        }
        EndDialog(Window(), IDOK);
        return TRUE;
    }

    WideString current_;
    WideString chosen_;
};

}  // namespace

bool ChooseDataFolder(HWND owner, OwnRecipeContext& context) noexcept {
    try {
        const WideString old = DataFolderPath();
        WideString folder;
        DataFolderDialog dialog(old);
        if (!dialog.Run(owner, folder)) return false;
        if (!folder.empty() && SameFolder(folder, old)) return false;
        if (!StoreDataFolder(folder)) {
            ShowErrorBox(owner, L"Не удалось запомнить папку данных. Данные остаются в прежней папке.");
            return false;
        }
        const WideString now = DataFolderPath();
        // What the old folder holds stays there; its records may be appended to the new one's.
        if (!old.empty() && !SameFolder(now, old) &&
            AskOwnRecipeQuestion(owner, u"Скопировать журнал и свои рецепты из папки " + old +
                                            u" в новую? В новой папке ничего не будет перезаписано, "
                                            u"старая останется как есть.")) {
            const WideString error = CopyDataFolder(old, now);
            if (!error.empty()) ShowErrorBox(owner, WinText(error));
        }
        ReportOwnRecipeChange(context);
        return true;
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы сменить папку данных.");
        return false;
    }
}

}  // namespace lacqueron
