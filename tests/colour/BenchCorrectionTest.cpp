// What the bench shows of a trial: the words for its difference, L*a*b* as typed, and
// the correction in the can's own grams.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "colour/BenchCorrection.h"
#include "colour/Decimal.h"
#include "colour/DifferenceWords.h"
#include "tests/support/WholeFile.h"

namespace {

using namespace lacqueron::colour;

struct WordsCase {
    const char* what;
    Lab target, trial;
    std::vector<ColourWord> words;
};

class DifferenceWordsTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(DifferenceWordsTest, NamesEachAxisThatDiffersEnough) {
    EXPECT_EQ(DifferenceWords(GetParam().target, GetParam().trial), GetParam().words);
}

const WordsCase kWordsCases[] = {
    {"same", {50, 10, 10}, {50, 10, 10}, {}},
    {"below what is named", {50, 10, 10}, {50.49, 9.51, 10.49}, {}},
    {"lighter at the edge", {50, 10, 10}, {50.5, 10, 10}, {ColourWord::kLighter}},
    {"darker", {50, 10, 10}, {47, 10, 10}, {ColourWord::kDarker}},
    {"redder", {50, 10, 10}, {50, 12, 10}, {ColourWord::kRedder}},
    {"greener past zero", {50, 1, 10}, {50, -3, 10}, {ColourWord::kGreener}},
    {"yellower", {50, 10, 10}, {50, 10, 14}, {ColourWord::kYellower}},
    {"bluer", {50, 10, 10}, {50, 10, 6}, {ColourWord::kBluer}},
    {"all three in order", {50, 10, 10}, {45, 13, 4}, {ColourWord::kDarker, ColourWord::kRedder, ColourWord::kBluer}},
    {"lighter greener yellower", {30, -5, 20}, {33, -9, 25},
     {ColourWord::kLighter, ColourWord::kGreener, ColourWord::kYellower}},
};
INSTANTIATE_TEST_SUITE_P(Table, DifferenceWordsTest, ::testing::ValuesIn(kWordsCases));

TEST(DifferenceText, JoinsTheWordsAndGivesDeltaE) {
    EXPECT_EQ(DifferenceText({50, 10, 10}, {45, 13, 4}), "Проба темнее, краснее и синее цели, ΔE00 = " +
                                                             FormatFixed(DeltaE2000({50, 10, 10}, {45, 13, 4}), 2));
    EXPECT_EQ(DifferenceText({50, 10, 10}, {50, 10, 10}), "Проба совпадает с целью, ΔE00 = 0.00");
    EXPECT_EQ(DifferenceText({50, 10, 10}, {50, 10, 13}).rfind("Проба желтее цели, ΔE00 = ", 0), 0u);
}

class WeighedTrialTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* source = std::getenv("LACQUERON_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        const std::string text =
            lacqueron::test::ReadFile(std::filesystem::path(source) / "catalogue" / "optics.txt");
        OpticsError error;
        ASSERT_TRUE(ReadOptics(text, table_, error)) << error.line << ": " << error.reason;
        for (int p = 0; p < static_cast<int>(table_.pastes.size()); ++p) all_.push_back(p);
    }

    WeighedTrial Weighed(double baseGrams, double scale) const {
        WeighedTrial trial;
        trial.baseGrams = baseGrams;
        trial.pastes = {{table_.pastes[1].code, 12 * scale}, {table_.pastes[2].code, 30 * scale}};
        trial.measuredLab = {60, 4, 30};
        return trial;
    }

    OpticsTable table_;
    std::vector<int> all_;
};

// The can's grams are the engine's per 1000 g of base, scaled: half the base, half of
// everything, the same colour and the same proposal at half the weight.
TEST_F(WeighedTrialTest, AdditionsAreInTheCansGrams) {
    const Target target = TargetFromLab({58, 8, 28});
    BenchCorrection full, half;
    std::string bad;
    ASSERT_EQ(CorrectWeighedTrial(table_, target, Weighed(1000, 1), all_, 2, std::nullopt, full, bad),
              BenchCorrectionResult::kCorrected);
    ASSERT_EQ(CorrectWeighedTrial(table_, target, Weighed(500, 0.5), all_, 2, std::nullopt, half, bad),
              BenchCorrectionResult::kCorrected);
    ASSERT_FALSE(full.additions.empty());
    EXPECT_LT(full.predicted, full.current);
    EXPECT_NEAR(full.current, DeltaE2000(target.labs[0], {60, 4, 30}), 1e-9);
    ASSERT_EQ(half.additions.size(), full.additions.size());
    for (std::size_t i = 0; i < full.additions.size(); ++i) {
        EXPECT_EQ(half.additions[i].code, full.additions[i].code);
        EXPECT_NEAR(half.additions[i].grams * 2, full.additions[i].grams, 1e-6);
    }
    EXPECT_NEAR(half.predicted, full.predicted, 1e-6);

    // The engine directly, per 1000 g of base, agrees.
    Trial engine;
    engine.poured = {{1, 12}, {2, 30}};
    engine.measuredLab = {60, 4, 30};
    CorrectionRequest request;
    request.pastes = all_;
    const Correction direct = CorrectTrial(table_, target, engine, request);
    ASSERT_EQ(direct.additions.size(), full.additions.size());
    for (std::size_t i = 0; i < direct.additions.size(); ++i)
        EXPECT_NEAR(direct.additions[i].grams, full.additions[i].grams, 1e-9);

    // No room in the can: nothing is proposed.
    BenchCorrection none;
    ASSERT_EQ(CorrectWeighedTrial(table_, target, Weighed(1000, 1), all_, 2, 0.0, none, bad),
              BenchCorrectionResult::kCorrected);
    EXPECT_TRUE(none.additions.empty());
    EXPECT_DOUBLE_EQ(none.predicted, none.current);
}

TEST_F(WeighedTrialTest, RefusesTrialsItCannotModel) {
    const Target target = TargetFromLab({58, 8, 28});
    BenchCorrection result;
    std::string bad;
    EXPECT_EQ(CorrectWeighedTrial(table_, target, Weighed(0, 1), all_, 2, std::nullopt, result, bad),
              BenchCorrectionResult::kNoBase);
    WeighedTrial noPaste = Weighed(1000, 1);
    noPaste.pastes.clear();
    EXPECT_EQ(CorrectWeighedTrial(table_, target, noPaste, all_, 2, std::nullopt, result, bad),
              BenchCorrectionResult::kNoPaste);
    WeighedTrial unknown = Weighed(1000, 1);
    unknown.pastes.push_back({"NOSUCH", 1});
    EXPECT_EQ(CorrectWeighedTrial(table_, target, unknown, all_, 2, std::nullopt, result, bad),
              BenchCorrectionResult::kUnknownPaste);
    EXPECT_EQ(bad, "NOSUCH");
    EXPECT_EQ(PastesOf(table_, {table_.pastes[2].code, "NOSUCH", table_.pastes[0].code}), (std::vector<int>{0, 2}));
}

}  // namespace
