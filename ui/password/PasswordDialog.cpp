#include "ui/password/PasswordDialog.h"

#include <vector>

#include "res/resource.h"
#include "ui/shared/Centring.h"

namespace lacqueron {

INT_PTR PasswordDialog::Run(HWND owner) noexcept {
    typed_.clear();
    return RunModal(owner, IDD_PASSWORD);
}

INT_PTR PasswordDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        return OnInit();
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam));
    default:
        return FALSE;
    }
}

INT_PTR PasswordDialog::OnInit() noexcept {
    CentreWindow(Window());
    // TRUE: the focus goes to the first tab stop, the edit field.
    return TRUE;
}

INT_PTR PasswordDialog::OnCommand(WORD code, WORD id) noexcept {
    if (id == IDC_PASSWORD_EDIT && code == EN_CHANGE) {
        ReadTypedText();
        return TRUE;
    }
    // OK and Cancel end with their own id; so does any other of the standard ids 1..7.
    if (id >= IDOK && id <= IDNO) {
        EndDialog(Window(), id);
        return TRUE;
    }
    return FALSE;
}

void PasswordDialog::ReadTypedText() noexcept {
    try {
        HWND edit = GetDlgItem(Window(), IDC_PASSWORD_EDIT);
        const int length = GetWindowTextLengthW(edit);
        std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        const int copied = GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
        typed_ = FromWinText(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
    } catch (...) {
        // Out of memory: an empty text, which no required password matches.
        typed_.clear();
    }
}

}  // namespace lacqueron
