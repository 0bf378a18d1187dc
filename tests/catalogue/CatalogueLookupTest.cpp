#include "data/catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

struct Query {
    std::u16string code;
    std::int32_t purpose;
    const char16_t* found;  // the name of the component found; nullptr: none
};

struct LookupCase {
    const char* name;
    bool term;  // findTermComponent rather than findComponent
    std::vector<MixComponent> components;
    std::vector<Query> queries;
};

class ComponentLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ComponentLookup, FindsTheExpectedComponent) {
    Catalogue c;
    for (const MixComponent& component : GetParam().components) c.components.Append(component);
    for (std::size_t i = 0; i < GetParam().queries.size(); ++i) {
        const Query& query = GetParam().queries[i];
        SCOPED_TRACE("query " + std::to_string(i));
        const MixComponent* found =
            GetParam().term ? c.findTermComponent(query.code, query.purpose) : c.findComponent(query.code, query.purpose);
        if (!query.found) {
            EXPECT_EQ(found, nullptr);
            continue;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->name, query.found);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogues, ComponentLookup, ::testing::Values(
    // X exists, but not as a base of purpose 1.
    LookupCase{"PassesOverOtherPurposesAndOtherKind", false,
               {Component(kOther, 0, u"X", u"other"), Component(kBase, 2, u"X", u"base 2"),
                Component(kBase, 1, u"B", u"base 1")},
               {{u"x", 2, u"base 2"}, {u"X", 1, nullptr}, {u"B", 2, nullptr}, {u"b", 1, u"base 1"}}},
    LookupCase{"TakesFirstOfPigmentAndBase", false,
               {Component(kPigment, 0, u"S", u"pigment"), Component(kBase, 3, u"S", u"base"),
                Component(kBase, 4, u"T", u"base"), Component(kPigment, 0, u"T", u"pigment")},
               {{u"S", 3, u"pigment"}, {u"T", 4, u"base"}, {u"T", 5, u"pigment"}}},
    LookupCase{"CyrillicCodesCompareExactly", false, {Component(kPigment, 0, u"Ж1", u"upper")},
               {{u"Ж1", 1, u"upper"}, {u"ж1", 1, nullptr}}},
    LookupCase{"TermAllowsOtherKindAndOwnPurposeOnly", true,
               {Component(kBase, 2, u"A", u"base 2"), Component(kOther, 0, u"A", u"other"),
                Component(kBase, 1, u"C", u"base 1")},
               {{u"a", 1, u"other"}, {u"A", 2, u"base 2"}, {u"C", 1, u"base 1"}, {u"C", 2, nullptr}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueLookup, RecordsKeepTheirAddressWhileTheListGrows) {
    Catalogue c;
    std::vector<const ColourRecipe*> addresses;
    for (int i = 0; i < 35; ++i) addresses.push_back(&c.recipes.Append({i, u"RAL " + std::u16string(1, u'0' + i % 10), {}}));
    for (int i = 0; i < 35; ++i) EXPECT_EQ(&c.recipes[i], addresses[i]);
    EXPECT_EQ(c.recipes[34].number, 34);
}

}  // namespace
}  // namespace lacqueron
