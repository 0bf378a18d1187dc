// What recipes and batches cost, worked out by hand: kopecks rounded once per line,
// millilitres by the recipe's densities, a mixed base as its parts, prices by the day.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Utf8.h"
#include "ledger/Costing.h"
#include "ledger/LedgerDay.h"
#include "tests/ledger/LedgerTestCatalogue.h"

namespace lacqueron {
namespace {

using test::LedgerCatalogue;
using test::kMonday;

PriceRecord Price(const char16_t* key, Kopecks perKilogram, std::optional<DayNumber> from = std::nullopt) {
    return {key, perKilogram, from, {}};
}

const std::vector<PriceRecord> kPrices = {
    Price(u"B4/OSN", 50000), Price(u"WHT", 123456),  Price(u"B6/LAK", 30000),
    Price(u"B6/MAT", 80000), Price(u"GRN", 200000),
};

struct MoneyCase {
    Hundredths grams;
    Kopecks perKilogram;
    Kopecks cost;
};

class CostOfGramsTest : public testing::TestWithParam<MoneyCase> {};

TEST_P(CostOfGramsTest, RoundsHalvesAwayFromZeroOnce) {
    EXPECT_EQ(CostOfGrams(GetParam().grams, GetParam().perKilogram), GetParam().cost);
}

INSTANTIATE_TEST_SUITE_P(Kopecks, CostOfGramsTest,
                         testing::Values(MoneyCase{1000, 50, 1},        // 10 g at 0.50 ₽/kg: half a kopeck up
                                         MoneyCase{999, 50, 0},         // just under half
                                         MoneyCase{-1000, 50, -1},      // a negative half away from zero
                                         MoneyCase{10476, 123456, 12933},  // 104.76 g at 1 234.56: 129.3325...
                                         MoneyCase{10000000000, kLargestPrice, 100000000000000}));  // 100 t

TEST(RoublesTest, WrittenWithGroupsAndReadWithCommaOrPoint) {
    EXPECT_EQ(FormatRoubles(123456), u"1 234.56");
    EXPECT_EQ(FormatRoubles(5), u"0.05");
    EXPECT_EQ(FormatRoubles(100000000), u"1 000 000.00");
    EXPECT_EQ(FormatRoubles(-123456), u"-1 234.56");
    const std::pair<const char16_t*, Kopecks> good[] = {
        {u"1 234,56", 123456}, {u"1234.56", 123456}, {u" 12,5 ", 1250}, {u"12", 1200}, {u"0,05", 5},
        {u"12,340", 1234},     {u"12.", 1200},       {u",5", 50}};
    for (const auto& [text, expected] : good) {
        Kopecks amount = -1;
        EXPECT_TRUE(ParseRoubles(text, amount)) << ToUtf8(text);
        EXPECT_EQ(amount, expected);
    }
    for (const char16_t* bad : {u"", u"12,345", u"-1", u",", u"1,2,3", u"12 ₽", u"10000000,01"}) {
        Kopecks amount = 7;
        EXPECT_FALSE(ParseRoubles(bad, amount));
        EXPECT_EQ(amount, 7);
    }
}

struct RecipeCase {
    const char* what;
    std::size_t recipe;
    std::uint32_t purpose;
    std::uint32_t unit;
    std::int32_t amount;
    std::vector<PriceRecord> prices;
    std::vector<std::pair<const char16_t*, Kopecks>> lines;  // key and cost
    const char16_t* text;
};

class CostOfRecipeTest : public testing::TestWithParam<RecipeCase> {};

TEST_P(CostOfRecipeTest, CostsEachPouredLineAtItsPrice) {
    const RecipeCase& c = GetParam();
    const Catalogue& catalogue = LedgerCatalogue();
    const Recipe recipe = ComputeRecipe(catalogue, catalogue.recipes[c.recipe], c.purpose, c.unit, c.amount);
    const Costing costing = CostOfRecipe(catalogue, recipe, PriceBook(c.prices, catalogue), kMonday);
    ASSERT_EQ(costing.lines.size(), c.lines.size());
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        EXPECT_EQ(costing.lines[i].key, c.lines[i].first);
        if (costing.lines[i].perKilogram) {
            EXPECT_EQ(costing.lines[i].cost, c.lines[i].second);
        }
    }
    EXPECT_EQ(CostLineText(costing, std::llround(recipe.total * kHundredthsPerGram)), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, CostOfRecipeTest,
    testing::Values(
        // 1000.00 g at 500.00 and 100.00 g at 1 234.56 (123.456 up); 623.46 / 1.1 kg = 566.78
        RecipeCase{"grams", 0, 4, kGrams, 1100, kPrices, {{u"B4/OSN", 50000}, {u"WHT", 12346}},
                   u"Стоимость: 623.46 ₽ (566.78 ₽ за кг краски)"},
        // 1100 ml: 100 ml of base (1 g/ml) and 5 ml of paste (2 g/ml) scale by 1100/105 into
        // 1047.62 g and 104.76 g: 523.81 + 129.33; 653.14 / 1.15238 kg = 566.77
        RecipeCase{"millilitres", 0, 4, kMillilitres, 1100, kPrices, {{u"B4/OSN", 52381}, {u"WHT", 12933}},
                   u"Стоимость: 653.14 ₽ (566.77 ₽ за кг краски)"},
        // Purpose 6: the mixed base's 900.90 g is 540.54 g of lacquer and 360.36 g of matting
        // paste; the paste is 10 × 1000/111 × 1.1 = 99.10 g. 162.16 + 288.29 + 198.20
        RecipeCase{"mixed base with a pigment factor", 1, 6, kGrams, 1000, kPrices,
                   {{u"B6/LAK", 16216}, {u"B6/MAT", 28829}, {u"GRN", 19820}},
                   u"Стоимость: 648.65 ₽ (648.65 ₽ за кг краски)"},
        RecipeCase{"a paste without a price", 1, 6, kGrams, 1000,
                   {Price(u"B6/LAK", 30000), Price(u"B6/MAT", 80000), Price(u"GRN", 200000, kMonday + 1)},
                   {{u"B6/LAK", 16216}, {u"B6/MAT", 28829}, {u"GRN", 0}}, u"Нет цены: Паста зелёная"}),
    [](const testing::TestParamInfo<RecipeCase>& info) { return "case" + std::to_string(info.index); });

BatchRecord BatchAt(std::int64_t utcSeconds, std::uint32_t purpose, std::vector<BatchComponent> components) {
    BatchRecord batch;
    batch.time = {utcSeconds, test::kMoscow};
    batch.purpose = purpose;
    batch.components = std::move(components);
    return batch;
}

TEST(CostOfBatchTest, PricesOfTheBatchsLocalDayAndTheOverPourApart) {
    // 1 000.00 ₽/kg until Monday, 1 500.00 from Tuesday.
    const PriceBook prices({Price(u"B4/OSN", 50000), Price(u"WHT", 150000, kMonday + 1), Price(u"WHT", 100000)},
                           LedgerCatalogue());
    const std::vector<BatchComponent> poured = {{u"Основа", 100000, 101050, u"OSN", false},
                                                {u"Паста белая", 10000, 10000, u"WHT", false},
                                                {u"Паста белая", 0, 200, u"WHT", true}};
    // Monday 23:30 in Moscow is still Monday.
    const BatchCosting monday = CostOfBatch(LedgerCatalogue(), BatchAt(test::kMondayUtc + 20 * 3600 + 1800, 4, poured), prices);
    // Monday 22:00 UTC is Tuesday 01:00 in Moscow.
    const BatchCosting tuesday = CostOfBatch(LedgerCatalogue(), BatchAt(test::kMondayUtc + 22 * 3600, 4, poured), prices);
    // 1010.50 g at 500.00 = 505.25; 100.00 g and 2.00 g of white.
    EXPECT_EQ(monday.poured.total, 50525 + 10000 + 200);
    EXPECT_EQ(tuesday.poured.total, 50525 + 15000 + 300);
    // Beyond the recipe: 10.50 g of base and the whole addition.
    EXPECT_EQ(monday.overPour, 525 + 200);
    EXPECT_EQ(tuesday.overPour, 525 + 300);
}

TEST(CostOfBatchTest, OldRecordsWithoutCodesAreMatchedByNameForTheirPurpose) {
    const PriceBook prices({Price(u"B6/LAK", 30000), Price(u"B6/MAT", 80000)}, LedgerCatalogue());
    const BatchCosting costing = CostOfBatch(
        LedgerCatalogue(),
        BatchAt(test::kMondayUtc, 6, {{u"Лак для пластика", 54054, 54054, {}, false},
                                      {u"Матирующая паста", 36036, 36100, {}, false},
                                      {u"Паста неизвестная", 1000, 1000, {}, false}}),
        prices);
    ASSERT_EQ(costing.poured.lines.size(), 3u);
    EXPECT_EQ(costing.poured.lines[0].key, u"B6/LAK");
    EXPECT_EQ(costing.poured.lines[1].key, u"B6/MAT");
    EXPECT_FALSE(costing.poured.total);
    EXPECT_EQ(costing.poured.missing, u"Паста неизвестная");
    // The unknown paste went in as the recipe said: the over-pour is priced all the same.
    EXPECT_EQ(costing.overPour, CostOfGrams(64, 80000));
}

TEST(LedgerComponentsTest, BasesByPurposeAndAMixedBaseOnlyAsItsParts) {
    std::vector<ComponentKey> keys;
    for (const LedgerComponent& component : LedgerComponents(LedgerCatalogue())) keys.push_back(component.key);
    EXPECT_EQ(keys, (std::vector<ComponentKey>{u"B4/OSN", u"B6/LAK", u"B6/MAT", u"WHT", u"GRN", u"RAZ"}));
}

TEST(PriceBookTest, TheLastWrittenOfOneStartWinsAndALaterPriceIsTold) {
    // Written in this order; the second bench's clock was an hour behind.
    const PriceBook prices({{u"WHT", 10000, kMonday, {test::kMondayUtc, 0}},
                            {u"WHT", 11000, kMonday, {test::kMondayUtc - 3600, 0}},
                            {u"WHT", 9000, std::nullopt, {}},
                            {u"WHT", 15000, kMonday + 10, {}},
                            {u"WHT", 16000, kMonday + 10, {}}},
                           LedgerCatalogue());
    EXPECT_EQ(prices.InForce(u"WHT", kMonday), (PriceStep{kMonday, 11000}));
    EXPECT_EQ(prices.Next(u"WHT", kMonday), (PriceStep{kMonday + 10, 16000}));
    EXPECT_EQ(prices.InForce(u"WHT", kMonday - 1), (PriceStep{std::nullopt, 9000}));
    EXPECT_EQ(prices.Next(u"WHT", kMonday + 10), std::nullopt);
    EXPECT_EQ(prices.PriceOn(u"WHT", kMonday + 11), 16000);
    EXPECT_EQ(prices.InForce(u"GRN", kMonday), std::nullopt);
}

TEST(LedgerDayTest, DatesBothWays) {
    EXPECT_EQ(DayOfDate(2026, 12, 7), kMonday);
    EXPECT_EQ(FormatDay(kMonday), u"07.12.2026");
    EXPECT_EQ(ParseDayText(u"29.02.2028"), DayOfDate(2028, 2, 29));
    EXPECT_EQ(ParseDayText(u"29.02.2027"), std::nullopt);
    EXPECT_EQ(ParseDayText(u"7.12.2026"), std::nullopt);
    EXPECT_EQ(LocalDay({test::kMondayUtc - 1, 0}), kMonday - 1);
}

}  // namespace
}  // namespace lacqueron
