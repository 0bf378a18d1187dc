#include "data/catalogue/Catalogue.h"

#include <gtest/gtest.h>

namespace lacqueron {
namespace {

MixComponent Component(ComponentKind kind, std::int32_t purpose, std::u16string code, std::u16string name) {
    MixComponent m;
    m.kind = kind;
    m.purpose = purpose;
    m.code = std::move(code);
    m.name = std::move(name);
    return m;
}

struct FoldCase {
    std::u16string a;
    std::u16string b;
    bool equal;
};

class FoldLatin : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldLatin, OnlyLatinLettersFold) {
    EXPECT_EQ(EqualFoldLatin(GetParam().a, GetParam().b), GetParam().equal);
    EXPECT_EQ(EqualFoldLatin(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(Pairs, FoldLatin, ::testing::Values(
    FoldCase{u"WHITE", u"white", true},
    FoldCase{u"Ral 9010", u"rAL 9010", true},
    FoldCase{u"Белый", u"белый", false},
    FoldCase{u"ОСНОВА", u"ОСНОВА", true},
    FoldCase{u"AZ", u"az", true},
    FoldCase{u"@[", u"`{", false},  // the neighbours of A-Z and a-z do not fold
    FoldCase{u"É", u"é", false},
    FoldCase{u"ab", u"abc", false},
    FoldCase{u"", u"", true}));

TEST(CatalogueLookup, FindColourReturnsFirstOfEqualNumbers) {
    Catalogue c;
    c.colours.Append({1000, 1, u"RAL 1000", u"first"});
    c.colours.Append({1000, 2, u"RAL 1000", u"second"});
    ASSERT_NE(c.findColour(1000), nullptr);
    EXPECT_EQ(c.findColour(1000)->name, u"first");
    EXPECT_EQ(c.findColour(1001), nullptr);
}

TEST(CatalogueLookup, SettingTakesLastKeyIgnoringLatinCase) {
    Catalogue c;
    c.settings.Append({u"Password", u"one"});
    c.settings.Append({u"APPNAME", u"app"});
    c.settings.Append({u"PASSWORD", u"two"});
    EXPECT_EQ(c.setting(u"password"), u"two");
    EXPECT_EQ(c.setting(u"PHONE"), u"");
}

TEST(CatalogueLookup, FindComponentPassesOverOtherPurposesAndOtherKind) {
    Catalogue c;
    c.components.Append(Component(kOther, 0, u"X", u"other"));
    c.components.Append(Component(kBase, 2, u"X", u"base 2"));
    c.components.Append(Component(kBase, 1, u"B", u"base 1"));
    EXPECT_EQ(c.findComponent(u"x", 2)->name, u"base 2");
    EXPECT_EQ(c.findComponent(u"X", 1), nullptr);  // the code exists, but not for purpose 1
    EXPECT_EQ(c.findComponent(u"B", 2), nullptr);
    EXPECT_EQ(c.findComponent(u"b", 1)->name, u"base 1");
}

TEST(CatalogueLookup, FindComponentTakesFirstOfPigmentAndBase) {
    Catalogue c;
    c.components.Append(Component(kPigment, 0, u"S", u"pigment"));
    c.components.Append(Component(kBase, 3, u"S", u"base"));
    c.components.Append(Component(kBase, 4, u"T", u"base"));
    c.components.Append(Component(kPigment, 0, u"T", u"pigment"));
    EXPECT_EQ(c.findComponent(u"S", 3)->name, u"pigment");
    EXPECT_EQ(c.findComponent(u"T", 4)->name, u"base");
    EXPECT_EQ(c.findComponent(u"T", 5)->name, u"pigment");
}

TEST(CatalogueLookup, CyrillicCodesCompareExactly) {
    Catalogue c;
    c.components.Append(Component(kPigment, 0, u"Ж1", u"upper"));
    EXPECT_NE(c.findComponent(u"Ж1", 1), nullptr);
    EXPECT_EQ(c.findComponent(u"ж1", 1), nullptr);
}

TEST(CatalogueLookup, FindTermComponentAllowsOtherKindAndOwnPurposeOnly) {
    Catalogue c;
    c.components.Append(Component(kBase, 2, u"A", u"base 2"));
    c.components.Append(Component(kOther, 0, u"A", u"other"));
    c.components.Append(Component(kBase, 1, u"C", u"base 1"));
    EXPECT_EQ(c.findTermComponent(u"a", 1)->name, u"other");
    EXPECT_EQ(c.findTermComponent(u"A", 2)->name, u"base 2");
    EXPECT_EQ(c.findTermComponent(u"C", 1)->name, u"base 1");
    EXPECT_EQ(c.findTermComponent(u"C", 2), nullptr);
}

TEST(CatalogueLookup, RecordsKeepTheirAddressWhileTheListGrows) {
    Catalogue c;
    std::vector<const ColourRecipe*> addresses;
    for (int i = 0; i < 35; ++i) addresses.push_back(&c.recipes.Append({i, u"RAL " + std::u16string(1, u'0' + i % 10), {}}));
    for (int i = 0; i < 35; ++i) EXPECT_EQ(&c.recipes[i], addresses[i]);
    EXPECT_EQ(c.recipes[34].number, 34);
}

}  // namespace
}  // namespace lacqueron
