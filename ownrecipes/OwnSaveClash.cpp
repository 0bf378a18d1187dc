#include "ownrecipes/OwnSaveClash.h"

namespace lacqueron {
namespace {

constexpr char16_t kLineEnd[] = u"\r\n";
constexpr char16_t kAnswers[] = u"«Да» — сохранить ваш рецепт новой версией поверх неё; «Нет» — не сохранять.";

// The version as the editor lists it: title, then each component with its amount.
WideString VersionText(const OwnRecipe& recipe) {
    WideString text = OwnRecipeTitle(recipe);
    for (const OwnRecipeLine& line : recipe.lines)
        text += kLineEnd + (u"    " + line.component + u"  " + FormatOwnAmount(line.amount));
    return text;
}

}  // namespace

WideString DescribeCodeClash(std::u16string_view notDone, const WideString& code) {
    return WideString(notDone) + u": код «" + code + u"» занят: его только что сохранило другое рабочее место.";
}

WideString ChangedElsewhereQuestion(const WideString& code, const OwnSaveClash& clash) {
    if (!clash.theirs)
        return u"Рецепт «" + code + u"» удалён на другом рабочем месте, пока он был открыт здесь." + kLineEnd +
               kLineEnd + u"«Да» — сохранить ваш рецепт снова; «Нет» — не сохранять.";
    return u"Рецепт «" + code + u"» изменён на другом рабочем месте, пока он был открыт здесь. Там сохранено:" +
           kLineEnd + kLineEnd + VersionText(clash.theirs->recipe) + kLineEnd + kLineEnd + kAnswers;
}

}  // namespace lacqueron
