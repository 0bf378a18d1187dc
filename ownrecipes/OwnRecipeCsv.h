// Own recipes as a table a lab keeps its recipes in: the journal export's conventions
// (UTF-8 with a byte-order mark, ';', decimal commas; read as ReadCsvRows reads any
// spreadsheet's table), one row per line of a recipe,
//   Код;Название;Цвет R-G-B;Примечание;Компонент;Количество на 1000 г основы;Цель L*a*b*
// Rows in a row with the same code are one recipe; its code, name, colour, note and
// target ("52,3 -4,1 18", empty for none) are taken from its first row. Tables without
// the last column, as written before recipes kept targets, read as ever.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "journal/JournalCsv.h"
#include "ownrecipes/OwnRecipeStore.h"

namespace lacqueron {

std::string ExportOwnRecipesCsv(const std::vector<OwnRecipeCurrent>& recipes);

// Every recipe of the table checked as the editor checks it (codes apart from the
// catalogue's and from each other; a code the store has already is allowed), or none:
// false with the first bad row.
bool ReadOwnRecipesCsv(std::string_view bytes, const Catalogue& catalogue, std::vector<OwnRecipe>& recipes,
                       CsvError& error);

// Saves what ReadOwnRecipesCsv read in one write: a code the store has gets a new version.
JournalAppendResult ImportOwnRecipes(OwnRecipeStore& store, const std::vector<OwnRecipe>& recipes, const BatchTime& now);

// "205-186-136" for a colour with red in the low byte, and back.
WideString FormatRgb(std::uint32_t rgb);
bool ParseRgb(std::u16string_view text, std::uint32_t& rgb);

}  // namespace lacqueron
