#include "ownrecipes/OwnRecipeCsv.h"

#include <set>
#include <string>

#include "colour/TargetText.h"
#include "core/IntegerText.h"
#include "core/Utf8.h"
#include "data/text/TextFold.h"
#include "journal/JournalCsv.h"

namespace lacqueron {
namespace {

const char16_t* const kTitles[] = {
    u"Код", u"Название", u"Цвет R-G-B", u"Примечание", u"Компонент", u"Количество на 1000 г основы", u"Цель L*a*b*",
};
enum Column : std::size_t { kCode, kName, kColour, kNote, kComponent, kAmount, kTarget, kColumns };
// Files written before recipes kept targets end with the amount.
constexpr std::size_t kOldColumns = kTarget;

std::vector<WideString> Titles(std::size_t count) { return {std::begin(kTitles), std::begin(kTitles) + count}; }

constexpr std::size_t kChannels = 3;
constexpr int kChannelBits = 8;
constexpr std::uint32_t kLargestChannel = 255;
constexpr std::uint32_t kDecimalBase = 10;

WideString Field(const std::vector<WideString>& row, Column column) {
    return CsvTypedTextBack(WideString(TrimSpaces(row[column])));
}

// The line problem of an amount as written, as a check of the recipe it is in.
OwnRecipeCheck AmountCheck(OwnRecipeProblem problem, std::size_t line) { return {problem, line}; }

// An empty field keeps no target; one read from a table was typed, not measured.
bool ReadTarget(std::u16string_view field, std::optional<OwnTarget>& target) {
    const std::string text = ToUtf8(WideString(TrimSpaces(field)));
    if (text.empty()) return true;
    colour::Lab lab;
    if (colour::ParseLabText(text, lab) != colour::TargetProblem::kNone) return false;
    target = OwnTarget{lab.l, lab.a, lab.b, {}, {}};
    return true;
}

}  // namespace

WideString FormatRgb(std::uint32_t rgb) {
    WideString text;
    for (std::size_t i = 0; i < kChannels; ++i) {
        if (i > 0) text += u'-';
        text += IntegerText(rgb >> (kChannelBits * i) & kLargestChannel);
    }
    return text;
}

bool ParseRgb(std::u16string_view text, std::uint32_t& rgb) {
    text = TrimSpaces(text);
    std::uint32_t value = 0;
    std::uint32_t channel = 0;
    std::size_t channels = 0;
    bool digits = false;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'-') {
            if (!digits || channels == kChannels) return false;
            value |= channel << (kChannelBits * channels++);
            channel = 0;
            digits = false;
            continue;
        }
        if (text[i] < u'0' || text[i] > u'9') return false;
        channel = channel * kDecimalBase + (text[i] - u'0');
        if (channel > kLargestChannel) return false;
        digits = true;
    }
    if (channels != kChannels) return false;
    rgb = value;
    return true;
}

std::string ExportOwnRecipesCsv(const std::vector<OwnRecipeCurrent>& recipes) {
    std::string out = kCsvByteOrderMark;
    AppendCsvRow(out, Titles(kColumns));
    for (const OwnRecipeCurrent& current : recipes) {
        const OwnRecipe& recipe = current.recipe;
        const WideString target = recipe.target ? FromUtf8Lenient(colour::FormatLabText(
                                                      {recipe.target->l, recipe.target->a, recipe.target->b},
                                                      static_cast<char>(kSpreadsheetDecimalMark)))
                                                : WideString();
        for (const OwnRecipeLine& line : recipe.lines)
            AppendCsvRow(out, {CsvTypedText(recipe.code), CsvTypedText(recipe.name), FormatRgb(recipe.rgb),
                               CsvTypedText(recipe.note), line.component,
                               FormatOwnAmount(line.amount, kSpreadsheetDecimalMark), target});
    }
    return out;
}

bool ReadOwnRecipesCsv(std::string_view bytes, const Catalogue& catalogue, std::vector<OwnRecipe>& recipes,
                       CsvError& error) {
    std::vector<CsvRow> rows;
    if (!ReadCsvTable(bytes, Titles(kColumns), rows, error)) {
        CsvError old;
        if (error.row != 1 || !ReadCsvTable(bytes, Titles(kOldColumns), rows, old)) {
            if (error.row == 1 && old.row != 1) error = old;
            return false;
        }
    }
    std::vector<OwnRecipe> read;
    std::vector<std::size_t> firstRows;  // per recipe
    std::vector<std::vector<std::size_t>> rowsOfLines;
    for (const CsvRow& tableRow : rows) {
        const std::vector<WideString>& row = tableRow.fields;
        const std::size_t number = tableRow.number;
        const WideString code = Field(row, kCode);
        if (read.empty() || FoldText(read.back().code) != FoldText(code)) {
            OwnRecipe recipe;
            recipe.code = code;
            recipe.name = Field(row, kName);
            recipe.note = Field(row, kNote);
            if (!ParseRgb(row[kColour], recipe.rgb)) {
                error = {number, u"цвет «" + row[kColour] + u"» не в виде R-G-B от 0 до 255"};
                return false;
            }
            if (row.size() > kTarget && !ReadTarget(row[kTarget], recipe.target)) {
                error = {number, u"цель L*a*b* «" + row[kTarget] + u"» не три числа: L* от 0 до 100, a* и b* от -200 до 200"};
                return false;
            }
            read.push_back(std::move(recipe));
            firstRows.push_back(number);
            rowsOfLines.emplace_back();
        }
        OwnRecipe& recipe = read.back();
        recipe.lines.push_back({Field(row, kComponent), 0});
        rowsOfLines.back().push_back(number);
        const OwnRecipeProblem amount = ParseOwnAmount(row[kAmount], recipe.lines.back().amount);
        if (amount != OwnRecipeProblem::kNone) {
            error = {number, OwnProblemReason(recipe, AmountCheck(amount, recipe.lines.size() - 1))};
            return false;
        }
    }
    std::set<WideString> codes;
    for (std::size_t i = 0; i < read.size(); ++i) {
        OwnRecipeCheck check = CheckOwnRecipe(catalogue, read[i], {});
        // The same code again further down the table is another recipe with it.
        if (check.ok() && !codes.insert(FoldText(TrimSpaces(read[i].code))).second)
            check = {OwnRecipeProblem::kDuplicateCode, {}};
        if (!check.ok()) {
            error = {check.line ? rowsOfLines[i][*check.line] : firstRows[i], OwnProblemReason(read[i], check)};
            return false;
        }
    }
    recipes = std::move(read);
    return true;
}

JournalAppendResult ImportOwnRecipes(OwnRecipeStore& store, const std::vector<OwnRecipe>& recipes,
                                     const BatchTime& now) {
    // Matched to the recipes by code under the file's lock, so a code another bench
    // saved meanwhile gets a version of that recipe, never a second recipe.
    std::vector<OwnRecipeId> ids(recipes.size());
    return store.SaveAllByCode(ids, recipes, now);
}

}  // namespace lacqueron
