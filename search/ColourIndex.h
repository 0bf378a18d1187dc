// Finding a paint by what the painter types: digits, alone or after "RAL" (or "РАЛ"),
// are the start of the colour number ("30" finds RAL 3000); anything else is a piece
// of the name, case and ё/е ignored. The shop's own recipes are found by a piece of
// their code, name or note, whatever is typed. Three numbers, L*a*b*, find the colours
// nearest them, an own recipe by the target it was matched to. The index keeps one prepared row per
// recipe, the package's in catalogue order and then the own ones, the order of the
// main dialog's list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include <optional>

#include "colour/Colorimetry.h"
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

// A recipe of the shop's own as the paint list shows it, after the package's colours.
struct OwnColourRow {
    ColourRecipe recipe;  // numbered by OwnRowNumber, apart from the package's colours
    ColourEntry colour;   // the own code, name and colour, with the same number
    WideString note;
    std::optional<colour::Lab> target;  // what it was matched to; none: found by its colour
};

// Own rows are numbered -1, -2, ... in list order; the package's numbers are never negative.
constexpr std::int32_t OwnRowNumber(std::size_t ownRow) noexcept { return -1 - static_cast<std::int32_t>(ownRow); }
// The own row of a number; kNoRow for a package's number.
constexpr std::size_t OwnRowOfNumber(std::int32_t number) noexcept;

class ColourIndex {
public:
    ColourIndex() = default;
    // Borrows the catalogue's records, which never move, and the own rows, which must
    // neither move nor change while the index lives.
    explicit ColourIndex(const Catalogue& catalogue, const std::vector<OwnColourRow>& own = {});

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
    // At most top rows with a colour, nearest the L*a*b* by ΔE00 first.
    std::vector<std::size_t> Nearest(const colour::Lab& lab, int top) const;

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
        WideString digits;  // the colour number in decimal; empty for an own recipe
        WideString folded;  // the name; for an own recipe its code, name and note
        std::optional<colour::Lab> target;
    };
    std::vector<Row> rows_;
};

constexpr std::size_t OwnRowOfNumber(std::int32_t number) noexcept {
    return number < 0 ? static_cast<std::size_t>(-1 - static_cast<std::int64_t>(number)) : kNoRow;
}

// The rows the find dialog lists: for a blank text the recent titles that are still
// in the package, newest first, then every other row; for L*a*b* ("52,3 -4,1 18") the
// kNearestListed nearest; otherwise the matching rows.
constexpr int kNearestListed = 10;
std::vector<std::size_t> FindDialogRows(const ColourIndex& index, std::u16string_view typed,
                                        const std::vector<WideString>& recentTitles);

}  // namespace lacqueron
