// Own recipes against the shipped catalogue: what the editor refuses and how it says so,
// amounts as typed, a poured batch saved as a recipe that pours the same grams again,
// and a catalogue recipe's lines printing the catalogue's text.
#include <gtest/gtest.h>

#include <functional>

#include "core/Utf8.h"
#include "formula/RecipeText.h"
#include "journal/BatchRecord.h"
#include "ownrecipes/OwnRecipe.h"
#include "pour/PourPlan.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

using Problem = OwnRecipeProblem;

OwnRecipe Beige() { return {u"К-0012", u"Бежевый заказчика", u"", 0x88BACD, {{u"OSN", 1000000}, {u"WHT", 119000}}, {}}; }

struct CheckCase {
    const char* name;
    std::function<void(OwnRecipe&)> change;
    std::vector<WideString> otherCodes;
    Problem problem;
    std::optional<std::size_t> line;
    const char16_t* message;
};

class OwnRecipeCheckTest : public testing::TestWithParam<CheckCase> {};

TEST_P(OwnRecipeCheckTest, FindsTheFirstProblemAndNamesIt) {
    OwnRecipe recipe = Beige();
    GetParam().change(recipe);
    const OwnRecipeCheck check = CheckOwnRecipe(test::ShippedCatalogue(), recipe, GetParam().otherCodes);
    EXPECT_EQ(check.problem, GetParam().problem);
    EXPECT_EQ(check.line, GetParam().line);
    EXPECT_EQ(DescribeProblem(recipe, check), GetParam().message);
}

void AddLine(OwnRecipe& r, const char16_t* component, Thousandths amount) { r.lines.push_back({component, amount}); }

const CheckCase kCheckCases[] = {
    {"Good", [](OwnRecipe&) {}, {u"К-0013"}, Problem::kNone, {}, u""},
    {"EmptyCode", [](OwnRecipe& r) { r.code = u"  "; }, {}, Problem::kEmptyCode, {}, u"Не указан код рецепта."},
    {"CodeTooLong", [](OwnRecipe& r) { r.code = WideString(33, u'Ж'); }, {}, Problem::kCodeTooLong, {},
     u"Код длиннее 32 знаков."},
    {"CatalogueTitleInOtherCase", [](OwnRecipe& r) { r.code = u"ral 1000"; }, {}, Problem::kCodeClashesWithCatalogue, {},
     u"Код «ral 1000» уже есть в каталоге, выберите другой код."},
    {"OtherOwnCodeInOtherCase", [](OwnRecipe&) {}, {u"к-0012"}, Problem::kDuplicateCode, {},
     u"Рецепт с кодом «К-0012» уже есть."},
    {"EmptyName", [](OwnRecipe& r) { r.name.clear(); }, {}, Problem::kEmptyName, {}, u"Не указано название рецепта."},
    {"NoLines", [](OwnRecipe& r) { r.lines.clear(); }, {}, Problem::kNoLines, {}, u"В рецепте нет ни одной строки."},
    {"NoBase", [](OwnRecipe& r) { r.lines.erase(r.lines.begin()); }, {}, Problem::kNoBase, {}, u"В рецепте нет основы."},
    {"UnknownComponent", [](OwnRecipe& r) { AddLine(r, u"XYZ", 1); }, {}, Problem::kUnknownComponent, 2,
     u"Строка 3: неизвестный компонент «XYZ»."},
    {"ThinnerIsNoRecipeLine", [](OwnRecipe& r) { r.lines[1].component = u"RAZ"; }, {}, Problem::kUnknownComponent, 1,
     u"Строка 2: неизвестный компонент «RAZ»."},
    {"DuplicateComponent", [](OwnRecipe& r) { AddLine(r, u"WHT", 1); }, {}, Problem::kDuplicateComponent, 2,
     u"Строка 3: компонент «WHT» уже есть в рецепте."},
    {"NegativeAmount", [](OwnRecipe& r) { r.lines[1].amount = -1; }, {}, Problem::kNegativeAmount, 1,
     u"Строка 2: отрицательное количество компонента «WHT»."},
    {"AmountTooLarge", [](OwnRecipe& r) { r.lines[0].amount = kLargestOwnAmount + 1; }, {}, Problem::kAmountTooLarge, 0,
     u"Строка 1: слишком большое количество компонента «OSN»."},
};

