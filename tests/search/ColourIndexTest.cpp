// Finding a paint by typed text on a small catalogue: number prefixes, name pieces in
// any case with ё read as е, the code with its number, the search from the current row round the end,
// texts that find nothing, the start of a code that waits for its number, and a batch's colour by its code;
// the shop's own recipes after the catalogue by their code, name or note.
#include "search/ColourIndex.h"

#include <gtest/gtest.h>

#include <tuple>

namespace lacqueron {
namespace {

struct Paint {
    std::int32_t number;
    const char16_t* name;            // null: the package has no colour for the recipe
    const char16_t* code = nullptr;  // the colour's code when it is not the recipe's title
};

// Rows 0 to 6 of the list, in this order.
constexpr Paint kPaints[] = {
    {1000, u"Зелёно-бежевый"}, {3000, u"Огненно-красный"}, {3020, u"Транспортный красный"},
    {5005, u"Сигнальный синий"}, {9999, nullptr},           {1003, u"Сигнальный жёлтый"},
    {7045, u"Telegrey 1", u"7045"},
};

const Catalogue& TestCatalogue() {
    static const Catalogue catalogue = [] {
        Catalogue c;
        for (const Paint& paint : kPaints) {
            const std::string digits = std::to_string(paint.number);
            ColourRecipe recipe;
            recipe.number = paint.number;
            recipe.title = u"RAL " + WideString(digits.begin(), digits.end());
            if (paint.name) c.colours.Append({paint.number, 0, paint.code ? paint.code : recipe.title, paint.name});
            c.recipes.Append(std::move(recipe));
        }
        return c;
    }();
    return catalogue;
}

struct FindCase {
    WideString typed;
    std::size_t from;
    std::size_t found;
    bool startsCode = false;  // a list finding nothing waits quietly for the number
};

void PrintTo(const FindCase& c, std::ostream* out) { *out << c.typed.size() << " characters from row " << c.from; }

class FindFromTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindFromTest, FindsTheFirstMatchFromTheRowRoundTheEnd) {
    const ColourIndex index(TestCatalogue());
    const FindCase& c = GetParam();
    EXPECT_EQ(index.FindFrom(MakeColourQuery(c.typed), c.from), c.found);
    EXPECT_EQ(StartsColourCode(c.typed), c.startsCode);
}

INSTANTIATE_TEST_SUITE_P(Texts, FindFromTest, ::testing::Values(
    FindCase{u"30", 0, 1}, FindCase{u"3020", 0, 2}, FindCase{u"30", 2, 2}, FindCase{u"30", 3, 1},
    FindCase{u"1", 1, 5}, FindCase{u"9999", 0, 4}, FindCase{u" 3020 ", 0, 2}, FindCase{u"30", 99, 1},
    FindCase{u"сигн", 0, 3}, FindCase{u"СИГН", 4, 5}, FindCase{u"сигнальный синий", 0, 3},
    FindCase{u"ЖЕЛТ", 0, 5}, FindCase{u"зелено", 3, 0}, FindCase{u"ЗЕЛЁНО", 0, 0}, FindCase{u"ral 30", 2, 2}, FindCase{u"RAL3020", 0, 2}, FindCase{u"ral", 0, kNoRow, true},
    FindCase{u"R", 0, 6, true}, FindCase{u"RA", 0, kNoRow, true}, FindCase{u"RAL ", 0, kNoRow, true},
    FindCase{u"RAL 3020", 0, 2}, FindCase{u"рал 30", 2, 2}, FindCase{u"РАЛ3020", 0, 2},
    FindCase{u"РА", 0, 1, true}, FindCase{u"Рал  ", 0, kNoRow, true}, FindCase{u"RA ", 0, kNoRow},
    FindCase{u"RALL", 0, kNoRow}, FindCase{u"RАL", 0, kNoRow},
    FindCase{u"TELE", 0, 6}, FindCase{u"красный", 2, 2},
    FindCase{u"", 0, kNoRow}, FindCase{u"   ", 0, kNoRow}, FindCase{u"4", 0, kNoRow}, FindCase{u"0", 0, kNoRow},
    FindCase{u"30x", 0, kNoRow}, FindCase{u"-30", 0, kNoRow}, FindCase{u"ёлка", 0, kNoRow},
    FindCase{WideString(10000, u'щ'), 0, kNoRow}, FindCase{WideString(10000, u'3'), 0, kNoRow},
    FindCase{WideString(10000, u'\0'), 0, kNoRow}));

TEST(ColourIndexTest, FindsABatchsColourByItsCodeElseByTheTitle) {
    const ColourIndex index(TestCatalogue());
    EXPECT_EQ(index.RowOfColourCode(u"RAL 3020"), 2u);
    EXPECT_EQ(index.RowOfColourCode(u"7045"), 6u);      // a code that is not the title
    EXPECT_EQ(index.RowOfColourCode(u"RAL 7045"), 6u);  // the title, the colour's code being another
    EXPECT_EQ(index.RowOfColourCode(u"RAL 9999"), 4u);  // a recipe without a colour
    EXPECT_EQ(index.RowOfColourCode(u"3020"), kNoRow);
    EXPECT_EQ(index.RowOfColourCode(u""), kNoRow);
}

// Two own recipes after the catalogue: rows 7 and 8.
const std::vector<OwnColourRow>& OwnRows() {
    static const std::vector<OwnColourRow> rows = [] {
        const char16_t* fields[][3] = {{u"К-0012", u"Фургон заказчика", u"Иванов, Газель"},
                                       {u"Ford 7VTA", u"Синий металлик", u""}};
        std::vector<OwnColourRow> own;
        for (const auto& [code, name, note] : fields) {
            const std::int32_t number = OwnRowNumber(own.size());
            own.push_back({{number, WideString(code) + u" " + name, {}}, {number, 0, code, name}, note, std::nullopt});
        }
        return own;
    }();
    return rows;
}

class OwnRowsFound : public ::testing::TestWithParam<FindCase> {};

TEST_P(OwnRowsFound, ByAPieceOfCodeNameOrNoteAfterTheCatalogue) {
    const ColourIndex index(TestCatalogue(), OwnRows());
    ASSERT_EQ(index.size(), 9u);
    const FindCase& c = GetParam();
    EXPECT_EQ(index.FindFrom(MakeColourQuery(c.typed), c.from), c.found);
}

INSTANTIATE_TEST_SUITE_P(Texts, OwnRowsFound, ::testing::Values(
    FindCase{u"к-00", 0, 7}, FindCase{u"0012", 0, 7}, FindCase{u"7vta", 0, 8}, FindCase{u"FORD", 0, 8},
    FindCase{u"7", 0, 6}, FindCase{u"7", 7, 8}, FindCase{u"металл", 0, 8}, FindCase{u"газель", 0, 7},
    FindCase{u"ИВАНОВ", 8, 7}, FindCase{u"синий", 0, 3}, FindCase{u"синий", 4, 8}, FindCase{u"сигн", 6, 3},
    FindCase{u"RAL 3020", 3, 2}, FindCase{u"заказчика иванов", 0, kNoRow}, FindCase{u"0013", 0, kNoRow}));

TEST(ColourIndexTest, FindsOwnRowsByCodeTitleAndNumber) {
    const ColourIndex index(TestCatalogue(), OwnRows());
    EXPECT_EQ(index.RowOfColourCode(u"К-0012"), 7u);
    EXPECT_EQ(index.RowOfColourCode(u"Ford 7VTA"), 8u);
    EXPECT_EQ(index.RowOfTitle(u"Ford 7VTA Синий металлик"), 8u);
    EXPECT_EQ(index.Colour(8), &OwnRows()[1].colour);
    EXPECT_EQ(FindDialogRows(index, u"", {u"К-0012 Фургон заказчика"}),
              (std::vector<std::size_t>{7, 0, 1, 2, 3, 4, 5, 6, 8}));
    EXPECT_EQ(OwnRowOfNumber(OwnRowNumber(0)), 0u);
    EXPECT_EQ(OwnRowOfNumber(OwnRowNumber(10215)), 10215u);
    EXPECT_EQ(OwnRowOfNumber(0), kNoRow);
    EXPECT_EQ(OwnRowOfNumber(3020), kNoRow);
}

TEST(FindDialogRowsTest, BlankTextListsRecentPaintsStillPresentFirstThenTheRest) {
    const ColourIndex index(TestCatalogue());
    const std::vector<WideString> recent = {u"RAL 5005", u"RAL 0000", u"RAL 1000", u"RAL 5005"};
    EXPECT_EQ(FindDialogRows(index, u" ", recent), (std::vector<std::size_t>{3, 0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(FindDialogRows(index, u"красн", recent), (std::vector<std::size_t>{1, 2}));
}

// White, black and red in the catalogue (rows 0-2); an own recipe shown white but matched
// to an olive (row 3), and a black one with no target (row 4).
const Catalogue& ColouredCatalogue() {
    static const Catalogue catalogue = [] {
        Catalogue c;
        const std::tuple<std::int32_t, std::uint32_t, const char16_t*> colours[] = {
            {9010, 0xFFFFFF, u"RAL 9010"}, {9005, 0x000000, u"RAL 9005"}, {3020, 0x0000FF, u"RAL 3020"}};
        for (const auto& [number, rgb, code] : colours) {
            c.colours.Append({number, rgb, code, code});
            ColourRecipe recipe;
            recipe.number = number;
            recipe.title = code;
            c.recipes.Append(std::move(recipe));
        }
        return c;
    }();
    return catalogue;
}

const std::vector<OwnColourRow>& ColouredOwnRows() {
    static const std::vector<OwnColourRow> rows = {
        {{OwnRowNumber(0), u"К-7", {}}, {OwnRowNumber(0), 0xFFFFFF, u"К-7", u"Олива"}, u"", colour::Lab{52.3, -4.1, 18}},
        {{OwnRowNumber(1), u"К-8", {}}, {OwnRowNumber(1), 0x000000, u"К-8", u"Чёрный"}, u"", std::nullopt},
    };
    return rows;
}

struct ByColourCase {
    const char* name;
    WideString typed;
    std::vector<std::size_t> first;  // the rows listed first, in order
    std::size_t listed;
};

class FindDialogByColour : public ::testing::TestWithParam<ByColourCase> {};

TEST_P(FindDialogByColour, ThreeNumbersListTheNearestColoursOwnByTheirTarget) {
    const ColourIndex index(ColouredCatalogue(), ColouredOwnRows());
    const ByColourCase& c = GetParam();
    const std::vector<std::size_t> rows = FindDialogRows(index, c.typed, {});
    ASSERT_EQ(rows.size(), c.listed);
    EXPECT_EQ(std::vector<std::size_t>(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(c.first.size())),
              c.first);
}

INSTANTIATE_TEST_SUITE_P(Texts, FindDialogByColour, ::testing::Values(
    ByColourCase{"OliveFindsTheOwnRecipeMatchedToIt", u"52,3 -4,1 18", {3}, 5},
    ByColourCase{"WithPointsAndCommas", u"52.3, -4.1, 18", {3}, 5},
    ByColourCase{"WhiteFindsTheCatalogueWhite", u"100 0 0", {0}, 5},
    ByColourCase{"BlackCatalogueFirstOnATie", u"0 0 0", {1, 4}, 5},
    ByColourCase{"TwoNumbersAreText", u"52,3 -4,1", {}, 0},
    ByColourCase{"LightnessBeyond100IsText", u"120 0 0", {}, 0},
    ByColourCase{"ACodeIsStillACode", u"9010", {0}, 1},
    ByColourCase{"ANameIsStillAName", u"олива", {3}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
