#include "ui/recipes/OwnRecipeParts.h"

#include "ui/shared/ErrorBox.h"

namespace lacqueron {

void ReportOwnRecipeChange(OwnRecipeContext& context) noexcept {
    if (!context.changed) return;
    try {
        context.changed();
    } catch (...) {
        // The change is in the store; the main dialog shows it at its next refresh.
        ShowErrorBox(nullptr, L"Не хватило памяти, чтобы обновить список красок.");
    }
}

std::vector<WideString> OtherOwnCodes(const OwnRecipeContext& context, OwnRecipeId except) {
    std::vector<WideString> codes;
    if (context.store == nullptr) return codes;
    for (const OwnRecipeCurrent& current : context.store->Current())
        if (current.id != except) codes.push_back(current.recipe.code);
    return codes;
}

bool AskOwnRecipeQuestion(HWND owner, const WideString& question) noexcept {
    return MessageBoxW(owner, WinText(question), L"Подтверждение", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

}  // namespace lacqueron
