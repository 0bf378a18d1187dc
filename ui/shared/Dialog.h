// Base of the dialogs, modal and modeless: the object outlives its window, the dialog
// procedure finds it through DWLP_USER and forwards every message to OnMessage.
#pragma once

#include <windows.h>

namespace lacqueron {

// RunModal's answer when the dialog could not be shown.
inline constexpr INT_PTR kDialogNotShown = -1;

// Tells the painter, in the error box owned by owner, that a window could not be opened.
// For the caller of RunModal, which alone knows what the failure ends.
void ReportDialogNotShown(HWND owner) noexcept;

class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // DialogBoxParamW on the template from the program's module; its end code, or
    // kDialogNotShown when the dialog cannot be shown (owner gone included).
    INT_PTR RunModal(HWND owner, int templateId) noexcept;
    // CreateDialogParamW on the template from the program's module; the window, null
    // when it cannot be made.
    HWND CreateModeless(HWND owner, int templateId) noexcept;
    // RunModal for a caller that has nothing else to do when the dialog cannot be shown
    // than to say so: the box appears once, owned by owner.
    INT_PTR RunModalOrReport(HWND owner, int templateId) noexcept;
    // The dialog window while it is open.
    HWND Window() const noexcept { return window_; }

protected:
    Dialog() noexcept = default;
    ~Dialog() = default;

    // Answers like a dialog procedure: TRUE when handled, FALSE for default processing.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept = 0;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND window_ = nullptr;
};

}  // namespace lacqueron
