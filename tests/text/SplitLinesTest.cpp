#include <gtest/gtest.h>

#include "TextTestSupport.h"
#include "data/text/TextTools.h"

namespace lacqueron {
namespace {

using test::Items;
using test::Strings;

struct LinesCase {
    const char* name;
    std::string bytes;
    Strings kept;     // empty lines delivered
    Strings dropped;  // empty lines passed over
};

std::ostream& operator<<(std::ostream& out, const LinesCase& c) { return out << c.name; }

const LinesCase kLinesCases[] = {
    {"CrLfPairs", "A\r\n\r\nB", {"A", "", "B"}, {"A", "B"}},
    {"TwoCrsMakeNoEmptyLine", "A\r\rB", {"A", "B"}, {"A", "B"}},
    {"LfCrMakesAnEmptyLine", "A\n\rB", {"A", "", "B"}, {"A", "B"}},
    {"TwoLfs", "A\n\nB", {"A", "", "B"}, {"A", "B"}},
    {"TrailingTerminatorAddsNothing", "A\r\n", {"A"}, {"A"}},
    {"OnlyCrLf", "\r\n", {""}, {}},
    {"LeadingLf", "\nA", {"", "A"}, {"A"}},
    {"Empty", "", {}, {}},
    {"NoTerminator", "one line", {"one line"}, {"one line"}},
    {"NothingTrimmed", " a\t \r\n\tb ", {" a\t ", "\tb "}, {" a\t ", "\tb "}},
    {"ZeroCutsTheStoredLine", std::string("ab\0cd\nef", 8), {"ab", "ef"}, {"ab", "ef"}},
    {"LineOfAZeroIsEmpty", std::string("\0\nx", 3), {"", "x"}, {"", "x"}},
    {"HighBytesPassThrough", "\xCA\xF0\xE0\xF1\xEA\xE0\r\n", {"\xCA\xF0\xE0\xF1\xEA\xE0"}, {"\xCA\xF0\xE0\xF1\xEA\xE0"}},
};

RefPtr<IByteBuffer> BufferOf(const std::string& bytes) {
    auto buffer = CreateByteBuffer(0, 0);
    if (buffer && !bytes.empty()) buffer->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), nullptr);
    return buffer;
}

class SplitLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitLinesTest, GivesTheLines) {
    const LinesCase& c = GetParam();
    auto buffer = BufferOf(c.bytes);
    ASSERT_TRUE(buffer);
    auto kept = SplitLines(buffer.get(), kKeepEmptyLines);
    ASSERT_TRUE(kept);
    EXPECT_EQ(c.kept, Items(kept.get()));
    // Reads from the start whatever the cursor.
    auto dropped = SplitLines(buffer.get(), kDropEmptyLines);
    ASSERT_TRUE(dropped);
    EXPECT_EQ(c.dropped, Items(dropped.get()));
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitLinesTest, ::testing::ValuesIn(kLinesCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SplitLines, NullBufferGivesNull) {
    EXPECT_FALSE(SplitLines(nullptr, kKeepEmptyLines));
}

TEST(SplitLines, LargeSection) {
    std::string bytes;
    Strings expected;
    for (int i = 0; i < 3000; ++i) {
        expected.push_back("RAL " + std::to_string(1000 + i) + "\t" + std::to_string(i));
        bytes += expected.back() + "\r\n";
    }
    auto lines = SplitLines(BufferOf(bytes).get(), kDropEmptyLines);
    ASSERT_TRUE(lines);
    EXPECT_EQ(expected, Items(lines.get()));
}

}  // namespace
}  // namespace lacqueron
