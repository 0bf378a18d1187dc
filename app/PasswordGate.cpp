#include "app/PasswordGate.h"

#include "ui/shared/ErrorBox.h"
#include "ui/password/PasswordDialog.h"

namespace lacqueron {

int PasswordGate(MainDialog& dialog) noexcept {
    try {
        const WideString required = dialog.GetCatalogue().setting(u"PASSWORD");
        if (required.empty()) return 1;

        PasswordDialog prompt;
        if (prompt.Run(dialog.Window()) != IDOK) return 0;
        // Exact UTF-16 comparison: case and surrounding spaces matter.
        if (prompt.TypedText() == required) return 1;

        ShowErrorBox(dialog.Window(), L"Неправильный пароль. В доступе отказано.");
        return 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace lacqueron
