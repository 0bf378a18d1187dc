#include <gtest/gtest.h>

#include "data/text/ColourText.h"

namespace lacqueron {
namespace {

constexpr std::uint32_t kUnchanged = 0xABCDEF;

struct ColourCase {
    const char16_t* text;
    bool read;
    std::uint32_t rgb;  // red in the low byte
};

class ParseColourTextTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ParseColourTextTest, ReadsThreeChannelsOrNothing) {
    std::uint32_t rgb = kUnchanged;
    EXPECT_EQ(ParseColourText(GetParam().text, rgb), GetParam().read);
    EXPECT_EQ(rgb, GetParam().read ? GetParam().rgb : kUnchanged);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseColourTextTest, ::testing::Values(
    ColourCase{u"200-30-40", true, 0x281EC8}, ColourCase{u"0-0-0", true, 0}, ColourCase{u"255-255-255", true, 0xFFFFFF},
    ColourCase{u" 1 - 2 - 3 ", true, 0x030201}, ColourCase{u"007-0-0", true, 7},
    ColourCase{u"", false, 0}, ColourCase{u"1-2", false, 0}, ColourCase{u"1-2-3-4", false, 0},
    ColourCase{u"256-0-0", false, 0}, ColourCase{u"1--3", false, 0}, ColourCase{u"-1-2-3", false, 0},
    ColourCase{u"1-2-", false, 0}, ColourCase{u"a-2-3", false, 0}, ColourCase{u"1 2-3-4", false, 0},
    ColourCase{u"0001-0-0", false, 0}, ColourCase{u"1,5-2-3", false, 0}));

TEST(FormatColourText, WritesWhatParseReads) {
    for (std::uint32_t rgb : {0u, 0x281EC8u, 0xFFFFFFu, 0x010203u}) {
        std::uint32_t back = kUnchanged;
        EXPECT_TRUE(ParseColourText(FormatColourText(rgb), back));
        EXPECT_EQ(back, rgb);
    }
    EXPECT_EQ(FormatColourText(0x281EC8), u"200-30-40");
}

}  // namespace
}  // namespace lacqueron
