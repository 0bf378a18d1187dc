// The CxF3 reader on files written here as colour software writes them: wavelength
// ranges of every step, the start on the spectrum or on its measuring conditions, percent,
// namespaces or none, entities, comments and CDATA; and every reason for refusing a
// file, with its line.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "colour/Cxf.h"

namespace lacqueron::colour {
namespace {

constexpr int kNoLine = 0;

// Reflectance rising with the wavelength, so each band shows where it was taken from:
// nm / 1000 as fractions ("0.400"), nm / 10 in percent ("40.0"); written digit by digit,
// whatever the locale.
std::string Values(int firstNm, int stepNm, int lastNm, bool percent = false) {
    std::string values;
    for (int nm = firstNm; nm <= lastNm; nm += stepNm) {
        const std::string digits = std::to_string(nm);  // three digits: 360 to 780
        values += (values.empty() ? "" : " ") +
                  (percent ? digits.substr(0, 2) + "." + digits.substr(2) : "0." + digits);
    }
    return values;
}

std::string Spectrum(const std::string& startAttribute, const std::string& values) {
    return "<cc:ReflectanceSpectrum ColorSpecification=\"cs\"" + startAttribute + ">" + values +
           "</cc:ReflectanceSpectrum>\n";
}

// A whole file around the objects: declaration, comment, the measuring conditions "cs" with
// the range attributes given.
std::string File(const std::string& objects, const std::string& range = "StartWL=\"400\" Increment=\"10\"") {
    return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!-- exported by the lab -->\n"
           "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\">\n"
           "<cc:FileInformation><cc:Creator>Лаборатория</cc:Creator></cc:FileInformation>\n"
           "<cc:Resources>\n<cc:ObjectCollection>\n" +
           objects +
           "</cc:ObjectCollection>\n<cc:ColorSpecificationCollection>\n<cc:ColorSpecification Id=\"cs\">\n"
           "<cc:MeasurementSpec><cc:WavelengthRange " +
           range +
           "/></cc:MeasurementSpec>\n</cc:ColorSpecification>\n</cc:ColorSpecificationCollection>\n"
           "</cc:Resources>\n</cc:CxF>\n";
}

std::string Object(const std::string& name, const std::string& spectra) {
    return "<cc:Object ObjectType=\"Target\" Name=\"" + name + "\" Id=\"o1\">\n<cc:ColorValues>\n"
           "<cc:ColorCIELab ColorSpecification=\"lab\"><cc:L>50</cc:L><cc:A>0</cc:A><cc:B>0</cc:B></cc:ColorCIELab>\n" +
           spectra + "</cc:ColorValues>\n</cc:Object>\n";
}

struct CxfCase {
    const char* label;
    std::string text;
    bool read;
    std::string name;    // the first sample's
    int line;            // of the failure
    std::string reason;  // a part of it
    bool noSpectrum;
};

CxfCase Read(const char* label, std::string text, std::string name) {
    return {label, std::move(text), true, std::move(name), kNoLine, {}, false};
}

CxfCase Refused(const char* label, std::string text, int line, std::string reason, bool noSpectrum = false) {
    return {label, std::move(text), false, {}, line, std::move(reason), noSpectrum};
}

class CxfTest : public testing::TestWithParam<CxfCase> {};

TEST_P(CxfTest, ReadsTheSpectrumOrSaysWhereNot) {
    const CxfCase& c = GetParam();
    std::vector<CgatsSample> samples;
    CgatsError error;
    EXPECT_TRUE(LooksLikeXml(c.text));
    ASSERT_EQ(ReadCxf(c.text, samples, error), c.read) << error.line << ": " << error.reason;
    if (!c.read) {
        EXPECT_TRUE(samples.empty());
        EXPECT_EQ(error.line, c.line);
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.reason;
        EXPECT_EQ(error.noSpectrum, c.noSpectrum);
        return;
    }
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples[0].name, c.name);
    EXPECT_EQ(samples[0].id, "o1");
    for (int band = 0; band < kBandCount; ++band)
        EXPECT_NEAR(samples[0].reflectance[band], WavelengthOfBand(band) / 1000.0, 1e-6) << WavelengthOfBand(band);
}

const std::string kTen = Spectrum(" StartWL=\"400\"", Values(400, 10, 700));

const CxfCase kCases[] = {
    Read("TenNanometres", File(Object("Деталь", kTen)), "Деталь"),
    Read("WiderRange", File(Object("Деталь", Spectrum(" StartWL=\"380\"", Values(380, 10, 730)))), "Деталь"),
    Read("FiveNanometres",
         File(Object("Деталь", Spectrum("", Values(400, 5, 700))), "StartWL=\"400\" Increment=\"5\""), "Деталь"),
    Read("StartFromTheConditions",
         File(Object("Деталь", Spectrum("", Values(360, 10, 780))), "StartWL=\"360\" Increment=\"10\""), "Деталь"),
    Read("Percent", File(Object("Деталь", Spectrum(" StartWL=\"400\"", Values(400, 10, 700, true)))), "Деталь"),
    Read("AShortSpectrumPassedForTheNext",
         File(Object("Деталь", Spectrum(" StartWL=\"400\"", Values(400, 10, 600)) + kTen)), "Деталь"),
    Read("NamedByIdWithoutName", File(Object("", kTen)), "o1"),
    Read("EntitiesInTheName", File(Object("A &amp; B &#x414;&#1077;", kTen)), "A & B Де"),
    Read("NoPrefixCdataAndComments",
         "<CxF><Resources><ObjectCollection><Object Name='Деталь' Id='o1'><!-- the spectrum -->"
         "<ReflectanceSpectrum StartWL='400'><![CDATA[" + Values(400, 10, 700) +
             "]]></ReflectanceSpectrum></Object></ObjectCollection></Resources></CxF>",
         "Деталь"),
    Refused("TwentyNanometresMissBands",
            File(Object("Деталь", Spectrum("", Values(400, 20, 700))), "StartWL=\"400\" Increment=\"20\""), 20,
            "no object with a reflectance spectrum", true),
    Refused("LabOnly", File(Object("Деталь", "")), 19, "no object with a reflectance spectrum", true),
    Refused("NoStart", File(Object("Деталь", Spectrum("", Values(400, 10, 700))), "Increment=\"10\""), 10, "StartWL"),
    Refused("NotANumber", File(Object("Деталь", Spectrum(" StartWL=\"400\"", "0.4 0.5 много"))), 10,
            "\"много\" is not a number"),
    Refused("OutOfRange", File(Object("Деталь", Spectrum(" StartWL=\"400\"", "-0.2 " + Values(410, 10, 700)))), 7,
            "at 400 nm, -0.2, is out of range"),
    Refused("AttributeWithoutValue", File(Object("Деталь", "<cc:ReflectanceSpectrum StartWL=\"400\"")), 10,
            "an attribute without '=' in <cc:ReflectanceSpectrum>"),
    Refused("TagNotClosed", "<CxF>\n<Object Name='Деталь'", 2, "the tag <Object is not closed"),
    Refused("EndTagNotClosedAtTheEnd", "<CxF>\n<Object>\n</Object\n", 3, "the end tag </Object is not closed"),
    Refused("EndTagOfAnother", File(Object("Деталь", kTen + "</cc:ColorValue>\n")), 11,
            "</cc:ColorValue> where <cc:ColorValues> is open"),
    Refused("UnknownEntity", File(Object("A &nbsp; B", kTen)), 7, "unknown entity &nbsp;"),
    Refused("EndsInside", "<cc:CxF><cc:Resources>\n", 1, "ends inside <cc:Resources>"),
    Refused("DoctypeWithDeclarations", "<!DOCTYPE CxF [<!ENTITY x \"y\">]>\n<CxF/>", 1, "DOCTYPE"),
};

INSTANTIATE_TEST_SUITE_P(Files, CxfTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Cxf, OnlyXmlLooksLikeXml) {
    EXPECT_TRUE(LooksLikeXml("\xEF\xBB\xBF  \r\n<?xml version=\"1.0\"?>"));
    EXPECT_FALSE(LooksLikeXml("CGATS.17\n"));
    EXPECT_FALSE(LooksLikeXml(""));
    EXPECT_FALSE(LooksLikeXml("\xEF\xBB\xBF   "));
}

}  // namespace
}  // namespace lacqueron::colour
