#include "data/text/StringList.h"

#include <gtest/gtest.h>

#include "TextTestSupport.h"

namespace lacqueron {
namespace {

using test::Items;
using test::NewList;
using test::Widen;
using test::Strings;

template <class Char>
class StringListTest : public ::testing::Test {
protected:
    RefPtr<IStringList<Char>> list = NewList<Char>();

    void Fill(const Strings& texts) {
        for (const auto& t : texts) ASSERT_EQ(1, list->Insert(Widen<Char>(t).c_str(), -1));
    }
    std::basic_string<Char> W(const std::string& t) { return Widen<Char>(t); }
};

using Variants = ::testing::Types<char, char16_t>;
TYPED_TEST_SUITE(StringListTest, Variants);

TYPED_TEST(StringListTest, InsertPlacesTheNewItem) {
    struct Case {
        std::int32_t position;
        Strings expected;
    };
    const Case cases[] = {
        {-1, {"a", "b", "c", "new"}}, {0, {"new", "a", "b", "c"}}, {1, {"a", "new", "b", "c"}},
        {2, {"a", "b", "new", "c"}},  {3, {"a", "b", "c", "new"}}, {100, {"a", "b", "c", "new"}},
    };
    for (const auto& c : cases) {
        this->list->Clear();
        this->Fill({"a", "b", "c"});
        EXPECT_EQ(1, this->list->Insert(this->W("new").c_str(), c.position));
        EXPECT_EQ(c.expected, Items(this->list.get())) << "position " << c.position;
    }
    EXPECT_EQ(0, this->list->Insert(this->W("x").c_str(), -2));
    EXPECT_EQ(4u, this->list->GetCount());
}

TYPED_TEST(StringListTest, StoresCopiesCutAtZeroAndEmptyAsNull) {
    auto text = this->W("abc");
    this->list->Insert(text.c_str(), -1);
    text[0] = 'z';
    this->list->Insert(this->W(std::string("de\0f", 4)).c_str(), -1);
    this->list->Insert(this->W("").c_str(), -1);
    this->list->Insert(nullptr, -1);
    EXPECT_EQ((Strings{"abc", "de", "", ""}), Items(this->list.get()));
    ASSERT_NE(nullptr, this->list->GetAt(2));
    EXPECT_EQ(0, this->list->GetAt(2)[0]);
}

TYPED_TEST(StringListTest, IndexesPastTheEndAreRefused) {
    this->Fill({"a", "b"});
    EXPECT_EQ(nullptr, this->list->GetAt(2));
    EXPECT_EQ(nullptr, this->list->GetAt(static_cast<std::uint32_t>(-1)));
    EXPECT_EQ(0, this->list->SetAt(2, this->W("x").c_str()));
    EXPECT_EQ(0, this->list->RemoveAt(2));
    EXPECT_EQ((Strings{"a", "b"}), Items(this->list.get()));
}

TYPED_TEST(StringListTest, SetAtRemoveAtAndClear) {
    this->Fill({"a", "b", "c", "d"});
    EXPECT_EQ(1, this->list->SetAt(1, this->W("bb").c_str()));
    EXPECT_EQ(1, this->list->SetAt(2, this->W("").c_str()));
    EXPECT_EQ(1, this->list->RemoveAt(0));
    EXPECT_EQ((Strings{"bb", "", "d"}), Items(this->list.get()));
    EXPECT_EQ(1, this->list->RemoveAt(2));
    EXPECT_EQ((Strings{"bb", ""}), Items(this->list.get()));
    this->list->Clear();
    EXPECT_EQ(0u, this->list->GetCount());
    this->Fill({"again"});
    EXPECT_EQ((Strings{"again"}), Items(this->list.get()));
}

TYPED_TEST(StringListTest, SetAtGrowAppendsEmptyItems) {
    this->Fill({"a"});
    EXPECT_EQ(1, this->list->SetAtGrow(3, this->W("d").c_str()));
    EXPECT_EQ((Strings{"a", "", "", "d"}), Items(this->list.get()));
    EXPECT_EQ(1, this->list->SetAtGrow(1, this->W("b").c_str()));
    EXPECT_EQ((Strings{"a", "b", "", "d"}), Items(this->list.get()));
}

TYPED_TEST(StringListTest, ManyItemsKeepTheirOrder) {
    Strings expected;
    for (int i = 0; i < 1000; ++i) expected.push_back(std::to_string(i));
    this->Fill(expected);
    EXPECT_EQ(expected, Items(this->list.get()));
}

TYPED_TEST(StringListTest, FindFoldsOnlyLatinLetters) {
    this->Fill({"Alpha", "", "beta", "BETA", "Zz@["});
    struct Case {
        std::string text;
        int flags;
        int found;
        std::uint32_t index;
    };
    const Case cases[] = {
        {"beta", 0, 1, 2}, {"BETA", 0, 1, 3}, {"Beta", 0, 0, 0},   {"Beta", 1, 1, 2},
        {"alpha", 1, 1, 0}, {"", 0, 1, 1},   {"zZ@[", 1, 1, 4},   {"zz`{", 1, 0, 0},
        {"Alph", 1, 0, 0},
    };
    for (const auto& c : cases) {
        std::uint32_t index = 99;
        EXPECT_EQ(c.found, this->list->Find(this->W(c.text).c_str(), c.flags, &index)) << c.text;
        if (c.found) {
            EXPECT_EQ(c.index, index) << c.text;
        }
    }
}

TEST(StringListFind, CyrillicComparesExactly) {
    auto list = CreateWideStringList();
    list->Insert(u"Краска", -1);
    std::uint32_t index = 0;
    EXPECT_EQ(0, list->Find(u"краска", 1, &index));
    EXPECT_EQ(1, list->Find(u"Краска", 1, &index));
}

TYPED_TEST(StringListTest, JoinWritesItemsAndReportsTheSize) {
    struct Case {
        Strings items;
        char separator;
        std::string expected;  // with its terminating zeros
    };
    const Case cases[] = {
        {{}, ';', std::string("\0", 1)},
        {{"a"}, ';', std::string("a\0", 2)},
        {{"a", "", "bc"}, ';', std::string("a;;bc\0", 6)},
        {{}, '\0', std::string("\0\0", 2)},
        {{"a", "bc"}, '\0', std::string("a\0bc\0\0", 6)},
    };
    for (const auto& c : cases) {
        this->list->Clear();
        this->Fill(c.items);
        const auto separator = static_cast<TypeParam>(c.separator);
        const std::uint32_t size = this->list->Join(nullptr, separator);
        ASSERT_EQ(c.expected.size(), size);
        std::basic_string<TypeParam> out(size + 1, TypeParam('#'));
        EXPECT_EQ(size, this->list->Join(out.data(), separator));
        EXPECT_EQ(this->W(c.expected + "#"), out);
    }
}

TYPED_TEST(StringListTest, ZeroSeparatedJoinSplitsBack) {
    this->Fill({"one", "two", "three"});
    std::basic_string<TypeParam> joined(this->list->Join(nullptr, 0), TypeParam(0));
    this->list->Join(joined.data(), 0);
    auto copy = NewList<TypeParam>();
    EXPECT_EQ(3u, copy->Split(joined.c_str(), nullptr, -1));
    EXPECT_EQ(Items(this->list.get()), Items(copy.get()));
}

TEST(StringListCreate, FromTextSplits) {
    auto narrow = CreateNarrowStringList("A\tB\t");
    ASSERT_TRUE(narrow);
    EXPECT_EQ((Strings{"A", "B", ""}), Items(narrow.get()));
    auto wide = CreateWideStringList(u"x, y, z", u", ");
    ASSERT_TRUE(wide);
    EXPECT_EQ((Strings{"x", "y", "z"}), Items(wide.get()));
    EXPECT_EQ(0u, CreateNarrowStringList("")->GetCount());
    EXPECT_EQ(0u, CreateWideStringList(nullptr, u",")->GetCount());
}

}  // namespace
}  // namespace lacqueron
