// The CGATS reader on files written here in every form an instrument or a spreadsheet
// gives them, with LittleCMS's IT8 reader as an independent second opinion on the
// values; and every reason for refusing a file, with its line.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "colour/Cgats.h"

namespace lacqueron::colour {
namespace {

// ---------------------------------------------------------------- good files

enum class Naming { kSpectralNm, kSpectralNmUnderscore, kSpec, kLowerNm };

struct FileForm {
    const char* label;
    Naming naming;
    bool percent;
    int stepNm, firstNm, lastNm;
    const char* lineEnd;
    const char* separator;
    bool byteOrderMark;
    bool nameField;      // SAMPLE_NAME present
    bool decimalComma;   // "45,25" as a spreadsheet writes it
    bool declareCounts;  // NUMBER_OF_FIELDS and NUMBER_OF_SETS
    int tables;
    bool askLittleCms;   // false for the forms LittleCMS does not take
};

constexpr int kSamplesPerTable = 4;
constexpr int kPercentDecimals = 2;
constexpr int kFractionDecimals = 4;

std::string SpectralField(Naming naming, int nm) {
    const std::string digits = std::to_string(nm);
    switch (naming) {
        case Naming::kSpectralNm: return "SPECTRAL_NM" + digits;
        case Naming::kSpectralNmUnderscore: return "SPECTRAL_NM_" + digits;
        case Naming::kSpec: return "SPEC_" + digits;
        case Naming::kLowerNm: return "nm" + digits;
    }
    return {};
}

// What the file says of one sample, as fractions: the expected reading.
struct Written {
    std::string id, name;
    double white = 0, black = 0;
    Spectrum reflectance{};
};

// A smooth spectrum of its own per sample, sigmoid edges at different places.
double SourceReflectance(int sample, int nm) {
    const double edge = 440.0 + 45.0 * sample;
    const double rising = 1.0 / (1.0 + std::exp(-(nm - edge) / 22.0));
    return 0.03 + 0.88 * (sample % 2 == 0 ? rising : 1.0 - rising);
}

std::string Fixed(double value, int decimals, bool comma) {
    char buffer[48];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (comma)
        for (char& c : text)
            if (c == '.') c = ',';
    return text;
}

double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

std::string Join(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? std::string() : separator) + word;
    return text;
}

// Writes the file and fills written with what it holds, sample by sample.
std::string WriteFile(const FileForm& form, std::vector<Written>& written) {
    const std::string& end = form.lineEnd;
    const std::string& sep = form.separator;
    std::vector<int> wavelengths;
    for (int nm = form.firstNm; nm <= form.lastNm; nm += form.stepNm) wavelengths.push_back(nm);
    std::vector<std::string> fields = {"SAMPLE_ID"};
    if (form.nameField) fields.push_back("SAMPLE_NAME");
    for (const char* other : {"CONC_WHT", "CONC_BLK", "SAMPLE_LOC", "LAB_L"}) fields.push_back(other);
    for (int nm : wavelengths) fields.push_back(SpectralField(form.naming, nm));

    std::string text = form.byteOrderMark ? "\xEF\xBB\xBF" : "";
    text += "CGATS.17" + end;
    int id = 0;
    for (int table = 0; table < form.tables; ++table) {
        text += "ORIGINATOR" + sep + "\"Test lab #" + std::to_string(table + 1) + "\"" + end;
        text += "CREATED" + sep + "\"2026-12-08T10:00:00\"" + end;
        text += "KEYWORD" + sep + "\"MEASUREMENT_GEOMETRY\"" + end;
        text += "MEASUREMENT_GEOMETRY" + sep + "\"d/8 SCI\"" + end;
        text += "# ladder of white and black, table " + std::to_string(table + 1) + end;
        if (form.declareCounts) text += "NUMBER_OF_FIELDS" + sep + std::to_string(fields.size()) + end;
        text += "BEGIN_DATA_FORMAT" + end + Join(fields, sep) + end + "END_DATA_FORMAT" + end;
        if (form.declareCounts) text += "NUMBER_OF_SETS" + sep + std::to_string(kSamplesPerTable) + end;
        text += "BEGIN_DATA" + end;
        for (int s = 0; s < kSamplesPerTable; ++s, ++id) {
            Written sample;
            sample.id = std::to_string(id + 1);
            sample.name = form.nameField ? "Белый + чёрный #" + std::to_string(id) : sample.id;
            sample.white = 100.0 - 20.0 * s;
            sample.black = Rounded(0.125 * id, 3);
            std::string line = sample.id;
            if (form.nameField) line += sep + "\"" + sample.name + "\"";
            line += sep + Fixed(sample.white, 1, form.decimalComma) + sep + Fixed(sample.black, 3, form.decimalComma);
            line += sep + "A" + std::to_string(s + 1) + sep + Fixed(50.0 + s, 2, form.decimalComma);
            for (int nm : wavelengths) {
                const double fraction = SourceReflectance(id, nm);
                const int decimals = form.percent ? kPercentDecimals : kFractionDecimals;
                const double value = Rounded(form.percent ? 100.0 * fraction : fraction, decimals);
                line += sep + Fixed(value, decimals, form.decimalComma);
                if (nm >= kFirstWavelengthNm && nm <= kLastWavelengthNm && (nm - kFirstWavelengthNm) % kBandStepNm == 0)
                    sample.reflectance[(nm - kFirstWavelengthNm) / kBandStepNm] = form.percent ? value / 100.0 : value;
            }
            text += line + end;
            written.push_back(sample);
        }
        text += "END_DATA" + end;
    }
    return text;
}

const FileForm kForms[] = {
    // label, naming, percent, step, first, last, line end, separator, BOM, names, comma, counts, tables, LittleCMS
    {"PercentTenNm", Naming::kSpectralNm, true, 10, 400, 700, "\n", "\t", false, true, false, true, 1, true},
    {"FractionWiderRangeCrLf", Naming::kSpectralNmUnderscore, false, 10, 380, 730, "\r\n", " ", false, true, false,
     true, 1, true},
    {"SpecFiveNm", Naming::kSpec, true, 5, 380, 780, "\n", "\t", false, true, false, true, 1, true},
    {"LowerNmFiveNmCrOnly", Naming::kLowerNm, false, 5, 400, 700, "\r", " ", false, true, false, true, 1, true},
    {"TwoTables", Naming::kSpectralNm, false, 10, 400, 700, "\n", "\t", false, true, false, true, 2, true},
    // LittleCMS refuses a byte order mark, needs the counts and takes "45,25" for text.
    {"DecimalCommaTabs", Naming::kSpectralNm, true, 10, 400, 700, "\r\n", "\t", false, true, true, true, 1, false},
    {"IdWithoutNameUncountedByteOrderMark", Naming::kSpectralNm, true, 10, 400, 700, "\n", "  ", true, false, false,
     false, 1, false},
};

void PrintTo(const FileForm& form, std::ostream* out) { *out << form.label; }

std::vector<FileForm> LittleCmsForms() {
    std::vector<FileForm> forms;
    for (const FileForm& form : kForms)
        if (form.askLittleCms) forms.push_back(form);
    return forms;
}

// Writes the form's file and reads it.
class FormTest : public testing::TestWithParam<FileForm> {
protected:
    void SetUp() override {
        text = WriteFile(GetParam(), written);
        CgatsError error;
        ASSERT_TRUE(ReadCgats(text, samples, error)) << error.line << ": " << error.reason;
    }