INSTANTIATE_TEST_SUITE_P(Cases, OwnRecipeCheckTest, testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct AmountCase {
    const char16_t* text;
    Problem problem;
    Thousandths amount;
};

TEST(OwnAmount, ReadsWhatIsTypedAndWritesItBack) {
    const AmountCase cases[] = {
        {u"12,345", Problem::kNone, 12345},  {u"12.5", Problem::kNone, 12500},
        {u" 7 ", Problem::kNone, 7000},      {u"1,2340", Problem::kNone, 1234},
        {u"0,001", Problem::kNone, 1},       {u"", Problem::kEmptyAmount, 0},
        {u"-1", Problem::kNegativeAmount, 0}, {u"1,2345", Problem::kTooManyDecimals, 0},
        {u"abc", Problem::kNotANumber, 0},   {u"1,2,3", Problem::kNotANumber, 0},
        {u",", Problem::kNotANumber, 0},     {u"2000000", Problem::kAmountTooLarge, 0},
    };
    for (const AmountCase& c : cases) {
        Thousandths amount = 0;
        EXPECT_EQ(ParseOwnAmount(c.text, amount), c.problem) << ToUtf8(c.text);
        EXPECT_EQ(amount, c.amount) << ToUtf8(c.text);
    }
    // The editor writes a point, as every window does; the CSV a comma.
    EXPECT_EQ(FormatOwnAmount(12345), u"12.345");
    EXPECT_EQ(FormatOwnAmount(12345, kSpreadsheetDecimalMark), u"12,345");
    EXPECT_EQ(FormatOwnAmount(12000), u"12");
    EXPECT_EQ(FormatOwnAmount(500), u"0.5");
    EXPECT_EQ(FormatOwnAmount(-500), u"-0.5");
    EXPECT_EQ(FormatOwnAmount(1), u"0.001");
    EXPECT_EQ(FormatOwnAmount(0), u"0");
}

// A batch poured exactly as the plan asked, components by name as records before codes had them.
BatchRecord PouredExactly(const ColourRecipe& recipe, std::uint32_t purpose, std::uint32_t unit, std::int32_t amount) {
    const PourPlan plan = BuildPourPlan(test::ShippedCatalogue(), recipe, purpose, unit, amount, kDefaultResolution);
    BatchRecord batch;
    batch.colourCode = recipe.title;
    batch.purpose = purpose;
    batch.weightType = unit;
    batch.amount = amount;
    for (const PourComponent& component : plan.components)
        batch.components.push_back({component.name, component.recipeWeight, component.recipeWeight, {}, false});
    return batch;
}

struct RoundTripCase {
    std::size_t row;
    std::uint32_t purpose;
    std::uint32_t unit;
    std::int32_t amount;
};

class OwnRecipeRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(OwnRecipeRoundTrip, TheSavedRecipePoursTheSameGrams) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const RoundTripCase& c = GetParam();
    const BatchRecord batch = PouredExactly(catalogue.recipes[c.row], c.purpose, c.unit, c.amount);
    OwnRecipe saved;
    WideString error;
    ASSERT_TRUE(OwnRecipeOfBatch(catalogue, batch, saved, error)) << ToUtf8(error);
    EXPECT_EQ(saved.lines.front(), (OwnRecipeLine{u"OSN", 1000 * kThousandthsPerGram}));
    EXPECT_TRUE(CheckOwnRecipe(catalogue, {u"К-1", u"к", u"", 0, saved.lines, {}}, {}).ok());

    const ColourRecipe again = ToColourRecipe(saved, 0);
    const PourPlan plan = BuildPourPlan(catalogue, again, c.purpose, c.unit, c.amount, kDefaultResolution);
    ASSERT_EQ(plan.components.size(), batch.components.size());
    for (std::size_t i = 0; i < plan.components.size(); ++i)
        EXPECT_EQ(plan.components[i].recipeWeight, batch.components[i].poured) << ToUtf8(plan.components[i].name);
}

