// The target of each kind and each bad input, the words for ΔE00, the pastes a purpose
// may use, and own colours found by the colour they were matched to.
#include <gtest/gtest.h>

#include <string>

#include "colour/ShippedOptics.h"
#include "core/Utf8.h"
#include "matching/ColourMatch.h"
#include "tests/colour/SampleMeasurement.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

using colour::TargetProblem;

std::string Spectral(bool withSpectrum) { return test::SampleMeasurement("Деталь", "35,5", withSpectrum); }

struct TargetCase {
    const char* name;
    TargetInput input;
    TargetProblem problem;
    bool approximate;
    bool spectral;
};

class MatchTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(MatchTargetTest, ReadsEachKindAndNamesEachBadInput) {
    const TargetCase& c = GetParam();
    const MatchTarget read = ReadMatchTarget(test::ShippedCatalogue(), c.input);
    EXPECT_EQ(read.problem, c.problem);
    if (!read.ok()) {
        EXPECT_FALSE(colour::DescribeTargetProblem(read.problem, c.input.text).empty());
        return;
    }
    EXPECT_EQ(read.approximate, c.approximate);
    EXPECT_EQ(read.target.spectral, c.spectral);
    EXPECT_GT(read.target.labs[0].l, 0);
}

const TargetCase kTargetCases[] = {
    {"RalClassicNumber", {TargetKind::kRalClassic, "3020", {}, 0}, TargetProblem::kNone, true, false},
    {"RalClassicWithPrefixAnyCase", {TargetKind::kRalClassic, " ral 3020 ", {}, 0}, TargetProblem::kNone, true, false},
    {"RalClassicNotInTheCollection", {TargetKind::kRalClassic, "9999", {}, 0}, TargetProblem::kUnknownCode, false,
     false},
    {"RalClassicEmpty", {TargetKind::kRalClassic, "", {}, 0}, TargetProblem::kEmpty, false, false},
    {"RalDesign", {TargetKind::kRalDesign, "RAL 240 40 30", {}, 0}, TargetProblem::kNone, false, false},
    {"RalDesignHueOver360", {TargetKind::kRalDesign, "400 40 30", {}, 0}, TargetProblem::kHueOutside, false, false},
    {"Lab", {TargetKind::kLab, "52,3 -4,1 18", {}, 0}, TargetProblem::kNone, false, false},
    {"LabLightnessOver100", {TargetKind::kLab, "120 0 0", {}, 0}, TargetProblem::kLightnessOutside, false, false},
    {"LabNotNumbers", {TargetKind::kLab, "синий", {}, 0}, TargetProblem::kNotThreeNumbers, false, false},
    {"Measurement", {TargetKind::kMeasurement, Spectral(true), "Деталь", 0}, TargetProblem::kNone, false, true},
    {"MeasurementWithoutSpectrum", {TargetKind::kMeasurement, Spectral(false), {}, 0}, TargetProblem::kNoSpectrum,
     false, false},
    {"MeasurementNoSuchSample", {TargetKind::kMeasurement, Spectral(true), "7", 0}, TargetProblem::kNoSample, false,
     false},
    {"ScreenColour", {TargetKind::kScreen, {}, {}, 0x3366CC}, TargetProblem::kNone, true, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, MatchTargetTest, testing::ValuesIn(kTargetCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct WordCase {
    double deltaE;
    const char16_t* word;
};

class DeltaEWordTest : public testing::TestWithParam<WordCase> {};

TEST_P(DeltaEWordTest, SaysHowTheEyeSeesIt) { EXPECT_EQ(DeltaEWord(GetParam().deltaE), GetParam().word); }

INSTANTIATE_TEST_SUITE_P(Cases, DeltaEWordTest,
                         testing::Values(WordCase{0, u"отлично"}, WordCase{1.0, u"отлично"}, WordCase{1.01, u"хорошо"},
                                         WordCase{2.0, u"хорошо"}, WordCase{2.5, u"заметно"},
                                         WordCase{4.01, u"сильно отличается"}));

colour::OpticsTable ShippedOptics() {
    colour::OpticsTable table;
    colour::OpticsError error;
    EXPECT_TRUE(colour::ReadOptics(colour::ShippedOpticsText(), table, error)) << error.reason;
    return table;
}

TEST(ColourMatch, PastesInStockAndPricesAreTheOnesTheShopKeeps) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const colour::OpticsTable table = ShippedOptics();
    const std::vector<int> all = PackagePastes(catalogue, table);
    ASSERT_GE(all.size(), 2u);
    const std::string kept = table.pastes[all[1]].code;
    const std::vector<int> inStock =
        PackagePastes(catalogue, table, [&](const MixComponent& paste) { return ToUtf8(paste.code) == kept; });
    EXPECT_EQ(inStock, std::vector<int>{all[1]});

    EXPECT_TRUE(PastePricesPerGram(catalogue, table, [](const MixComponent&) { return std::nullopt; }).empty());
    const std::vector<double> prices = PastePricesPerGram(catalogue, table, [&](const MixComponent& paste) {
        return ToUtf8(paste.code) == kept ? std::optional<std::int64_t>(250000) : std::nullopt;
    });
    ASSERT_EQ(prices.size(), table.pastes.size());
    EXPECT_DOUBLE_EQ(prices[all[1]], 250.0);  // kopecks per gram
    EXPECT_LT(prices[all[0]], 0);
    EXPECT_TRUE(MatchPigmentFactor(catalogue, 1).has_value());
    EXPECT_FALSE(MatchPigmentFactor(catalogue, 99).has_value());
}

TEST(ColourMatch, AnOwnRecipeIsFoundByTheColourItWasMatchedTo) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const colour::Lab target{52.3, -4.1, 18};
    OwnRecipeCurrent matched;
    matched.recipe = {u"К-7", u"Олива заказчика", u"", 0xFFFFFF, {{u"OSN", 1000000}}, {}};
    OwnRecipeCurrent plain = matched;
    plain.recipe.code = u"К-8";
    matched.recipe.target = OwnTarget{52.3, -4.1, 18, {}, u"подбор"};  // its screen colour says white
    const std::vector<OwnRecipeCurrent> own{plain, matched};
    const std::vector<SimilarColour> near = SimilarColours(catalogue, own, target, 3);
    ASSERT_EQ(near.size(), 3u);
    EXPECT_TRUE(near[0].own);
    EXPECT_EQ(near[0].code, u"К-7");
    EXPECT_DOUBLE_EQ(near[0].deltaE, 0);
    EXPECT_FALSE(near[1].own);
    EXPECT_LE(near[1].deltaE, near[2].deltaE);
}

}  // namespace
}  // namespace lacqueron
