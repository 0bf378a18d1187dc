// datapack calibrate, match, correct and nearest on files, as a lab runs them: ladders
// and targets from the test lab in CGATS text, the shipped package's sources.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "colour/Colorimetry.h"
#include "colour/Decimal.h"
#include "tests/colour/TestLab.h"
#include "tests/support/RunCommand.h"

namespace {

namespace fs = std::filesystem;
using namespace lacqueron::colour;

constexpr double kPercent = 100;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

struct Measured {
    std::string name;
    std::vector<Load> loads;
    Spectrum spectrum;
};

// CGATS.17 as instruments write it: concentrations and spectra in percent.
std::string Cgats(const std::vector<std::string>& codes, const std::vector<Measured>& samples) {
    std::string out = "CGATS.17\nORIGINATOR\t\"test lab\"\nNUMBER_OF_FIELDS\t" +
                      std::to_string(2 + codes.size() + kBandCount) + "\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tSAMPLE_NAME";
    for (const std::string& code : codes) out += "\tCONC_" + code;
    for (int band = 0; band < kBandCount; ++band) out += "\tSPECTRAL_NM" + std::to_string(WavelengthOfBand(band));
    out += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t" + std::to_string(samples.size()) + "\nBEGIN_DATA\n";
    for (std::size_t i = 0; i < samples.size(); ++i) {
        out += std::to_string(i + 1) + '\t' + samples[i].name;
        for (std::size_t p = 0; p < codes.size(); ++p) {
            double grams = 0;
            for (const Load& load : samples[i].loads)
                if (load.paste == static_cast<int>(p)) grams = load.grams;
            out += '\t' + FormatNumber(grams);
        }
        for (const double r : samples[i].spectrum) out += '\t' + FormatFixed(r * kPercent, 3);
        out += '\n';
    }
    return out + "END_DATA\n";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

class ColourTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Env("LACQUERON_SOURCE_DIR").empty());
        scratch_ = fs::path(::testing::TempDir()) / ("colour-tool-" + std::to_string(::getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
        tool_ = fs::path(Env("LACQUERON_BINARY_DIR")) / "tools" / "datapack" / "datapack";
        sources_ = fs::path(Env("LACQUERON_SOURCE_DIR")) / "catalogue";
    }
    void TearDown() override { fs::remove_all(scratch_); }

    lacqueron::test::CommandResult Run(const std::string& arguments) {
        return lacqueron::test::RunCommand("'" + tool_.string() + "' " + arguments + " --sources '" +
                                           sources_.string() + "' 2>'" + (scratch_ / "stderr").string() + "'");
    }
    std::string Err() const { return ReadFile(scratch_ / "stderr"); }
    std::string Path(const char* name) const { return (scratch_ / name).string(); }

    fs::path scratch_, tool_, sources_;
};

// The whole path: ladders to a table, a target to a draft the lab mixes, the trial to
// a correction.
TEST_F(ColourTool, CalibrateMatchAndCorrectOnTheTestLab) {
    test::TestLab lab({}, 21);
    std::vector<Measured> ladders;
    for (const LadderSample& sample : lab.Ladders()) ladders.push_back({sample.name, sample.loads, sample.measured});
    WriteFile(Path("ladders.cgats"), Cgats(lab.Codes(), ladders));
    const auto calibrated = Run("calibrate --ladders '" + Path("ladders.cgats") + "' --out '" + Path("optics.txt") + "'");
    ASSERT_EQ(calibrated.status, 0) << Err();
    EXPECT_NE(calibrated.out.find("fit\tmedian\t0."), std::string::npos) << calibrated.out;

    const std::vector<Load> recipe{{0, 90}, {2, 4}, {5, 0.6}};
    const Spectrum target = lab.Measure(recipe);
    WriteFile(Path("target.cgats"), Cgats(lab.Codes(), {{"customer", {}, target}}));
    const auto matched = Run("match --optics '" + Path("optics.txt") + "' --purpose 4 --spectrum '" +
                             Path("target.cgats") + "' --sample customer --top 2");
    ASSERT_EQ(matched.status, 0) << Err();
    const std::vector<std::string> lines = Lines(matched.out);
    ASSERT_GE(lines.size(), 4u);
    const std::vector<std::string> head = Fields(lines[0]);
    ASSERT_GE(head.size(), 9u) << lines[0];
    EXPECT_EQ(head[0], "draft");
    EXPECT_EQ(head[1], "1");
    EXPECT_EQ(head[2], "dE00");
    EXPECT_EQ(head[4], "pastes");
    EXPECT_EQ(head[6], "metamerism");
    EXPECT_EQ(lines[1], "OSN\t1000");
    std::vector<Load> draft;
    std::string poured = "OSN=1000";
    for (std::size_t i = 2; i < lines.size() && !lines[i].empty(); ++i) {
        const std::vector<std::string> f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 2u);
        double grams = 0;
        ASSERT_TRUE(ParseNumber(f[1], grams)) << f[1];
        const auto codes = lab.Codes();
        const int paste = static_cast<int>(std::find(codes.begin(), codes.end(), f[0]) - codes.begin());
        ASSERT_LT(paste, static_cast<int>(codes.size())) << f[0];
        draft.push_back({paste, grams});
        poured += "," + f[0] + "=" + f[1];
    }
    ASSERT_EQ(std::to_string(draft.size()), head[5]);
    const Spectrum trial = lab.Measure(draft);
    EXPECT_LT(DeltaE2000(SpectrumToLab(target), SpectrumToLab(trial)), 1.0);

    WriteFile(Path("trial.cgats"), Cgats(lab.Codes(), {{"trial", {}, trial}}));
    const auto corrected = Run("correct --optics '" + Path("optics.txt") + "' --purpose 4 --spectrum '" +
                               Path("target.cgats") + "' --sample customer --poured " + poured +
                               " --trial-spectrum '" + Path("trial.cgats") + "' --trial-sample trial");
    ASSERT_EQ(corrected.status, 0) << Err();
    EXPECT_EQ(corrected.out.rfind("predicted\tdE00\t", 0), 0u) << corrected.out;
}

TEST_F(ColourTool, LadderWithAPasteTheProgramLacksIsRefusedWithItsLine) {
    test::TestLab lab({}, 2);
    std::vector<std::string> codes = lab.Codes();
    codes[3] = "XYZ";
    std::vector<Measured> ladders;
    for (const LadderSample& sample : lab.Ladders()) ladders.push_back({sample.name, sample.loads, sample.measured});
    WriteFile(Path("ladders.cgats"), Cgats(codes, ladders));
    const auto result = Run("calibrate --ladders '" + Path("ladders.cgats") + "' --out '" + Path("optics.txt") + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(Err().find("ladders.cgats:5: paste code XYZ is unknown to the package"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(Path("optics.txt")));
}

TEST_F(ColourTool, NearestCatalogueColourOfARalColourIsItself) {
    const auto result = Run("nearest --ral 3020 --top 3");
    ASSERT_EQ(result.status, 0) << Err();
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("dE00\t0.00\tcatalogue\tRAL 3020\t", 0), 0u) << lines[0];
}

}  // namespace