    std::string text;
    std::vector<Written> written;
    std::vector<CgatsSample> samples;
};

class GoodFileTest : public FormTest {};
class LittleCmsTest : public FormTest {};

TEST_P(GoodFileTest, ReadsEverySampleAsWritten) {
    ASSERT_EQ(samples.size(), written.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(samples[i].id, written[i].id);
        EXPECT_EQ(samples[i].name, written[i].name);
        ASSERT_EQ(samples[i].concentrations.size(), 2u);
        EXPECT_EQ(samples[i].concentrations[0].first, "WHT");
        EXPECT_EQ(samples[i].concentrations[1].first, "BLK");
        EXPECT_DOUBLE_EQ(samples[i].concentrations[0].second, written[i].white);
        EXPECT_DOUBLE_EQ(samples[i].concentrations[1].second, written[i].black);
        for (int band = 0; band < kBandCount; ++band)
            EXPECT_NEAR(samples[i].reflectance[band], written[i].reflectance[band], 1e-12)
                << "sample " << i << ", " << WavelengthOfBand(band) << " nm";
    }
}

// LittleCMS reads the same file on its own; the two must agree on every value.
struct Lcms {
    Lcms() { cmsSetLogErrorHandler(&Lcms::Record); }
    ~Lcms() { cmsSetLogErrorHandler(nullptr); }
    static void Record(cmsContext, cmsUInt32Number, const char* text) { last() = text; }
    static std::string& last() {
        static std::string message;
        return message;
    }
};

struct It8Closer {
    void operator()(void* handle) const { cmsIT8Free(handle); }
};

TEST_P(LittleCmsTest, AgreesOnEveryValue) {
    const FileForm& form = GetParam();
    const Lcms errors;
    const std::unique_ptr<void, It8Closer> it8(
        cmsIT8LoadFromMem(nullptr, text.data(), static_cast<cmsUInt32Number>(text.size())));
    ASSERT_NE(it8, nullptr) << Lcms::last();
    ASSERT_EQ(cmsIT8TableCount(it8.get()), static_cast<cmsUInt32Number>(form.tables));
    const double scale = form.percent ? 100.0 : 1.0;
    std::size_t next = 0;
    for (int table = 0; table < form.tables; ++table) {
        ASSERT_GE(cmsIT8SetTable(it8.get(), table), 0);
        const int rows = static_cast<int>(cmsIT8GetPropertyDbl(it8.get(), "NUMBER_OF_SETS"));
        for (int row = 0; row < rows; ++row, ++next) {
            ASSERT_LT(next, samples.size());
            const CgatsSample& sample = samples[next];
            auto cell = [&](const std::string& field) {
                return cmsIT8GetDataRowCol(it8.get(), row, cmsIT8FindDataFormat(it8.get(), field.c_str()));
            };
            auto number = [&](const std::string& field) {
                return cmsIT8GetDataRowColDbl(it8.get(), row, cmsIT8FindDataFormat(it8.get(), field.c_str()));
            };
            ASSERT_NE(cell("SAMPLE_ID"), nullptr);
            EXPECT_EQ(sample.id, cell("SAMPLE_ID"));
            if (form.nameField) {
                EXPECT_EQ(sample.name, cell("SAMPLE_NAME"));
            }
            EXPECT_NEAR(sample.concentrations[0].second, number("CONC_WHT"), 1e-9);
            EXPECT_NEAR(sample.concentrations[1].second, number("CONC_BLK"), 1e-9);
            for (int band = 0; band < kBandCount; ++band)
                EXPECT_NEAR(sample.reflectance[band],
                            number(SpectralField(form.naming, WavelengthOfBand(band))) / scale, 1e-9)
                    << "row " << row << ", " << WavelengthOfBand(band) << " nm";
        }
    }
    EXPECT_EQ(next, samples.size());
}

INSTANTIATE_TEST_SUITE_P(Forms, GoodFileTest, testing::ValuesIn(kForms),
                         [](const testing::TestParamInfo<FileForm>& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(Forms, LittleCmsTest, testing::ValuesIn(LittleCmsForms()),
                         [](const testing::TestParamInfo<FileForm>& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- bad files

// A small file built from its parts: header lines, fields and data lines, LF line ends.
struct Parts {
    std::string header = "CGATS.17\nORIGINATOR \"test\"\n";
    std::vector<std::string> fields;
    std::vector<std::string> rows;
    std::string trailer = "END_DATA\n";
};

std::vector<std::string> DefaultFields(int skipNm = 0) {
    std::vector<std::string> fields = {"SAMPLE_ID", "SAMPLE_NAME", "CONC_WHT"};
    for (int nm = kFirstWavelengthNm; nm <= kLastWavelengthNm; nm += kBandStepNm)
        if (nm != skipNm) fields.push_back("SPECTRAL_NM" + std::to_string(nm));
    return fields;
}

// A data line of the default fields; the band at badNm (if any) holds badValue.
std::string Row(const std::string& id, const std::string& white = "100", int badNm = 0,
                const std::string& badValue = "") {
    std::string row = id + " \"Sample " + id + "\" " + white;
    for (int nm = kFirstWavelengthNm; nm <= kLastWavelengthNm; nm += kBandStepNm)
        row += " " + (nm == badNm ? badValue : std::to_string(40 + nm / 100));
    return row;
}

std::string Build(const Parts& parts) {
    std::string text = parts.header + "BEGIN_DATA_FORMAT\n" + Join(parts.fields, " ") + "\nEND_DATA_FORMAT\n";
    text += "BEGIN_DATA\n";
    for (const std::string& row : parts.rows) text += row + "\n";
    return text + parts.trailer;
}

Parts Usual() {
    Parts parts;
    parts.fields = DefaultFields();
    parts.rows = {Row("1"), Row("2")};
    return parts;
}

std::string WithLineEnds(std::string text, const std::string& end) {
    std::string changed;
    for (char c : text) changed += c == '\n' ? end : std::string(1, c);
    return changed;
}

struct BadFile {
    const char* label;
    std::string text;
    int line;
    const char* reason;  // a part of the reason
};

std::vector<BadFile> BadFiles() {
    // Lines of Usual(): 1 CGATS.17, 2 ORIGINATOR, 3 BEGIN_DATA_FORMAT, 4 fields,
    // 5 END_DATA_FORMAT, 6 BEGIN_DATA, 7 and 8 samples, 9 END_DATA.
    std::vector<BadFile> cases;
    auto add = [&](const char* label, const std::string& text, int line, const char* reason) {
        cases.push_back({label, text, line, reason});
    };
    // The usual file with one data line changed (0 is line 7, 1 is line 8).
    auto withRow = [&](const char* label, int index, const std::string& row, int line, const char* reason) {
        Parts parts = Usual();
        parts.rows[index] = row;
        add(label, Build(parts), line, reason);
    };
    // The usual file with one more header line, line 3.
    auto withHeader = [&](const char* label, const std::string& header, const char* reason) {
        Parts parts = Usual();
        parts.header += header + "\n";
        add(label, Build(parts), 3, reason);
    };
    // The usual file with other fields; the rows stay as they are.
    auto withFields = [&](const char* label, const std::vector<std::string>& fields, int line, const char* reason) {
        Parts parts = Usual();
        parts.fields = fields;
        add(label, Build(parts), line, reason);
    };
    const std::string row1 = Row("1");

    std::vector<std::string> fields = DefaultFields();
    fields.erase(fields.begin());
    withFields("NoSampleId", fields, 3, "no SAMPLE_ID field");
    withFields("BandMissing", DefaultFields(550), 3, "no field for the 550 nm band");
    withFields("NoSpectralFields", {"SAMPLE_ID", "SAMPLE_NAME", "CONC_WHT", "LAB_L"}, 3, "no spectral fields");
    fields = {"SAMPLE_ID"};
    for (int nm = kFirstWavelengthNm; nm <= kLastWavelengthNm; nm += 2 * kBandStepNm)
        fields.push_back("SPECTRAL_NM" + std::to_string(nm));
    withFields("TwentyNmSteps", fields, 3, "no field for the 410 nm band");
    fields = DefaultFields();
    fields.push_back("sample_name");
    withFields("FieldTwice", fields, 4, "the field SAMPLE_NAME appears twice");
    fields.back() = "SPEC_450";
    withFields("BandTwice", fields, 3, "two fields for the 450 nm band: SPECTRAL_NM450 and SPEC_450");
    fields = DefaultFields();
    fields[2] = "CONC_";
    withFields("ConcentrationWithoutCode", fields, 3, "the field CONC_ names no paste");

    withRow("TextInSpectralNumber", 1, Row("2", "100", 450, "4x5"), 8, "SPECTRAL_NM450: \"4x5\" is not a number");
    withRow("TextInConcentration", 0, Row("1", "abc"), 7, "CONC_WHT: \"abc\" is not a number");
    withRow("TwoDecimalCommas", 0, Row("1", "1,2,5"), 7, "CONC_WHT: \"1,2,5\" is not a number");
    withRow("PointAndComma", 0, Row("1", "1.5,0"), 7, "\"1.5,0\" is not a number");
    withRow("NegativeAmount", 0, Row("1", "-3"), 7, "CONC_WHT: \"-3\" is not an amount of paste");
    withRow("ReflectanceOutOfRange", 1, Row("2", "100", 600, "250"), 8,
            "the reflectance at 600 nm, 250 %, is out of range");
    withRow("ValueTooMany", 1, Row("2", "100 7"), 8, "35 values on the line, the data format has 34 fields");
    withRow("ValueTooFew", 0, row1.substr(0, row1.rfind(' ')), 7,
            "33 values on the line, the data format has 34 fields");
    withRow("QuoteNotClosed", 0, "1 \"Sample 1 " + row1.substr(row1.find("100")), 7,
            "a quote is opened and not closed");
    withRow("TextAfterClosingQuote", 0, "1 \"Sample\"1 100" + row1.substr(row1.find(" 4")), 7,
            "text right after the closing quote of \"Sample\"");
    withRow("EmptySampleId", 0, "\"\" " + row1.substr(2), 7, "an empty SAMPLE_ID");

    withHeader("NumberOfSetsDisagrees", "NUMBER_OF_SETS 3",
               "NUMBER_OF_SETS is 3, the data on lines 8 to 9 holds 2 samples");
    withHeader("NumberOfFieldsDisagrees", "NUMBER_OF_FIELDS 35",
               "NUMBER_OF_FIELDS is 35, the data format lists 34 fields");
    withHeader("NumberOfSetsNotANumber", "NUMBER_OF_SETS many", "NUMBER_OF_SETS needs a whole number");
    withHeader("HeaderLineWithoutKeyword", "12 \"stray\"", "a header line starts with a keyword, not \"12\"");

    const std::string format = "CGATS.17\nBEGIN_DATA_FORMAT\n" + Join(DefaultFields(), " ") + "\n";
    add("EmptyFile", "", 1, "no data");
    add("HeaderOnly", "CGATS.17\nORIGINATOR \"test\"\n", 2, "no data");
    add("FormatWithoutData", format + "END_DATA_FORMAT\n", 4, "no BEGIN_DATA ... END_DATA after the data format");
    add("EndDataFormatMissing", format, 3, "END_DATA_FORMAT missing after BEGIN_DATA_FORMAT on line 2");
    add("DataBeforeFormat", "CGATS.17\nBEGIN_DATA\n" + row1 + "\nEND_DATA\n", 2, "BEGIN_DATA before the data format");
    Parts parts = Usual();
    parts.rows.clear();
    add("EmptyTable", Build(parts), 7, "no samples between BEGIN_DATA and END_DATA");
    parts = Usual();
    parts.trailer = "";
    add("EndDataMissing", Build(parts), 8, "END_DATA missing after BEGIN_DATA on line 6");

    // The same fault found on the same line whatever ends the lines.
    parts = Usual();
    parts.rows[1] = Row("2", "100", 450, "4x5");
    add("LineCountedWithCrLf", WithLineEnds(Build(parts), "\r\n"), 8, "is not a number");
    add("LineCountedWithCr", WithLineEnds(Build(parts), "\r"), 8, "is not a number");
    return cases;
}

void PrintTo(const BadFile& file, std::ostream* out) { *out << file.label; }

class BadFileTest : public testing::TestWithParam<BadFile> {};

TEST_P(BadFileTest, RefusedWithLineAndReason) {
    std::vector<CgatsSample> samples(1);
    CgatsError error;
    EXPECT_FALSE(ReadCgats(GetParam().text, samples, error));
    EXPECT_TRUE(samples.empty());
    EXPECT_EQ(error.line, GetParam().line) << error.reason;
    EXPECT_NE(error.reason.find(GetParam().reason), std::string::npos) << error.reason;
}

INSTANTIATE_TEST_SUITE_P(Reasons, BadFileTest, testing::ValuesIn(BadFiles()),
                         [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.label); });

// The usual file itself is good, so each bad case above fails for its own fault only.
TEST(BadFileBaseTest, TheUsualFileReads) {
    std::vector<CgatsSample> samples;
    CgatsError error;
    ASSERT_TRUE(ReadCgats(Build(Usual()), samples, error)) << error.line << ": " << error.reason;
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].line, 8);
    EXPECT_DOUBLE_EQ(samples[1].reflectance[0], 0.44);  // percent: the file goes above 1.5
}

}  // namespace
}  // namespace lacqueron::colour
