// What the shop's calibration shows for a fit and says for a file it cannot use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Utf8.h"
#include "tint/LadderReport.h"

namespace lacqueron {
namespace {

// Four samples: white alone, red alone, red with white, blue with white.
LadderFit Fit(std::vector<double> deltaE) {
    LadderFit fit;
    fit.names = {"W", "R", "R+W 1:4", "B+W 1:4"};
    fit.pastes = {{"WHT"}, {"RED"}, {"RED", "WHT"}, {"BLU", "WHT"}};
    fit.calibration.deltaE = std::move(deltaE);
    fit.calibration.median = 0.5;
    fit.calibration.largest = 3.256;
    for (std::size_t j = 0; j < fit.names.size(); ++j)
        if (fit.calibration.deltaE[j] > colour::kOutlierDeltaE) fit.outliers.push_back(fit.names[j]);
    return fit;
}

std::string Row(const PasteFit& row) {
    std::string text = row.code + " " + ToUtf8(FitDeltaEText(row.largest));
    for (const std::string& outlier : row.outliers) text += " [" + outlier + "]";
    return text;
}

struct FitCase {
    const char* name;
    std::vector<double> deltaE;
    std::vector<std::string> rows;
    const char* words;
};

class PasteFitsTest : public testing::TestWithParam<FitCase> {};

TEST_P(PasteFitsTest, OneRowPerPasteWithItsWorstSampleAndOutliers) {
    const FitCase& c = GetParam();
    const LadderFit fit = Fit(c.deltaE);
    std::vector<std::string> rows;
    for (const PasteFit& row : PasteFits(fit)) rows.push_back(Row(row));
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(ToUtf8(OutliersText(fit)), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PasteFitsTest,
    testing::ValuesIn(std::vector<FitCase>{
        {"AllFit", {0.1, 0.4, 1.2, 0.3}, {"WHT 1.20", "RED 1.20", "BLU 0.30"},
         "Все образцы легли в пределах ΔE 2.00."},
        {"OneOutlierNamedOnBothPastes",
         {0.1, 0.4, 3.256, 0.3},
         {"WHT 3.26 [R+W 1:4]", "RED 3.26 [R+W 1:4]", "BLU 0.30"},
         "Не легли: R+W 1:4."},
        {"TwoOutliers", {2.5, 0.4, 0.2, 2.01}, {"WHT 2.50 [W] [B+W 1:4]", "RED 0.40", "BLU 2.01 [B+W 1:4]"},
         "Не легли: W, B+W 1:4."},
    }),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    LadderError error;
    const char* words;
};

class LadderErrorTextTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(LadderErrorTextTest, RussianWithTheLine) {
    EXPECT_EQ(ToUtf8(LadderErrorText(GetParam().error)), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LadderErrorTextTest,
    testing::ValuesIn(std::vector<ErrorCase>{
        {"NotALadderFile", {LadderProblem::kNotCgats, 1, "no CGATS header"},
         "Строка 1: это не файл лестниц выкрасок (CGATS со столбцами CONC_<код>)."},
        {"UnknownPaste", {LadderProblem::kUnknownPaste, 4, "ZZ"}, "Строка 4: пасты ZZ нет в пакете."},
        {"CannotFit", {LadderProblem::kCannotFit, 0, "no sample with the white alone"},
         "По этим лестницам пасты не определить: нужны выкраски каждой пасты и белой пасты отдельно."},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalibrationEntry, KeepsTheTableTheFileAndTheFitInHundredths) {
    LadderFit fit = Fit({0.1, 0.4, 3.256, 0.3});
    fit.calibration.table.falloff = 0.25;
    const OpticsEntry entry = CalibrationEntry(fit, "лестницы.txt", {1796684400, 180});
    EXPECT_FALSE(entry.vendor);
    EXPECT_EQ(entry.optics, colour::WriteOptics(fit.calibration.table));
    EXPECT_EQ(entry.source, "лестницы.txt");
    EXPECT_EQ(entry.median, 50u);
    EXPECT_EQ(entry.largest, 326u);
    EXPECT_EQ(entry.outliers, std::vector<std::string>{"R+W 1:4"});
    EXPECT_EQ(entry.time.utcSeconds, 1796684400);
}

}  // namespace
}  // namespace lacqueron
