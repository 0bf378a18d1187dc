#include <gtest/gtest.h>

#include "TextTestSupport.h"

namespace lacqueron {
namespace {

using test::Items;
using test::NewList;
using test::Widen;
using test::Strings;

enum class How { Text, Char, Any };

struct SplitCase {
    const char* name;
    How how;
    std::string text;  // may hold zeros
    std::string separator;
    std::int32_t length;
    Strings expected;
};

std::ostream& operator<<(std::ostream& out, const SplitCase& c) { return out << c.name; }

std::string Z(const char* text, std::size_t n) { return std::string(text, n); }

const SplitCase kSplitCases[] = {
    {"TabFieldsWithTrailingEmpty", How::Text, "A\tB\t", "\t", -1, {"A", "B", ""}},
    {"EmptyTextGivesNoField", How::Text, "", "\t", -1, {}},
    {"OneCharacter", How::Text, "x", "\t", -1, {"x"}},
    {"NoSeparatorGivesWholeText", How::Text, "abc", ";", -1, {"abc"}},
    {"LeadingAndAdjacent", How::Text, ";a;;b", ";", -1, {"", "a", "", "b"}},
    {"OnlySeparators", How::Text, ";;", ";", -1, {"", "", ""}},
    {"TwoCharacterSeparator", How::Text, "a--b", "--", -1, {"a", "b"}},
    {"MatchesDoNotOverlap", How::Text, "a---b", "--", -1, {"a", "-b"}},
    {"FourDashesTwoMatches", How::Text, "a----b", "--", -1, {"a", "", "b"}},
    {"SeparatorMustFitTheLength", How::Text, "ab-", "--", -1, {"ab-"}},
    {"LengthLimitsTheScan", How::Text, "a;b;c", ";", 3, {"a", "b"}},
    {"LengthCutsASeparatorInHalf", How::Text, "a--b", "--", 2, {"a-"}},
    {"ZeroLengthGivesNothing", How::Text, "a;b", ";", 0, {}},
    {"NegativeLengthGivesNothing", How::Text, "a;b", ";", -5, {}},
    {"ExplicitLengthPastZero", How::Text, Z("a\0b;c", 5), ";", 5, {"a", "c"}},
    {"ZeroSeparatedList", How::Text, Z("one\0two\0\0", 9), "", -1, {"one", "two"}},
    {"ZeroSeparatedEmptyList", How::Text, Z("\0\0", 2), "", -1, {}},
    {"ZeroSeparatedWithLength", How::Text, Z("a\0b\0c", 5), "", 3, {"a", "b"}},
    {"CharSplit", How::Char, "1,2,,3,", ",", -1, {"1", "2", "", "3", ""}},
    {"CharZeroIsZeroSeparated", How::Char, Z("x\0y\0\0", 5), Z("\0", 1), -1, {"x", "y"}},
    {"AnyOfASet", How::Any, "a b\tc  d", " \t", -1, {"a", "b", "c", "", "d"}},
    {"AnyWithLength", How::Any, "a,b;c", ",;", 3, {"a", "b"}},
    {"AnyEmptySetIsZeroSeparated", How::Any, Z("p\0q\0\0", 5), "", -1, {"p", "q"}},
};

template <class Char>
Strings RunSplit(const SplitCase& c, std::uint32_t& returned) {
    auto list = NewList<Char>();
    list->Insert(Widen<Char>("kept").c_str(), -1);
    const auto text = Widen<Char>(c.text);
    const auto separator = Widen<Char>(c.separator);
    switch (c.how) {
    case How::Text: returned = list->Split(text.c_str(), separator.c_str(), c.length); break;
    case How::Char: returned = list->SplitAtChar(text.c_str(), separator[0], c.length); break;
    case How::Any: returned = list->SplitAtAny(text.c_str(), separator.c_str(), c.length); break;
    }
    Strings items = Items(list.get());
    EXPECT_EQ("kept", items.at(0)) << "the list is not cleared first";
    items.erase(items.begin());
    return items;
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, NarrowAndWideGiveTheFields) {
    const SplitCase& c = GetParam();
    std::uint32_t returned = 0;
    EXPECT_EQ(c.expected, RunSplit<char>(c, returned));
    EXPECT_EQ(c.expected.size(), returned);
    EXPECT_EQ(c.expected, RunSplit<char16_t>(c, returned));
    EXPECT_EQ(c.expected.size(), returned);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitTest, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Split, NullTextAppendsNothing) {
    auto list = CreateNarrowStringList();
    EXPECT_EQ(0u, list->Split(nullptr, ";", -1));
    EXPECT_EQ(0u, list->SplitAtChar(nullptr, ';', 10));
    EXPECT_EQ(0u, list->SplitAtAny(nullptr, ";", 10));
    EXPECT_EQ(0u, list->GetCount());
}

}  // namespace
}  // namespace lacqueron
