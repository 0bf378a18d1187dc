// The modal password prompt (template IDD_PASSWORD).
#pragma once

#include "core/WideString.h"
#include "ui/shared/Dialog.h"

namespace lacqueron {

class PasswordDialog final : public Dialog {
public:
    // The end code: 1 OK, 2 cancel (button, Escape, close box), another command id from
    // 1 to 7 as sent, kDialogNotShown when the dialog cannot be shown (nothing is said:
    // the caller decides what that ends).
    INT_PTR Run(HWND owner) noexcept;
    // The edit field's text after its last change; empty until it changes.
    const WideString& TypedText() const noexcept { return typed_; }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    INT_PTR OnInit() noexcept;
    INT_PTR OnCommand(WORD code, WORD id) noexcept;
    void ReadTypedText() noexcept;

    WideString typed_;
};

}  // namespace lacqueron
