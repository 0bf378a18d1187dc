#include "ui/weigh/BatchNoteDialog.h"

#include <iterator>

#include "res/resource.h"
#include "ui/shared/Centring.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr wchar_t kNoteLostText[] = L"Не хватило памяти: примечание к замесу не сохранено.";

class BatchNoteDialog final : public Dialog {
public:
    WideString Run(HWND owner) {
        return RunModalOrReport(owner, IDD_WEIGH_NOTE) == IDOK ? note_ : WideString();
    }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        if (message == WM_INITDIALOG) {
            CentreWindow(Window());
            SendDlgItemMessageW(Window(), IDC_WEIGH_NOTE_TEXT, EM_LIMITTEXT, kBatchNoteLength, 0);
            return TRUE;  // the focus goes to the first tab stop, the note
        }
        if (message != WM_COMMAND) return FALSE;
        const WORD id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL) return FALSE;
        if (id == IDOK) ReadNote();
        EndDialog(Window(), id);
        return TRUE;
    }

    void ReadNote() noexcept {
        wchar_t text[kBatchNoteLength + 1] = {};
        GetDlgItemTextW(Window(), IDC_WEIGH_NOTE_TEXT, text, static_cast<int>(std::size(text)));
        try {
            note_ = FromWinText(text);
        } catch (...) {
            note_.clear();  // the batch is kept without its note
            ShowErrorBox(Window(), kNoteLostText);
        }
    }

    WideString note_;
};

}  // namespace

WideString AskBatchNote(HWND owner) noexcept {
    try {
        BatchNoteDialog dialog;
        return dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, kNoteLostText);
        return WideString();
    }
}

}  // namespace lacqueron
