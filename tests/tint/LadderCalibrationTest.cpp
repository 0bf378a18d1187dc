// Ladders that cannot be fitted say why and where: what the tool and the shop's
// calibration tell the painter. The fit itself runs against the simulated lab
// (colour_lab_accuracy, through datapack calibrate).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/MadeUpCatalogue.h"
#include "tint/LadderCalibration.h"

namespace lacqueron {
namespace {

// A ladder file of the given paste columns and one data line of amounts, reflectance 0.5.
std::string Ladder(const std::string& columns, const std::string& amounts) {
    std::string format = "SAMPLE_ID " + columns;
    std::string values = "1 " + amounts;
    int fields = 1 + static_cast<int>(std::count(columns.begin(), columns.end(), ' ')) + 1;
    for (int nm = 400; nm <= 700; nm += 10) {
        format += " SPECTRAL_NM" + std::to_string(nm);
        values += " 0.5";
        ++fields;
    }
    return "CGATS.17\nNUMBER_OF_FIELDS " + std::to_string(fields) + "\nBEGIN_DATA_FORMAT\n" + format +
           "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n" + values + "\nEND_DATA\n";
}

struct LadderCase {
    const char* name;
    std::string text;
    LadderProblem problem;
    int line;
    std::string detail;  // the start of it
};

class LadderCalibrationTest : public testing::TestWithParam<LadderCase> {};

TEST_P(LadderCalibrationTest, SaysWhyAndWhere) {
    Catalogue catalogue;
    test::AddExampleComponents(catalogue);
    LadderFit fit;
    LadderError error;
    ASSERT_FALSE(FitLadders(catalogue, GetParam().text, fit, error));
    EXPECT_EQ(error.problem, GetParam().problem);
    EXPECT_EQ(error.line, GetParam().line);
    EXPECT_EQ(error.detail.rfind(GetParam().detail, 0), 0u) << error.detail;
}

const LadderCase kCases[] = {
    {"NotCgats", "hello\n", LadderProblem::kNotCgats, 1, ""},
    {"NoData", "CGATS.17\nORIGINATOR x\n", LadderProblem::kNotCgats, 2, "no data"},
    {"UnknownPaste", Ladder("CONC_P1 CONC_ZZ", "10 5"), LadderProblem::kUnknownPaste, 4, "ZZ"},
    {"BaseIsNoPaste", Ladder("CONC_B1", "10"), LadderProblem::kUnknownPaste, 4, "B1"},
    {"NoPastePoured", Ladder("CONC_P1 CONC_P2", "0 0"), LadderProblem::kCannotFit, 0, ""},
};
INSTANTIATE_TEST_SUITE_P(Table, LadderCalibrationTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PackagePaste, OnlyPigmentsArePastes) {
    Catalogue catalogue;
    test::AddExampleComponents(catalogue);
    EXPECT_TRUE(IsPackagePaste(catalogue, "P1"));
    EXPECT_FALSE(IsPackagePaste(catalogue, "B1"));
    EXPECT_FALSE(IsPackagePaste(catalogue, "ZZ"));
}

}  // namespace
}  // namespace lacqueron
