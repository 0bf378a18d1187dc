// The datapack tool as the build and package authors run it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/RunCommand.h"
#include "tests/support/WholeFile.h"

namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path SourceDir() { return Env("LACQUERON_SOURCE_DIR"); }
fs::path ShippedSources() { return SourceDir() / "catalogue"; }
fs::path Tool() { return fs::path(Env("LACQUERON_BINARY_DIR")) / "tools" / "datapack" / "datapack"; }

using lacqueron::test::ReadFile;
using lacqueron::test::WriteFile;

// The command's exit code and standard output, and its standard error apart.
struct Outcome : lacqueron::test::CommandResult {
    std::string err;
};

class DatapackTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Env("LACQUERON_SOURCE_DIR").empty());
        ASSERT_TRUE(fs::exists(Tool())) << Tool();
        scratch_ = fs::path(::testing::TempDir()) / ("datapack-" + std::to_string(::getpid()) + "-" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override { fs::remove_all(scratch_); }

    Outcome Run(const std::string& arguments) const {
        const fs::path err = scratch_ / "stderr";
        // A braced list runs the command before reading what it wrote.
        return {lacqueron::test::RunCommand("'" + Tool().string() + "' " + arguments + " 2>'" + err.string() + "'"),
                ReadFile(err)};
    }
    Outcome Lint(const fs::path& sources) const { return Run("lint --sources '" + sources.string() + "'"); }
    Outcome Build(const fs::path& sources, const fs::path& package) const {
        return Run("build --sources '" + sources.string() + "' --out '" + package.string() + "'");
    }
    Outcome Decode(const fs::path& package, const fs::path& out) const {
        return Run("decode --package '" + package.string() + "' --out '" + out.string() + "'");
    }

    // A copy of the shipped sources in which some files are replaced.
    fs::path Sources(const std::vector<std::pair<std::string, std::string>>& replaced) const {
        const fs::path dir = scratch_ / "sources";
        fs::create_directories(dir);
        for (const char* name : kFiles) fs::copy_file(ShippedSources() / name, dir / name, fs::copy_options::overwrite_existing);
        for (const auto& [name, content] : replaced) WriteFile(dir / name, content);
        return dir;
    }

    static constexpr const char* kFiles[] = {"settings.txt", "colours.txt", "recipes.txt", "components.txt",
                                             "picture.bmp",  "key.txt"};
    fs::path scratch_;
};

TEST_F(DatapackTool, ShippedSourcesLintClean) {
    const Outcome lint = Lint(ShippedSources());
    EXPECT_EQ(lint.status, 0) << lint.out << lint.err;
    EXPECT_EQ(lint.out, "");
}

TEST_F(DatapackTool, DecodeGivesBackTheSourcesByteForByte) {
    const fs::path package = scratch_ / "Package.cpp";
    const fs::path decoded = scratch_ / "decoded";
    ASSERT_EQ(Build(ShippedSources(), package).status, 0);
    const Outcome decode = Decode(package, decoded);
    ASSERT_EQ(decode.status, 0) << decode.err;
    for (const char* name : kFiles) {
        const std::string original = ReadFile(ShippedSources() / name);
        ASSERT_FALSE(original.empty()) << name;
        EXPECT_TRUE(ReadFile(decoded / name) == original) << name << " differs after build and decode";
    }
}

TEST_F(DatapackTool, SameSourcesGiveTheSamePackageSource) {
    ASSERT_EQ(Build(ShippedSources(), scratch_ / "a.cpp").status, 0);
    ASSERT_EQ(Build(ShippedSources(), scratch_ / "b.cpp").status, 0);
    EXPECT_TRUE(ReadFile(scratch_ / "a.cpp") == ReadFile(scratch_ / "b.cpp"));
}

