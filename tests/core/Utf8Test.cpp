// The UTF-8 codec: what each reader takes and refuses, and where it stops.
#include "core/Utf8.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace lacqueron {
namespace {

constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

struct ReadCase {
    const char* name;
    std::string bytes;
    char32_t largest;
    std::size_t badOffset;  // kNoOffset when the text is taken
    WideString lenient;     // as a path is read: each malformed sequence one U+FFFD
};

const ReadCase kReadCases[] = {
    {"Empty", "", kLargestCodePoint, kNoOffset, u""},
    {"AsciiAndCyrillic", "RAL 3020 \xd0\xba\xd1\x80\xd0\xb0\xd1\x81\xd0\xbd\xd1\x8b\xd0\xb9", kLargestCodePoint,
     kNoOffset, u"RAL 3020 красный"},
    {"ThreeBytes", "\xe2\x86\x92", kLargestCodePoint, kNoOffset, u"→"},
    {"FourBytesAsPair", "a\xf0\x9f\x8e\xa8", kLargestCodePoint, kNoOffset, u"a\U0001F3A8"},
    {"FourBytesBeyondTheBasicPlane", "ab\xf0\x9f\x8e\xa8", kLargestBasicCodePoint, 2, u"ab\U0001F3A8"},
    {"LoneContinuation", "a\x80z", kLargestCodePoint, 1, u"a\uFFFDz"},
    {"LeadOfFiveBytes", "\xf8\x88\x80\x80\x80", kLargestCodePoint, 0, u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"CutAtTheEnd", "ab\xd0", kLargestCodePoint, 2, u"ab\uFFFD"},
    {"CutByAnotherLead", "\xe2\x86\xd0\xba", kLargestCodePoint, 0, u"\uFFFDк"},
    {"OverlongSlash", "\xc0\xaf/", kLargestCodePoint, 0, u"\uFFFD/"},
    {"OverlongThreeBytes", "x\xe0\x80\xaf", kLargestCodePoint, 1, u"x\uFFFD"},
    {"OverlongFourBytes", "\xf0\x8f\xbf\xbf", kLargestCodePoint, 0, u"\uFFFD"},
    {"EncodedSurrogate", "\xed\xa0\x80", kLargestCodePoint, 0, u"\uFFFD"},
    {"AboveTheLastCodePoint", "\xf4\x90\x80\x80", kLargestCodePoint, 0, u"\uFFFD"},
    {"LastCodePoint", "\xf4\x8f\xbf\xbf", kLargestCodePoint, kNoOffset, u"\U0010FFFF"},
};

class Utf8ReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(Utf8ReadTest, TakesOrRefusesAtTheFirstBadSequence) {
    const ReadCase& c = GetParam();
    WideString out = u"left over";
    std::size_t badOffset = kNoOffset;
    EXPECT_EQ(FromUtf8(c.bytes, out, &badOffset, c.largest), c.badOffset == kNoOffset);
    EXPECT_EQ(badOffset, c.badOffset);
    if (c.badOffset == kNoOffset) {
        EXPECT_EQ(out, c.lenient);
        EXPECT_EQ(ToUtf8(out), c.bytes);
    } else {
        // What came before the bad sequence, read as it is.
        EXPECT_EQ(out, FromUtf8Lenient(c.bytes.substr(0, c.badOffset)));
    }
    EXPECT_EQ(FromUtf8Lenient(c.bytes), c.lenient);
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8ReadTest, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(Utf8Write, WritesAPairAsOneSequenceAndALoneSurrogateAsReplacement) {
    EXPECT_EQ(ToUtf8(u"\U0001F3A8"), "\xf0\x9f\x8e\xa8");
    const char16_t lone[] = {u'a', 0xD83C, u'b', 0xDFA8, 0};
    EXPECT_EQ(ToUtf8(lone), "a\xef\xbf\xbd" "b\xef\xbf\xbd");
}

}  // namespace
}  // namespace lacqueron
