#include "app/PasswordGate.h"

#include "ui/shared/ErrorBox.h"
#include "ui/password/PasswordDialog.h"

namespace lacqueron {

int PasswordGate(MainDialog& dialog) noexcept {
    try {
        const WideString required = dialog.GetCatalogue().setting(u"PASSWORD");
        if (required.empty()) return 1;

        PasswordDialog prompt;
        const INT_PTR answer = prompt.Run(dialog.Window());
        // Without the prompt the password cannot be asked: the program ends, saying why.
        if (answer == kDialogNotShown) ReportDialogNotShown(dialog.Window());
        if (answer != IDOK) return 0;
        // Exact UTF-16 comparison: case and surrounding spaces matter.
        if (prompt.TypedText() == required) return 1;

        ShowErrorBox(dialog.Window(), L"Неправильный пароль. В доступе отказано.");
        return 0;
    } catch (...) {
        // Out of memory reading the password or the typed text: refused, but not in silence.
        ShowErrorBox(dialog.Window(), L"Не удалось проверить пароль. Программа будет закрыта.");
        return 0;
    }
}

}  // namespace lacqueron
