// The recipe text, character for character, on small catalogues built here.
#include "formula/RecipeText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MadeUpCatalogue.h"

namespace lacqueron {
namespace {

using test::Base;
using test::kExampleItems;
using test::Other;
using test::Pigment;
using test::Recipe;
using test::WithFactor;
using test::WithFormula;

const WideString kIncorrect = u"!!! ФОРМУЛА НЕКОРРЕКТНА !!!";

// Each line followed by CR LF.
WideString Lines(const std::vector<const char16_t*>& lines) {
    WideString text;
    for (const char16_t* line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

// What an amount such as 1e400 reads as.
constexpr double kOverflowingAmount = std::numeric_limits<double>::infinity();

// The made-up catalogue of the worked example: B1 (purpose 4), pigments P1 and P2.
class RecipeTextTest : public testing::Test {
protected:
    RecipeTextTest() { test::AddExampleComponents(catalogue_); }

    void Add(MixComponent component) { catalogue_.components.Append(std::move(component)); }

    WideString Compute(const ColourRecipe& recipe, std::uint32_t purpose, std::uint32_t weightType,
                       std::int32_t targetWeight) const {
        return ComputeRecipeText(catalogue_, &recipe, purpose, weightType, targetWeight);
    }

    Catalogue catalogue_;
};

TEST_F(RecipeTextTest, NoRecipeGivesAnEmptyText) {
    EXPECT_EQ(ComputeRecipeText(catalogue_, nullptr, 4, 1, 500), u"");
}

TEST_F(RecipeTextTest, EveryPurposeHasItsText) {
    const char16_t* const texts[] = {
        u"для торпедного материала PVC (Vinolux) матовая",
        u"для натуральной и экокожи (Corvana Gloss) глянцевая",
        u"для натуральной и экокожи (Corvana Matt) матовая",
        u"для пластика (Polira Gloss) глянцевая",
        u"для пластика (Polira Matt) матовая - оттенок светл.RAL, станд.кол-во пасты",
        u"для пластика (Polira Matt) матовая - насыщенный оттенок, +10% пасты",
    };
    const ColourRecipe example = Recipe(kExampleItems);
    for (std::int32_t purpose = 1; purpose <= 6; ++purpose) {
        Add(Base(u"B1", purpose, u"", 1.0));
        const WideString text = Compute(example, static_cast<std::uint32_t>(purpose), 1, 100);
        EXPECT_EQ(text.substr(0, text.find(u"\r\n")), WideString(u"Краска RAL 1000 ") + texts[purpose - 1]);
    }
}

// The kind that lint reads instead of the text.
TEST_F(RecipeTextTest, ResultKinds) {
    Add(WithFormula(Base(u"B2", 4, u"Смесь", 1.0), {}));
    EXPECT_EQ(ComputeRecipe(catalogue_, Recipe(kExampleItems), 4, 1, 500).kind, RecipeKind::kCorrect);
    EXPECT_EQ(ComputeRecipe(catalogue_, Recipe({{u"P1", 3}}), 4, 1, 500).kind, RecipeKind::kIncorrectFormula);
    EXPECT_EQ(ComputeRecipe(catalogue_, Recipe({{u"B2", 3}, {u"P1", 1}}), 4, 1, 500).kind,
              RecipeKind::kIncorrectComponentFormula);
}

enum Expect { kWholeText, kSomeLines, kIncorrectText };

// Each case: the components added to the fixture's, the recipe, purpose, unit, amount and
// what the text must be.
struct TextCase {
    const char* name;
    std::vector<MixComponent> extra;
    std::vector<RecipeItem> items;
    std::uint32_t purpose;
    std::uint32_t weightType;
    std::int32_t targetWeight;
    Expect expect;
    std::vector<const char16_t*> lines = {};
};

class RecipeTextCases : public RecipeTextTest, public testing::WithParamInterface<TextCase> {};

TEST_P(RecipeTextCases, GiveTheExpectedText) {
    const TextCase& c = GetParam();
    for (const MixComponent& component : c.extra) Add(component);
    const WideString text = Compute(Recipe(c.items), c.purpose, c.weightType, c.targetWeight);
    switch (c.expect) {
    case kWholeText: EXPECT_EQ(text, Lines(c.lines)); break;
    case kIncorrectText: EXPECT_EQ(text, kIncorrect); break;
    case kSomeLines:
        for (const char16_t* line : c.lines) EXPECT_NE(text.find(Lines({line})), WideString::npos);
        break;
    }
}

std::string CaseName(const testing::TestParamInfo<TextCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Texts, RecipeTextCases,
    testing::Values(
        TextCase{"WorkedExampleInGrams", {}, kExampleItems, 4, 1, 500, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 500.00 грамм",
                     u"",
                     u"Основа: +480.77 грамм (=480.77 грамм)",
                     u"",
                     u"Yel: +14.42 грамм (=495.19 грамм)",
                     u"Red (N): +4.81 грамм (=500.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 500.00 грамм",
                 }},
        TextCase{"WorkedExampleInMillilitres", {}, kExampleItems, 4, 2, 400, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый объём: 400.00 миллилитров",
                     u"",
                     u"Основа: +484.85 грамм (=484.85 грамм)",
                     u"",
                     u"Yel: +14.55 грамм (=499.40 грамм)",
                     u"Red (N): +4.85 грамм (=504.25 грамм)",
                     u"",
                     u"Итого полный вес краски: 504.25 грамм",
                 }},
        TextCase{"WorkedExampleWithAFormulaBaseAndPigmentFactor",
                 {WithFormula(WithFactor(Base(u"B1", 6, u"", 1.25), 1.1), {{u"W1", 0.9}, {u"P1", 0.1}}),
                  Base(u"W1", 6, u"Wh", 1.0)},
                 kExampleItems, 6, 1, 500, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Matt) матовая - насыщенный оттенок, +10% пасты",
                     u"Требуемый вес: 500.00 грамм",
                     u"",
                     u"Основа: +478.93 грамм (=478.93 грамм) по формуле:",
                     u"---> Wh: +431.04 грамм (=431.04 грамм)",
                     u"---> Yel: +47.89 грамм (=478.93 грамм)",
                     u"",
                     u"Yel: +15.80 грамм (=494.73 грамм)",
                     u"Red (N): +5.27 грамм (=500.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 500.00 грамм",
                 }},
        // The same pigment makes millilitres incorrect (see IncorrectFormula).
        TextCase{"GramsNeverUseDensities", {Pigment(u"P0", u"Blu", u"", 0.0)}, {{u"B1", 99}, {u"P0", 1}}, 4, 1, 100, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 100.00 грамм",
                     u"",
                     u"Основа: +99.00 грамм (=99.00 грамм)",
                     u"",
                     u"Blu: +1.00 грамм (=100.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 100.00 грамм",
                 }},
        TextCase{"BaseOfItsOwnPurpose", {Base(u"B5", 5, u"Матовая", 1.0)}, {{u"B5", 4}, {u"P1", 1}}, 5, 1, 100, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Matt) матовая - оттенок светл.RAL, станд.кол-во пасты",
                     u"Требуемый вес: 100.00 грамм",
                     u"",
                     u"Матовая: +80.00 грамм (=80.00 грамм)",
                     u"",
                     u"Yel: +20.00 грамм (=100.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 100.00 грамм",
                 }},
        TextCase{"FormulaThatKeptNoTermWarnsAndGoesOn", {WithFormula(Base(u"B2", 4, u"Смесь", 1.0), {})},
                 {{u"B2", 3}, {u"P1", 1}}, 4, 1, 100, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 100.00 грамм",
                     u"",
                     u"Смесь: +75.00 грамм (=75.00 грамм) по формуле:",
                     u"---> !!! ФОРМУЛА КОМПОНЕНТА НЕКОРРЕКТНА !!!",
                     u"",
                     u"Yel: +25.00 грамм (=100.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 100.00 грамм",
                 }},
        // Terms that resolve to nothing print an empty name; the rest show names, default
        // names and notes; the running total of the parts starts from the total before the base.
        TextCase{"FormulaTermsResolveLikeRecipeLines",
                 {Other(u"H1", u"Растворитель"), Base(u"W5", 5, u"Белая", 1.0), Base(u"W4", 4, u"", 1.0),
                  Pigment(u"P3", u"", u"", 1.0), Base(u"B7", 4, u"Вторая", 1.0),
                  WithFormula(Base(u"B3", 4, u"Смесь", 1.0),
                              {{u"zz", 0.1}, {u"H1", 0.1}, {u"W5", 0.1}, {u"w4", 0.1}, {u"P2", 0.1}, {u"P3", 0.5}})},
                 {{u"B7", 10}, {u"B3", 100}, {u"P1", 0}}, 4, 1, 110, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 110.00 грамм",
                     u"",
                     u"Вторая: +10.00 грамм (=10.00 грамм)",
                     u"Смесь: +100.00 грамм (=110.00 грамм) по формуле:",
                     u"---> : +10.00 грамм (=20.00 грамм)",
                     u"---> : +10.00 грамм (=30.00 грамм)",
                     u"---> : +10.00 грамм (=40.00 грамм)",
                     u"---> Основа: +10.00 грамм (=50.00 грамм)",
                     u"---> Red (N): +10.00 грамм (=60.00 грамм)",
                     u"---> Пигмент: +50.00 грамм (=110.00 грамм)",
                     u"",
                     u"Yel: +0.00 грамм (=110.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 110.00 грамм",
                 }},
        // Total 2 * 15 + 80 = 110: the pigments get 20 and 10.
        TextCase{"LaterBaseFactorAppliesToAllPigments",
                 {WithFactor(Base(u"BA", 4, u"Первая", 1.0), 3.0), WithFactor(Base(u"BB", 4, u"Вторая", 1.0), 2.0)},
                 {{u"P1", 10}, {u"BA", 40}, {u"BB", 40}, {u"P2", 5}}, 4, 1, 110, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 110.00 грамм",
                     u"",
                     u"Первая: +40.00 грамм (=40.00 грамм)",
                     u"Вторая: +40.00 грамм (=80.00 грамм)",
                     u"",
                     u"Yel: +20.00 грамм (=100.00 грамм)",
                     u"Red (N): +10.00 грамм (=110.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 110.00 грамм",
                 }},
        // Volumes 5 and 5, the pigment counted twice: scale 15 / 15.
        TextCase{"FactorAlsoScalesMillilitres", {WithFactor(Base(u"BF", 4, u"", 2.0), 2.0)},
                 {{u"BF", 10}, {u"P2", 10}}, 4, 2, 15, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый объём: 15.00 миллилитров",
                     u"",
                     u"Основа: +10.00 грамм (=10.00 грамм)",
                     u"",
                     u"Red (N): +20.00 грамм (=30.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 30.00 грамм",
                 }},
        TextCase{"AmountZeroGivesZeroWeights", {}, kExampleItems, 4, 1, 0, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 0.00 грамм",
                     u"",
                     u"Основа: +0.00 грамм (=0.00 грамм)",
                     u"",
                     u"Yel: +0.00 грамм (=0.00 грамм)",
                     u"Red (N): +0.00 грамм (=0.00 грамм)",
                     u"",
                     u"Итого полный вес краски: 0.00 грамм",
                 }},
        TextCase{"NegativeAmountsRoundByTheNegativeRule", {}, kExampleItems, 4, 1, -500, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: -500.00 грамм",
                     u"",
                     u"Основа: -480.77 грамм (=-480.77 грамм)",
                     u"",
                     u"Yel: -14.42 грамм (=-495.19 грамм)",
                     u"Red (N): -4.81 грамм (=-500.00 грамм)",
                     u"",
                     u"Итого полный вес краски: -500.00 грамм",
                 }},
        // Weights -0.875 and -0.125 are halves: both go up, towards zero.
        TextCase{"NegativeHalvesGoTowardsZero", {}, {{u"B1", 7}, {u"P1", 1}}, 4, 1, -1, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: -1.00 грамм",
                     u"",
                     u"Основа: -0.87 грамм (=-0.87 грамм)",
                     u"",
                     u"Yel: -0.12 грамм (=-0.99 грамм)",
                     u"",
                     u"Итого полный вес краски: -0.99 грамм",
                 }},
        TextCase{"PrintedTotalIsTheSumOfRoundedLines", {}, {{u"B1", 1}, {u"P1", 1}, {u"P2", 1}}, 4, 1, 500, kWholeText,
                 {
                     u"Краска RAL 1000 для пластика (Polira Gloss) глянцевая",
                     u"Требуемый вес: 500.00 грамм",
                     u"",
                     u"Основа: +166.67 грамм (=166.67 грамм)",
                     u"",
                     u"Yel: +166.67 грамм (=333.34 грамм)",
                     u"Red (N): +166.67 грамм (=500.01 грамм)",
                     u"",
                     u"Итого полный вес краски: 500.01 грамм",
                 }},
        TextCase{"PositiveHalvesGoUp", {}, {{u"B1", 7}, {u"P1", 1}}, 4, 1, 1, kSomeLines,
                 {
                     u"Основа: +0.88 грамм (=0.88 грамм)",
                     u"Yel: +0.13 грамм (=1.01 грамм)",
                     u"Итого полный вес краски: 1.01 грамм",
                 }},
        TextCase{"NegativeLineAmountsInAPositiveTotal", {}, {{u"B1", 110}, {u"P1", -10}}, 4, 1, 100, kSomeLines,
                 {
                     u"Основа: +110.00 грамм (=110.00 грамм)",
                     u"Yel: -10.00 грамм (=100.00 грамм)",
                 }},
        // The three lines round down by .0038, .0046 and .0015 together: one hundredth short.
        TextCase{"LinesRoundedDownLeaveTheTotalAHundredthShort", {}, kExampleItems, 4, 1, 100000000, kSomeLines,
                 {
                     u"Требуемый вес: 100000000.00 грамм",
                     u"Основа: +96153846.15 грамм (=96153846.15 грамм)",
                     u"Red (N): +961538.46 грамм (=99999999.99 грамм)",
                     u"Итого полный вес краски: 99999999.99 грамм",
                 }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    IncorrectFormula, RecipeTextCases,
    testing::Values(
        TextCase{"PigmentsOnly", {}, {{u"P1", 3}, {u"P2", 1}}, 4, 1, 500, kIncorrectText},
        TextCase{"EmptyRecipe", {}, {}, 4, 1, 500, kIncorrectText},
        TextCase{"UnknownCode", {}, {{u"B1", 100}, {u"ZZ", 1}}, 4, 1, 500, kIncorrectText},
        TextCase{"OtherKindLine", {Other(u"H1", u"Thinner")}, {{u"B1", 100}, {u"H1", 1}}, 4, 1, 500, kIncorrectText},
        TextCase{"BaseOfAnotherPurpose", {}, kExampleItems, 5, 1, 500, kIncorrectText},
        TextCase{"PurposeZero", {Base(u"B1", 0, u"", 1.0)}, kExampleItems, 0, 1, 500, kIncorrectText},
        TextCase{"PurposeSeven", {Base(u"B1", 7, u"", 1.0)}, kExampleItems, 7, 1, 500, kIncorrectText},
        TextCase{"PurposeHuge", {}, kExampleItems, 0xFFFFFFFFu, 1, 500, kIncorrectText},
        TextCase{"UnitZero", {}, kExampleItems, 4, 0, 500, kIncorrectText},
        TextCase{"UnitThree", {}, kExampleItems, 4, 3, 500, kIncorrectText},
        TextCase{"MillilitresPigmentWithoutDensity", {Pigment(u"P0", u"Blu", u"", 0.0)},
                 {{u"B1", 100}, {u"P0", 1}}, 4, 2, 500, kIncorrectText},
        TextCase{"MillilitresNegativeDensity", {Pigment(u"P9", u"Blu", u"", -1.0)},
                 {{u"B1", 100}, {u"P9", 1}}, 4, 2, 500, kIncorrectText},
        TextCase{"MillilitresBaseWithoutDensity", {Base(u"B0", 4, u"", 0.0)}, {{u"B0", 100}}, 4, 2, 500, kIncorrectText},
        TextCase{"NegativeTotal", {}, {{u"B1", -100}, {u"P1", 3}}, 4, 1, 500, kIncorrectText},
        TextCase{"CancellingAmounts", {}, {{u"B1", 3}, {u"P1", -3}}, 4, 1, 500, kIncorrectText},
        TextCase{"InfiniteAmount", {}, {{u"B1", kOverflowingAmount}, {u"P1", 3}}, 4, 1, 500, kIncorrectText},
        TextCase{"BasesSummingPastTheLargestNumber", {}, {{u"B1", 1e308}, {u"B1", 1e308}}, 4, 1, 500, kIncorrectText},
        TextCase{"CancellingHugeAmountsOverflowAWeight", {}, {{u"B1", 1e308}, {u"B1", -1e308}, {u"P1", 1}}, 4, 1, 500,
                 kIncorrectText}),
    CaseName);

}  // namespace
}  // namespace lacqueron
