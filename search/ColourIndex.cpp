#include "search/ColourIndex.h"

#include <algorithm>
#include <unordered_map>

#include "colour/Nearest.h"
#include "colour/TargetText.h"
#include "core/IntegerText.h"
#include "core/Utf8.h"
#include "data/text/TextFold.h"

namespace lacqueron {
namespace {

// Typed before a number, as the list shows it and in its Cyrillic look-alike (folded).
constexpr std::u16string_view kCodePrefixes[] = {u"ral", u"рал"};

bool AllDigits(std::u16string_view text) noexcept {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// The text after a code prefix it starts with (folded); the text itself when none.
std::u16string_view AfterCodePrefix(std::u16string_view folded) noexcept {
    for (std::u16string_view prefix : kCodePrefixes)
        if (folded.starts_with(prefix)) return TrimSpaces(folded.substr(prefix.size()));
    return folded;
}

}  // namespace

ColourQuery MakeColourQuery(std::u16string_view typed) {
    const std::u16string_view text = TrimSpaces(typed);
    if (text.empty()) return {};
    WideString folded = FoldText(text);
    const std::u16string_view number = AfterCodePrefix(folded);
    if (!number.empty() && AllDigits(number)) return {ColourQuery::Kind::kNumber, WideString(number)};
    return {ColourQuery::Kind::kText, std::move(folded)};
}

bool StartsColourCode(std::u16string_view typed) noexcept {
    const std::u16string_view text = TrimSpaces(typed);
    if (text.empty()) return false;
    // Spaces after it only once the prefix is whole: "RA " is no code.
    const bool spaced = text.data() + text.size() != typed.data() + typed.size();
    for (std::u16string_view prefix : kCodePrefixes) {
        if (text.size() > prefix.size() || (spaced && text.size() != prefix.size())) continue;
        if (std::equal(text.begin(), text.end(), prefix.begin(),
                       [](char16_t typedChar, char16_t prefixChar) { return FoldLetter(typedChar) == prefixChar; }))
            return true;
    }
    return false;
}

ColourIndex::ColourIndex(const Catalogue& catalogue, const std::vector<OwnColourRow>& own) {
    // First colour per number, as findColour answers, without a scan per recipe.
    std::unordered_map<std::int32_t, const ColourEntry*> colours;
    for (const ColourEntry& colour : catalogue.colours) colours.emplace(colour.number, &colour);
    rows_.reserve(catalogue.recipes.size() + own.size());
    for (const ColourRecipe& recipe : catalogue.recipes) {
        const auto found = colours.find(recipe.number);
        const ColourEntry* colour = found == colours.end() ? nullptr : found->second;
        rows_.push_back(
            {&recipe, colour, IntegerText(recipe.number), colour ? FoldText(colour->name) : WideString(), {}});
    }
    // A line break is never part of what is typed, so no match runs from one field into the next.
    for (const OwnColourRow& row : own)
        rows_.push_back({&row.recipe, &row.colour, WideString(),
                         FoldText(row.colour.code + u'\n' + row.colour.name + u'\n' + row.note), row.target});
}

bool ColourIndex::Matches(std::size_t row, const ColourQuery& query) const noexcept {
    const Row& r = rows_[row];
    // An own code may hold digits anywhere ("К-0012"): they are a piece of its text.
    const bool own = r.digits.empty();
    switch (query.kind) {
    case ColourQuery::Kind::kNumber:
        return own ? r.folded.find(query.text) != WideString::npos : r.digits.starts_with(query.text);
    case ColourQuery::Kind::kText:
        return r.folded.find(query.text) != WideString::npos;
    default:
        return false;
    }
}

std::size_t ColourIndex::FindFrom(const ColourQuery& query, std::size_t from) const noexcept {
    if (from >= rows_.size()) from = 0;
    for (std::size_t step = 0; step < rows_.size(); ++step) {
        const std::size_t row = (from + step) % rows_.size();
        if (Matches(row, query)) return row;
    }
    return kNoRow;
}

std::vector<std::size_t> ColourIndex::FindAll(const ColourQuery& query) const {
    std::vector<std::size_t> found;
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (Matches(row, query)) found.push_back(row);
    return found;
}

std::vector<std::size_t> ColourIndex::Nearest(const colour::Lab& lab, int top) const {
    std::vector<std::size_t> rows;
    std::vector<colour::Lab> labs;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const Row& r = rows_[row];
        if (r.colour == nullptr) continue;
        rows.push_back(row);
        labs.push_back(r.target ? *r.target : colour::LabFromScreenColour(r.colour->rgb));
    }
    std::vector<std::size_t> nearest;
    for (const colour::NearColour& near : colour::NearestColours(labs, lab, top)) nearest.push_back(rows[near.index]);
    return nearest;
}

std::size_t ColourIndex::RowOf(const ColourRecipe* recipe) const noexcept {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].recipe == recipe) return row;
    return kNoRow;
}

std::size_t ColourIndex::RowOfTitle(const WideString& title) const noexcept {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].recipe->title == title) return row;
    return kNoRow;
}

std::size_t ColourIndex::RowOfColourCode(const WideString& code) const noexcept {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].colour != nullptr && rows_[row].colour->code == code) return row;
    return RowOfTitle(code);
}

std::vector<std::size_t> FindDialogRows(const ColourIndex& index, std::u16string_view typed,
                                        const std::vector<WideString>& recentTitles) {
    const ColourQuery query = MakeColourQuery(typed);
    colour::Lab lab;
    if (query.kind == ColourQuery::Kind::kText && colour::ParseLabText(ToUtf8(typed), lab) == colour::TargetProblem::kNone)
        return index.Nearest(lab, kNearestListed);
    if (query.kind != ColourQuery::Kind::kNothing) return index.FindAll(query);

    std::vector<std::size_t> rows;
    rows.reserve(index.size());
    std::vector<bool> listed(index.size(), false);
    for (const WideString& title : recentTitles) {
        const std::size_t row = index.RowOfTitle(title);
        if (row == kNoRow || listed[row]) continue;
        rows.push_back(row);
        listed[row] = true;
    }
    for (std::size_t row = 0; row < index.size(); ++row)
        if (!listed[row]) rows.push_back(row);
    return rows;
}

}  // namespace lacqueron
