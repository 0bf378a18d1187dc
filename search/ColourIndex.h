// Finding a paint by what the painter types: digits, alone or after "RAL" (or "РАЛ"),
// are the start of the colour number ("30" finds RAL 3000); anything else is a piece
// of the name, case and ё/е ignored. The index keeps one prepared row per recipe, in catalogue
// order, the order of the main dialog's list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"

namespace lacqueron {

constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

// What a typed text asks for.
struct ColourQuery {
    enum class Kind { kNothing, kNumber, kText };
    Kind kind = Kind::kNothing;
    WideString text;  // the digits, or the folded text
};

// Blank text asks for nothing; any text, however long, is a valid query.
ColourQuery MakeColourQuery(std::u16string_view typed);

// True for the start of "RAL " or "РАЛ " in any case, the number still to come ("R",
// "ра", "RAL  "): a list that finds nothing for it waits for the digits without a beep.
bool StartsColourCode(std::u16string_view typed) noexcept;

class ColourIndex {
public:
    ColourIndex() = default;
    // Borrows the catalogue's records, which never move; the catalogue must outlive it.
    explicit ColourIndex(const Catalogue& catalogue);

    std::size_t size() const noexcept { return rows_.size(); }
    const ColourRecipe& Recipe(std::size_t row) const noexcept { return *rows_[row].recipe; }
    // The recipe's colour; null when the package has none for its number.
    const ColourEntry* Colour(std::size_t row) const noexcept { return rows_[row].colour; }

    bool Matches(std::size_t row, const ColourQuery& query) const noexcept;
    // The first matching row at or after from, going on from the top after the last
    // row; kNoRow when none matches. A from past the end starts at the top.
    std::size_t FindFrom(const ColourQuery& query, std::size_t from) const noexcept;
    // Every matching row in order.
    std::vector<std::size_t> FindAll(const ColourQuery& query) const;

    // The row of the recipe, or of the first recipe titled so; kNoRow when none.
    std::size_t RowOf(const ColourRecipe* recipe) const noexcept;
    std::size_t RowOfTitle(const WideString& title) const noexcept;
    // The first row whose colour has the code, as a batch keeps it; failing that, the
    // first recipe titled so (a colour the package no longer has). kNoRow when neither.
    std::size_t RowOfColourCode(const WideString& code) const noexcept;

private:
    struct Row {
        const ColourRecipe* recipe;
        const ColourEntry* colour;
        WideString digits;  // the colour number in decimal
        WideString foldedName;
    };
    std::vector<Row> rows_;
};

// The rows the find dialog lists: for a blank text the recent titles that are still
// in the package, newest first, then every other row; otherwise the matching rows.
std::vector<std::size_t> FindDialogRows(const ColourIndex& index, std::u16string_view typed,
                                        const std::vector<WideString>& recentTitles);

}  // namespace lacqueron
