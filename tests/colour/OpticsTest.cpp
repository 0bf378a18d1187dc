// The optics table's text: written and read back exactly, and every bad file refused
// with its line and reason.
#include <gtest/gtest.h>

#include <string>

#include "colour/Optics.h"

namespace {

using namespace lacqueron::colour;

OpticsTable SampleTable() {
    OpticsTable table;
    table.surface = {0.04, 0.5725};
    table.falloff = 0.00123;
    for (int band = 0; band < kBandCount; ++band) {
        table.baseK[band] = 1e-4 * band;
        table.baseS[band] = 0.001;
    }
    for (const char* code : {"WHT", "BLU"}) {
        PasteOptics paste{code, {}, {}};
        for (int band = 0; band < kBandCount; ++band) {
            paste.k[band] = 0.1 / (band + 1) + (code[0] == 'B' ? 3.0 : 0.0);
            paste.s[band] = 1.0 / 3.0 + band;
        }
        table.pastes.push_back(paste);
    }
    return table;
}

TEST(Optics, WrittenTableReadsBackExactly) {
    const OpticsTable table = SampleTable();
    OpticsTable read;
    OpticsError error;
    ASSERT_TRUE(ReadOptics(WriteOptics(table), read, error)) << error.line << ": " << error.reason;
    EXPECT_EQ(read.surface.k1, table.surface.k1);
    EXPECT_EQ(read.surface.k2, table.surface.k2);
    EXPECT_EQ(read.falloff, table.falloff);
    EXPECT_EQ(read.baseK, table.baseK);
    ASSERT_EQ(read.pastes.size(), 2u);
    EXPECT_EQ(read.pastes[1].code, "BLU");
    EXPECT_EQ(read.pastes[1].k, table.pastes[1].k);
    EXPECT_EQ(read.pastes[1].s, table.pastes[1].s);
    EXPECT_EQ(WriteOptics(read), WriteOptics(table));
}

struct BadFile {
    std::string name;
    // Applied to the lines of a good table (line 1 is "optics\t1").
    int line;
    std::string replacement;  // the whole line; "" drops it
    int reportedLine;         // 0: the whole file
    std::string reason;       // a part of the reason
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Bands(const char* value, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::string("\t") + value;
    return text;
}

const std::vector<BadFile> kBadFiles = {
    {"NotAnOpticsTable", 1, "colours\t1", 1, "not an optics table"},
    {"UnknownVersion", 1, "optics\t2", 1, "version 2"},
    {"SurfaceOutOfRange", 2, "surface\t0.04\t1.5", 2, "[0, 1)"},
    {"TextInANumber", 3, "falloff\t0,5", 3, "not a number: \"0,5\""},
    {"NegativeFalloff", 3, "falloff\t-1", 3, "must not be negative"},
    {"BandMissing", 4, "base\tK" + Bands("0", kBandCount - 1), 4, "has 30"},
    {"NegativeBand", 6, "paste\tWHT\tK" + Bands("-0.5", kBandCount), 6, "negative value at 400 nm"},
    {"NoKOrS", 6, "paste\tWHT\tX" + Bands("1", kBandCount), 6, "expected K or S"},
    {"Twice", 7, "paste\tWHT\tK" + Bands("1", kBandCount), 7, "K given twice"},
    {"PasteWithoutS", 7, "", 0, "paste WHT needs both"},
    {"UnknownLine", 3, "strength\t1", 3, "unknown line \"strength\""},
    {"NoSurface", 2, "", 0, "no surface line"},
};

class BadOpticsFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadOpticsFile, IsRefusedWithLineAndReason) {
    const BadFile& bad = GetParam();
    std::vector<std::string> lines = Lines(WriteOptics(SampleTable()));
    ASSERT_LE(bad.line, static_cast<int>(lines.size()));
    std::string text;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (i + 1 != bad.line) text += lines[i] + '\n';
        else if (!bad.replacement.empty()) text += bad.replacement + '\n';
    }
    OpticsTable table;
    OpticsError error;
    ASSERT_FALSE(ReadOptics(text, table, error));
    EXPECT_EQ(error.line, bad.reportedLine);
    EXPECT_NE(error.reason.find(bad.reason), std::string::npos) << error.reason;
}

INSTANTIATE_TEST_SUITE_P(Reasons, BadOpticsFile, ::testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return info.param.name; });

TEST(Optics, EmptyTextIsRefused) {
    OpticsTable table;
    OpticsError error;
    EXPECT_FALSE(ReadOptics("", table, error));
    EXPECT_FALSE(ReadOptics("\r\n# nothing\n", table, error));
}

}  // namespace