INSTANTIATE_TEST_SUITE_P(Cases, OwnRecipeRoundTrip,
                         testing::Values(RoundTripCase{0, 4, kGrams, 500}, RoundTripCase{7, 6, kMillilitres, 750},
                                         RoundTripCase{50, 6, kGrams, 1000}, RoundTripCase{100, 5, kGrams, 137},
                                         RoundTripCase{3, 1, kMillilitres, 60}, RoundTripCase{150, 2, kGrams, 2500},
                                         RoundTripCase{199, 6, kMillilitres, 35}, RoundTripCase{12, 3, kGrams, 12345}));

// Tinting additions join their paste's line; a mixed base's parts are the base; its
// pigment factor is divided out; components are found by code, or by name when none.
TEST(OwnRecipeOfBatch, SumsAdditionsAndDividesOutThePigmentFactor) {
    BatchRecord batch;
    batch.purpose = kPurposePlasticMattSaturated;  // 60 LAK and 40 MAT, pigment factor 1.1
    batch.amount = 1000;
    batch.colourCode = u"RAL 3020";
    batch.components = {{u"", 60000, 60000, u"LAK", false},
                        {u"", 40000, 40000, u"MAT", false},
                        {u"Паста красная (органическая)", 1100, 1100, u"", false},
                        {u"", 0, 220, u"RED", true},
                        {u"", 0, 55, u"BLK", true}};
    OwnRecipe saved;
    WideString error;
    ASSERT_TRUE(OwnRecipeOfBatch(test::ShippedCatalogue(), batch, saved, error));
    EXPECT_EQ(saved.lines, (std::vector<OwnRecipeLine>{{u"OSN", 1000000}, {u"RED", 12000}, {u"BLK", 500}}));
    EXPECT_EQ(saved.code, u"RAL 3020");

    batch.components.push_back({u"Паста небесная", 0, 10, u"", true});
    EXPECT_FALSE(OwnRecipeOfBatch(test::ShippedCatalogue(), batch, saved, error));
    EXPECT_EQ(error, u"Компонент «Паста небесная» не найден в каталоге.");
    batch.components = {{u"", 0, 55, u"BLK", true}};
    EXPECT_FALSE(OwnRecipeOfBatch(test::ShippedCatalogue(), batch, saved, error));
    EXPECT_EQ(error, u"В замесе не налита основа.");
}

// The saved recipe keeps the batch's target: the last round's, or the matched colour's
// (spectrum and all) when the rounds were against it, or the matched one with no round.
struct BatchTargetCase {
    const char* what;
    std::vector<BatchLab> rounds;
    std::optional<OwnTarget> matched;
    std::optional<OwnTarget> kept;
};

const OwnTarget kMeasuredOlive{52.3, -4.1, 18, std::vector<double>(kOwnTargetBands, 0.25), u"замер"};

class OwnRecipeOfBatchTarget : public testing::TestWithParam<BatchTargetCase> {};

TEST_P(OwnRecipeOfBatchTarget, KeepsTheBatchsTarget) {
    const BatchTargetCase& c = GetParam();
    BatchRecord batch;
    batch.purpose = kPurposePlasticMattSaturated;
    batch.amount = 1000;
    batch.components = {{u"", 60000, 60000, u"LAK", false}, {u"", 40000, 40000, u"MAT", false}};
    for (const BatchLab& target : c.rounds) batch.measureRounds.push_back({target, {}, 0, 0, {}, {}});
    OwnRecipe saved;
    WideString error;
    ASSERT_TRUE(OwnRecipeOfBatch(test::ShippedCatalogue(), batch, saved, error, c.matched ? &*c.matched : nullptr))
        << ToUtf8(error);
    EXPECT_EQ(saved.target, c.kept) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OwnRecipeOfBatchTarget,
    testing::Values(BatchTargetCase{"neither", {}, std::nullopt, std::nullopt},
                    BatchTargetCase{"matched, no round", {}, kMeasuredOlive, kMeasuredOlive},
                    BatchTargetCase{"a typed round", {{4500, 5000, 4500}}, std::nullopt,
                                    OwnTarget{45, 50, 45, {}, u"поправка по замеру"}},
                    BatchTargetCase{"rounds against the matched colour",
                                    {{4000, 0, 0}, {5230, -410, 1800}},
                                    kMeasuredOlive,
                                    OwnTarget{52.3, -4.1, 18, kMeasuredOlive.reflectance, u"замер, поправка по замеру"}},
                    BatchTargetCase{"the last round against another colour",
                                    {{5230, -410, 1800}, {5231, -410, 1800}},
                                    kMeasuredOlive,
                                    OwnTarget{52.31, -4.1, 18, {}, u"поправка по замеру"}}));

