// Targets as typed and as measured: every way of writing L*a*b* and RAL Design codes,
// each bad input named, and a measurement file with and without a spectrum.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "colour/TargetText.h"
#include "tests/colour/SampleMeasurement.h"

namespace lacqueron::colour {
namespace {

enum class Kind { kLab, kHlc };

struct TargetTextCase {
    const char* name;
    Kind kind;
    std::string text;
    TargetProblem problem;
    std::optional<Lab> lab;  // with kNone; for H L C what LabFromHlc gives
};

class TargetTextTest : public testing::TestWithParam<TargetTextCase> {};

TEST_P(TargetTextTest, ReadsTheColourOrNamesTheProblem) {
    const TargetTextCase& c = GetParam();
    Lab lab{-1, -1, -1};
    EXPECT_EQ(c.kind == Kind::kLab ? ParseLabText(c.text, lab) : ParseHlcText(c.text, lab), c.problem);
    if (c.problem != TargetProblem::kNone) {
        EXPECT_EQ(lab.l, -1);
        EXPECT_FALSE(DescribeTargetProblem(c.problem, c.text).empty());
        return;
    }
    ASSERT_TRUE(c.lab);
    EXPECT_DOUBLE_EQ(lab.l, c.lab->l);
    EXPECT_DOUBLE_EQ(lab.a, c.lab->a);
    EXPECT_DOUBLE_EQ(lab.b, c.lab->b);
}

const Lab kHlc = LabFromHlc(240, 40, 30);

const TargetTextCase kCases[] = {
    {"LabBlanks", Kind::kLab, "52.3 -4.1 18", TargetProblem::kNone, Lab{52.3, -4.1, 18}},
    {"LabDecimalCommas", Kind::kLab, " 52,3\t-4,1  18 ", TargetProblem::kNone, Lab{52.3, -4.1, 18}},
    {"LabCommaAfterEach", Kind::kLab, "52.3, -4.1, 18", TargetProblem::kNone, Lab{52.3, -4.1, 18}},
    {"LabCommasAlone", Kind::kLab, "52.3,-4.1,18", TargetProblem::kNone, Lab{52.3, -4.1, 18}},
    {"LabSemicolons", Kind::kLab, "52,3;-4,1;18", TargetProblem::kNone, Lab{52.3, -4.1, 18}},
    {"LabBlackAndWhite", Kind::kLab, "0 0 0", TargetProblem::kNone, Lab{0, 0, 0}},
    {"LabEmpty", Kind::kLab, "  ", TargetProblem::kEmpty, std::nullopt},
    {"LabTwoNumbers", Kind::kLab, "52 4", TargetProblem::kNotThreeNumbers, std::nullopt},
    {"LabWord", Kind::kLab, "52 синий 4", TargetProblem::kNotThreeNumbers, std::nullopt},
    {"LabLightnessOver100", Kind::kLab, "100.01 0 0", TargetProblem::kLightnessOutside, std::nullopt},
    {"LabLightnessNegative", Kind::kLab, "-1 0 0", TargetProblem::kLightnessOutside, std::nullopt},
    {"LabOpponentTooFar", Kind::kLab, "50 250 0", TargetProblem::kOpponentOutside, std::nullopt},
    {"LabAtTheLimits", Kind::kLab, "100 200 -200", TargetProblem::kNone, Lab{100, 200, -200}},
    {"LabSemicolonsAndBlanks", Kind::kLab, "52,4; -3,1; 18", TargetProblem::kNone, Lab{52.4, -3.1, 18}},
    {"LabFourNumbers", Kind::kLab, "52.4 -3.1 18 2", TargetProblem::kNotThreeNumbers, std::nullopt},
    {"LabTwoDecimalCommas", Kind::kLab, "52,4,1 3 4", TargetProblem::kNotThreeNumbers, std::nullopt},
    {"LabOpponentNegativeTooFar", Kind::kLab, "50 0 -250", TargetProblem::kOpponentOutside, std::nullopt},
    {"HlcPlain", Kind::kHlc, "240 40 30", TargetProblem::kNone, kHlc},
    {"HlcWithRal", Kind::kHlc, "RAL 240 40 30", TargetProblem::kNone, kHlc},
    {"HlcLowerCaseRal", Kind::kHlc, "ral 240 40 30", TargetProblem::kNone, kHlc},
    {"HlcHueOver360", Kind::kHlc, "400 40 30", TargetProblem::kHueOutside, std::nullopt},
    {"HlcLightnessOver100", Kind::kHlc, "240 140 30", TargetProblem::kLightnessOutside, std::nullopt},
    {"HlcNegativeChroma", Kind::kHlc, "240 40 -3", TargetProblem::kChromaNegative, std::nullopt},
    {"HlcTwoNumbers", Kind::kHlc, "RAL 240 40", TargetProblem::kNotThreeNumbers, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, TargetTextTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TargetTextFormat, WritesWhatReadsBackWithEitherMark) {
    EXPECT_EQ(FormatLabText({52.314, -4.1, 18}, ','), "52,31 -4,1 18");
    EXPECT_EQ(FormatLabText({52.314, -0.001, 18}, '.'), "52.31 0 18");
    Lab lab;
    ASSERT_EQ(ParseLabText(FormatLabText({52.314, -4.1, 18}, ','), lab), TargetProblem::kNone);
    EXPECT_DOUBLE_EQ(lab.l, 52.31);
}

std::string Measurement(bool withSpectrum) { return lacqueron::test::SampleMeasurement("Деталь", "40", withSpectrum); }

// The same sample as a CxF3 file: its Lab, and its spectrum when asked.
std::string CxfMeasurement(bool withSpectrum) {
    std::string spectrum;
    for (int band = 0; withSpectrum && band < kBandCount; ++band) spectrum += " 40";
    return "<?xml version=\"1.0\"?>\n<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources>"
           "<cc:ObjectCollection><cc:Object Name=\"Деталь\" Id=\"1\"><cc:ColorValues>"
           "<cc:ColorCIELab><cc:L>50</cc:L><cc:A>0</cc:A><cc:B>0</cc:B></cc:ColorCIELab>" +
           (withSpectrum ? "<cc:ReflectanceSpectrum StartWL=\"400\">" + spectrum + "</cc:ReflectanceSpectrum>"
                         : std::string()) +
           "</cc:ColorValues></cc:Object></cc:ObjectCollection></cc:Resources></cc:CxF>\n";
}

struct CgatsTargetCase {
    const char* name;
    std::string text;
    std::string sample;
    TargetProblem problem;
};

class CgatsTargetTest : public testing::TestWithParam<CgatsTargetCase> {};

TEST_P(CgatsTargetTest, GivesTheSamplesSpectrumOrTheProblem) {
    const CgatsTargetCase& c = GetParam();
    Spectrum spectrum{};
    MeasurementError error;
    EXPECT_EQ(SpectrumFromMeasurement(c.text, c.sample, spectrum, error), c.problem == TargetProblem::kNone);
    EXPECT_EQ(error.problem, c.problem);
    if (c.problem == TargetProblem::kNone) {
        EXPECT_DOUBLE_EQ(spectrum[0], 0.40);
    }
}

const CgatsTargetCase kCgatsCases[] = {
    {"FirstSample", Measurement(true), "", TargetProblem::kNone},
    {"ByName", Measurement(true), "Деталь", TargetProblem::kNone},
    {"ById", Measurement(true), "1", TargetProblem::kNone},
    {"NoSuchSample", Measurement(true), "2", TargetProblem::kNoSample},
    {"LabOnlyHasNoSpectrum", Measurement(false), "", TargetProblem::kNoSpectrum},
    {"NotCgats", "просто текст\n", "", TargetProblem::kFileUnreadable},
    {"CxfByName", CxfMeasurement(true), "Деталь", TargetProblem::kNone},
    {"CxfNoSuchSample", CxfMeasurement(true), "2", TargetProblem::kNoSample},
    {"CxfLabOnlyHasNoSpectrum", CxfMeasurement(false), "", TargetProblem::kNoSpectrum},
    {"BrokenXml", "<cc:CxF><cc:Resources>\n", "", TargetProblem::kFileUnreadable},
};

INSTANTIATE_TEST_SUITE_P(Cases, CgatsTargetTest, testing::ValuesIn(kCgatsCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron::colour
