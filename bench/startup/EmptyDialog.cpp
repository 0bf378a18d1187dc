// The empty dialog: what a modeless dialog of the main dialog's size costs the platform
// with nothing in it.
#include <windows.h>

#include "bench/startup/StandInResource.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_CLOSE) return FALSE;
    PostQuitMessage(0);
    return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_EMPTY), nullptr, DialogProc, 0);
    if (dialog == nullptr) return 1;
    ShowWindow(dialog, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(dialog);
    return 0;
}
