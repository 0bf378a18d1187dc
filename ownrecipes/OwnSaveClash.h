// One code, one recipe, across benches: why a save was refused once the store caught up
// under the file's lock, and what the painter is told.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "journal/JournalText.h"
#include "ownrecipes/OwnRecipe.h"

namespace lacqueron {

// Which recipe a version belongs to, across renames of its code.
using OwnRecipeId = std::uint64_t;

// A recipe as it stands: its last version, when that is not a delete.
struct OwnRecipeCurrent {
    OwnRecipeId id = 0;
    BatchTime firstSaved;
    BatchTime lastSaved;
    std::size_t versions = 0;
    OwnRecipe recipe;
    bool operator==(const OwnRecipeCurrent&) const = default;
};

// Another recipe holds the code now, or the recipe itself moved on since it was read.
struct OwnSaveClash {
    WideString code;       // the code another recipe holds; empty when it is not that
    bool changed = false;  // the recipe has other versions than counted, or was deleted
    std::optional<OwnRecipeCurrent> theirs;  // the recipe as it stands now; none when deleted
};

// How the recipes' file names itself in its messages.
inline constexpr LogWords kOwnRecipeWords = {u"файл рецептов",
                                             u"Свои рецепты заняты другим рабочим местом. Попробуйте ещё раз.",
                                             u"Файл своих рецептов",
                                             u"рецептов",
                                             u"файл не похож на файл своих рецептов",
                                             u"файл своих рецептов записан более новой версией программы"};

// "Рецепт не сохранён: код «К-1» занят: его только что сохранило другое рабочее место."
WideString DescribeCodeClash(std::u16string_view notDone, const WideString& code);

// The question when the recipe moved on at another bench: the version there, and
// whether to save this one as a new version on top of it (or again, when deleted).
WideString ChangedElsewhereQuestion(const WideString& code, const OwnSaveClash& clash);

}  // namespace lacqueron