TEST_F(DatapackTool, LintNamesFileAndEditorLineOfEveryFinding) {
    const fs::path dir = Sources({
        {"settings.txt", "APPNAME\tTest\nno value here\n"},
        {"colours.txt", "RAL 1000\t1-2-3\t\tA\n\nRAL 2000\t1-2-3\n\nRAL 3000\t1-2-3\t\tB\n"},
        {"recipes.txt", "B\t1\nRAL 1000\nB\t1\nW\t1\n\nRAL 4000\nB\t1\nW\t1\n"},
        {"components.txt", "B1\tBase\tB\t1\nB7\tBase\tB\t1\nP\tWhite\tW\t2\n\nB2|B*1+ W*1\tBase\tB\n"},
        {"picture.bmp", "BM not really"},
    });
    const Outcome lint = Lint(dir);
    EXPECT_EQ(lint.status, 1);
    const std::vector<std::string> expected = {
        "settings.txt:2: passed over: ",
        "colours.txt:3: passed over: ",
        "colours.txt:5: RAL 3000 has no recipe",
        "recipes.txt:1: passed over: ",
        "recipes.txt:6: RAL 4000 has no colour",
        "components.txt:2: passed over: base purpose \"7\"",
        "components.txt:5: the density of base B (purpose 2) cannot be computed",
        "picture.bmp: ",
    };
    const std::string output = "\n" + lint.out;
    for (const std::string& line : expected) EXPECT_NE(output.find("\n" + line), std::string::npos) << line << "\nin:\n" << lint.out;
    EXPECT_EQ(lint.out.find("colours.txt:1:"), std::string::npos) << lint.out;
}

TEST_F(DatapackTool, LintReportsRecipesTheProgramCannotCompute) {
    const fs::path dir = Sources({
        {"colours.txt", "RAL 1000\t1-2-3\t\tA\n"},
        {"recipes.txt", "RAL 1000\nB\t1\nW\t1\n"},
        {"components.txt", "B1\tBase\tB\t1\nP\tWhite\tW\t2\n"},
    });
    const Outcome lint = Lint(dir);
    EXPECT_EQ(lint.status, 1);
    EXPECT_NE(lint.out.find("recipes.txt:1: RAL 1000 gives \"!!! ФОРМУЛА НЕКОРРЕКТНА !!!\" for purpose/unit 2/g 2/ml"),
              std::string::npos)
        << lint.out;
    EXPECT_EQ(lint.out.find(" 1/g"), std::string::npos) << lint.out;
}

// Spreadsheets put these in as thousands separators; the program then reads "1 000" as 1.
struct InvisibleInNumber {
    const char* name;
    std::string file;
    std::string content;
    std::string finding;  // the start of the line lint must print, or "" for none on line 1
};

class DatapackInvisibleInNumber : public DatapackTool, public ::testing::WithParamInterface<InvisibleInNumber> {};

TEST_P(DatapackInvisibleInNumber, LintNamesTheFieldAndTheCharacter) {
    const Outcome lint = Lint(Sources({{GetParam().file, GetParam().content}}));
    if (GetParam().finding.empty()) {
        EXPECT_EQ(("\n" + lint.out).find("\n" + GetParam().file + ":1: "), std::string::npos) << lint.out;
        return;
    }
    EXPECT_EQ(lint.status, 1);
    EXPECT_NE(("\n" + lint.out).find("\n" + GetParam().finding), std::string::npos) << lint.out << lint.err;
}