struct AbandonedCase {
    const char* what;
    BatchStatus status;
    std::vector<BatchComponent> components;
    WideString question;
};

class AbandonedBatchTest : public testing::TestWithParam<AbandonedCase> {};

TEST_P(AbandonedBatchTest, NamesWhatWasNeverPoured) {
    BatchRecord batch;
    batch.status = GetParam().status;
    batch.components = GetParam().components;
    EXPECT_EQ(AbandonedBatchQuestion(batch), GetParam().question);
}

constexpr char16_t kAskSave[] = u"\r\n\r\nСохранить как рецепт то, что налито?";

INSTANTIATE_TEST_SUITE_P(
    SaveAsRecipe, AbandonedBatchTest,
    testing::Values(
        AbandonedCase{"finished: nothing to ask", BatchStatus::Done,
                      {{u"Основа", 40000, 40000, u"OSN"}, {u"Паста белая", 1000, 0, u"WHT"}}, u""},
        // The base topped up after a correction counts once; black was added and poured.
        AbandonedCase{"abandoned before two pastes", BatchStatus::Abandoned,
                      {{u"Основа", 40000, 40000, u"OSN"}, {u"Паста белая", 1000, 300, u"WHT"},
                       {u"Паста жёлтая", 500, 0, u"YEL"}, {u"Паста чёрная", 0, 20, u"BLK", true},
                       {u"Паста красная", 200, 0, u"RED"}, {u"Основа", 100, 0, u"OSN"}},
                      WideString(u"Замес прерван, не налиты: Паста жёлтая, Паста красная. В рецепте их не будет.") +
                          kAskSave},
        AbandonedCase{"abandoned with everything poured", BatchStatus::Abandoned,
                      {{u"Основа", 40000, 40000, u"OSN"}}, WideString(u"Замес прерван.") + kAskSave}),
    [](const testing::TestParamInfo<AbandonedCase>& info) { return "case" + std::to_string(info.index); });

// The same lines as a catalogue recipe print the same text; only the heading's title differs.
TEST(OwnRecipeText, ACatalogueRecipesLinesPrintItsTextApartFromTheHeading) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    for (const std::size_t row : {0u, 7u, 120u}) {
        const ColourRecipe& original = catalogue.recipes[row];
        OwnRecipe own = CopyOfCatalogueRecipe(original, catalogue.findColour(original.number));
        own.code = u"К-0012";
        const ColourRecipe ownColour = ToColourRecipe(own, 0);
        EXPECT_EQ(ownColour.title, u"К-0012 " + own.name);
        for (std::uint32_t purpose = kFirstPurpose; purpose <= kLastPurpose; ++purpose) {
            for (const std::uint32_t unit : {kGrams, kMillilitres}) {
                const WideString expected = ComputeRecipeText(catalogue, &original, purpose, unit, 750);
                const WideString text = ComputeRecipeText(catalogue, &ownColour, purpose, unit, 750);
                const std::size_t headingEnd = expected.find(u"\r\n");
                ASSERT_NE(headingEnd, WideString::npos);
                EXPECT_EQ(text.substr(text.find(u"\r\n")), expected.substr(headingEnd));
                EXPECT_TRUE(text.starts_with(u"Краска К-0012 " + own.name + u" "));
            }
        }
    }
}

}  // namespace
}  // namespace lacqueron
