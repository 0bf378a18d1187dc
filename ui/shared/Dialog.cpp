#include "ui/shared/Dialog.h"

#include "ui/shared/ErrorBox.h"

namespace lacqueron {

void ReportDialogNotShown(HWND owner) noexcept {
    // A box owned by a window that is gone would not appear at all.
    ShowErrorBox(IsWindow(owner) ? owner : nullptr, L"Не удалось открыть окно.");
}

INT_PTR Dialog::RunModal(HWND owner, int templateId) noexcept {
    // DialogBoxParamW answers 0 for an owner that is gone, which a dialog can end with too.
    if (owner != nullptr && !IsWindow(owner)) return kDialogNotShown;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, &Procedure,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner, int templateId) noexcept {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, &Procedure,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::RunModalOrReport(HWND owner, int templateId) noexcept {
    const INT_PTR result = RunModal(owner, templateId);
    if (result == kDialogNotShown) ReportDialogNotShown(owner);
    return result;
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        if (self) self->window_ = window;
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) have no object yet.
    if (!self) return FALSE;
    const INT_PTR result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

}  // namespace lacqueron