INSTANTIATE_TEST_SUITE_P(Characters, DatapackInvisibleInNumber, ::testing::Values(
    InvisibleInNumber{"NoBreakSpaceInAmount", "recipes.txt", "RAL 1000\nOSN\t1\u00A0000\n",
                      "recipes.txt:2: amount \"1\\u00A0000\" holds U+00A0 (no-break space)"},
    InvisibleInNumber{"ThinSpaceInDensity", "components.txt", "P\tWhite\tW\t1\u2009050\n",
                      "components.txt:1: density \"1\\u2009050\" holds U+2009 (thin space)"},
    InvisibleInNumber{"NarrowNoBreakSpaceInFormula", "components.txt", "P\tWhite\tW\t1\nB1|W*1\u202F5\tBase\tB\n",
                      "components.txt:2: formula amount \"1\\u202F5\" holds U+202F (narrow no-break space)"},
    InvisibleInNumber{"NoBreakSpaceInPigmentFactor", "components.txt", "B1|W*1|^p1\u00A05\tBase\tB\n",
                      "components.txt:1: pigment factor \"1\\u00A05\" holds U+00A0"},
    InvisibleInNumber{"ZeroWidthSpaceInColourValue", "colours.txt", "RAL 1000\t205-\u200B186-136\t\tA\n",
                      "colours.txt:1: colour value \"\\u200B186\" holds U+200B (zero-width space)"},
    InvisibleInNumber{"ByteOrderMarkInRecipeNumber", "recipes.txt", "RAL 1000\n\nRAL \uFEFF1001\n",
                      "recipes.txt:3: recipe number \"\\uFEFF1001\" holds U+FEFF"},
    InvisibleInNumber{"NoBreakSpaceInNameIsText", "colours.txt", "RAL 1000\t205-186-136\t\tGreen\u00A0beige\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadInput {
    const char* name;
    std::string file;
    std::string content;
    std::string message;
};

class DatapackBadInput : public DatapackTool, public ::testing::WithParamInterface<BadInput> {};

TEST_P(DatapackBadInput, RefusedWithMessageNamingThePlace) {
    const fs::path dir = Sources({{GetParam().file, GetParam().content}});
    for (const Outcome& outcome : {Lint(dir), Build(dir, scratch_ / "p.cpp")}) {
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.err.find(GetParam().message), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(fs::exists(scratch_ / "p.cpp"));
}

INSTANTIATE_TEST_SUITE_P(Sources, DatapackBadInput, ::testing::Values(
    BadInput{"NotIn1251", "colours.txt", "RAL 1000\t1-2-3\t\tA\nRAL 1001\t1-2-3\t\tM\u0101ori\n",
             "colours.txt:2: character U+0101"},
    BadInput{"BrokenUtf8", "recipes.txt", "RAL 1000\n\xd0\n", "recipes.txt:2: not valid UTF-8"},
    BadInput{"KeyTooShort", "key.txt", "# comment\n00112233\n", "key.txt:2: expected 32 hex digits"},
    BadInput{"KeyWithoutVector", "key.txt", "00112233445566778899aabbccddeeff\n", "key.txt: needs the key and the vector"},
    BadInput{"KeyThirdLine", "key.txt", "00112233445566778899aabbccddeeff\n00112233445566778899aabbccddeeff\nff\n",
             "key.txt:3: only two lines"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DatapackTool, MissingFilesAndBadPackagesGiveClearMessages) {
    const fs::path missing = scratch_ / "missing";
    Outcome outcome = Lint(missing);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("cannot read " + (missing / "settings.txt").string()), std::string::npos) << outcome.err;

    outcome = Decode(scratch_ / "none.cpp", scratch_ / "d");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("cannot read"), std::string::npos) << outcome.err;

    WriteFile(scratch_ / "junk.cpp", "int main() {}\n");
    outcome = Decode(scratch_ / "junk.cpp", scratch_ / "d");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("no array kSettings"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(scratch_ / "d"));
}

struct DamagedPackage {
    const char* name;
    std::string from;
    std::string to;
    std::string message;
};

class DatapackDamagedPackage : public DatapackTool, public ::testing::WithParamInterface<DamagedPackage> {};

TEST_P(DatapackDamagedPackage, DecodeRefusesWithReason) {
    const fs::path package = scratch_ / "Package.cpp";
    ASSERT_EQ(Build(ShippedSources(), package).status, 0);
    std::string text = ReadFile(package);
    const std::size_t at = text.find(GetParam().from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, GetParam().from.size(), GetParam().to);
    WriteFile(package, text);
    const Outcome outcome = Decode(package, scratch_ / "d");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find(GetParam().message), std::string::npos) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(Edits, DatapackDamagedPackage, ::testing::Values(
    DamagedPackage{"BadByte", "kColours[] = {\n    0x", "kColours[] = {\n    0xg", "kColours holds something other than 0xNN"},
    DamagedPackage{"ShortKeyPair", "kKeyPair[] = {\n    0x", "kKeyPair[] = {\n    0x00, 0x", "kKeyPair must hold 32 bytes"},
    DamagedPackage{"UnclosedPicture", "};\n\nconst std::uint8_t kKeyPair", "\nconst std::uint8_t kKeyPair", "kPicture"},
    DamagedPackage{"TooShortSection", "kRecipes[] = {", "kRecipes[] = {};\nconst std::uint8_t kUnused[] = {", "recipes.txt cannot be decoded"}),
    [](const auto& info) { return std::string(info.param.name); });

class DatapackUsage : public DatapackTool, public ::testing::WithParamInterface<const char*> {};

TEST_P(DatapackUsage, BadUsageExitsWithTwo) {
    const Outcome outcome = Run(GetParam());
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("usage"), std::string::npos) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, DatapackUsage, ::testing::Values(
    "", "frobnicate", "build", "build --sources", "build --sources a", "build --sources a --out b --extra c",
    "lint --sources a --sources b", "decode --out d"));

}  // namespace
