#include "data/catalogue/CatalogueLoader.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tests/catalogue/LoaderHarness.h"

namespace lacqueron {
namespace {

using test::LoadContents;
using test::LoadSection;

// --- settings ---------------------------------------------------------------------

struct SettingCase {
    const char* text;
    std::vector<std::pair<std::u16string, std::u16string>> entries;
};

class SettingsSection : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingsSection, KeepsLinesWithKeyAndValue) {
    const auto loaded = LoadSection(kSectionSettings, GetParam().text);
    const auto& expected = GetParam().entries;
    ASSERT_EQ(loaded->catalogue.settings.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(loaded->catalogue.settings[i].key, expected[i].first);
        EXPECT_EQ(loaded->catalogue.settings[i].value, expected[i].second);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, SettingsSection, ::testing::Values(
    SettingCase{"APPNAME\tName\r\nWWW\twww.example.org", {{u"APPNAME", u"Name"}, {u"WWW", u"www.example.org"}}},
    SettingCase{"KEY\t", {{u"KEY", u""}}},
    SettingCase{"KEY\tA\tB", {{u"KEY", u"A"}}},
    SettingCase{"KEYONLY\n\tVALUE\n\n", {}},
    SettingCase{"PHONE\t+7 (000) 000-00-00\n", {{u"PHONE", u"+7 (000) 000-00-00"}}},
    SettingCase{"K\t\xcf\xf0\xe8\xe2\xe5\xf2", {{u"K", u"Привет"}}}));

// --- colours ----------------------------------------------------------------------

struct ColourCase {
    const char* line;
    bool kept;
    std::int32_t number;
    std::uint32_t rgb;
    std::u16string code;
    std::u16string name;
};

class ColourSection : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourSection, ReadsFields) {
    const ColourCase& c = GetParam();
    const auto loaded = LoadSection(kSectionColours, c.line);
    ASSERT_EQ(loaded->catalogue.colours.size(), c.kept ? 1u : 0u);
    if (!c.kept) return;
    const ColourEntry& colour = loaded->catalogue.colours[0];
    EXPECT_EQ(colour.number, c.number);
    EXPECT_EQ(colour.rgb, c.rgb);
    EXPECT_EQ(colour.code, c.code);
    EXPECT_EQ(colour.name, c.name);
}

INSTANTIATE_TEST_SUITE_P(Lines, ColourSection, ::testing::Values(
    ColourCase{"RAL 1000\t255-128-0\tx\tName", true, 1000, 0x0080FF, u"RAL 1000", u"Name"},
    ColourCase{"RAL 1000\t10-20\tx\tName", true, 1000, 0, u"RAL 1000", u"Name"},
    ColourCase{"RAL 1000\t300-0-1\tx\tName", true, 1000, 0x01002C, u"RAL 1000", u"Name"},
    ColourCase{"RAL  1000\t1-2-3\tx\tName", true, 0, 0x030201, u"RAL  1000", u"Name"},
    ColourCase{"7035\t1-2-3\tx\tName", true, 7035, 0x030201, u"7035", u"Name"},
    ColourCase{"RAL 9010 extra\t1-2-3-4\tx\tName\tmore", true, 9010, 0x030201, u"RAL 9010 extra", u"Name"},
    ColourCase{"RAL 1000\t1-2-3\tx\t", true, 1000, 0x030201, u"RAL 1000", u""},
    ColourCase{"RAL 1000\t1-2-3\tx", false, 0, 0, u"", u""},
    ColourCase{"RAL 1001\t208-176-132\t\t\xc1\xe5\xe6\xe5\xe2\xfb\xe9", true, 1001, 0x84B0D0, u"RAL 1001", u"Бежевый"}));

TEST(ColourSection, KeepsOrderAndDuplicates) {
    const auto loaded = LoadSection(kSectionColours, "RAL 2\t0-0-0\t\tb\nRAL 1\t0-0-0\t\ta\nRAL 2\t0-0-0\t\tc\n");
    ASSERT_EQ(loaded->catalogue.colours.size(), 3u);
    EXPECT_EQ(loaded->catalogue.colours[0].name, u"b");
    EXPECT_EQ(loaded->catalogue.colours[2].name, u"c");
    EXPECT_EQ(loaded->catalogue.findColour(2)->name, u"b");
}

// --- recipes ----------------------------------------------------------------------

struct ExpectedRecipe {
    std::u16string title;
    std::int32_t number;
    std::vector<std::pair<std::u16string, double>> items;
};

struct RecipeCase {
    const char* name;
    std::string text;
    std::vector<ExpectedRecipe> recipes;
};

class RecipeSection : public ::testing::TestWithParam<RecipeCase> {};

TEST_P(RecipeSection, BuildsBlocks) {
    const auto loaded = LoadSection(kSectionRecipes, GetParam().text);
    const auto& expected = GetParam().recipes;
    ASSERT_EQ(loaded->catalogue.recipes.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        const ColourRecipe& recipe = loaded->catalogue.recipes[r];
        EXPECT_EQ(recipe.title, expected[r].title);
        EXPECT_EQ(recipe.number, expected[r].number);
        ASSERT_EQ(recipe.items.size(), expected[r].items.size()) << "recipe " << r;
        for (std::size_t i = 0; i < recipe.items.size(); ++i) {
            EXPECT_EQ(recipe.items[i].code, expected[r].items[i].first);
            EXPECT_DOUBLE_EQ(recipe.items[i].amount, expected[r].items[i].second);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, RecipeSection, ::testing::Values(
    RecipeCase{"LowerCaseHeaderWithSpaces", "ral  9010\tignored\nA\t1\n", {{u"RAL 9010", 9010, {{u"A", 1}}}}},
    RecipeCase{"BareHeader", "RAL\nA\t2", {{u"RAL ", 0, {{u"A", 2}}}}},
    RecipeCase{"LinesOutsideBlocks", "A\t1\nRAL 1000\nB\t2\n\nC\t3\nRAL 2000\nD\t4",
               {{u"RAL 1000", 1000, {{u"B", 2}}}, {u"RAL 2000", 2000, {{u"D", 4}}}}},
    RecipeCase{"HeaderRightAfterLine", "RAL 1\nA\t1\nRAL 2\nB\t2",
               {{u"RAL 1", 1, {{u"A", 1}}}, {u"RAL 2", 2, {{u"B", 2}}}}},
    RecipeCase{"TwoCarriageReturnsKeepBlock", "RAL 1\r\rA\t1", {{u"RAL 1", 1, {{u"A", 1}}}}},
    RecipeCase{"CrLfCrLfEndsBlock", "RAL 1\r\n\r\nA\t1", {{u"RAL 1", 1, {}}}},
    RecipeCase{"LfLfEndsBlock", "RAL 1\n\nA\t1", {{u"RAL 1", 1, {}}}},
    RecipeCase{"LfCrEndsBlock", "RAL 1\n\rA\t1", {{u"RAL 1", 1, {}}}},
    RecipeCase{"SpacesOnlyLineKeepsBlock", "RAL 1\n   \nA\t1", {{u"RAL 1", 1, {{u"A", 1}}}}},
    RecipeCase{"AmountWithSpaceAndComma", "RAL 1\nA\t1 250,5", {{u"RAL 1", 1, {{u"A", 1250.5}}}}},
    RecipeCase{"SpacesRemovedFromCode", "RAL 1\n W 1 \t 2.5 \tnote", {{u"RAL 1", 1, {{u"W1", 2.5}}}}},
    RecipeCase{"ZeroNegativeAndTextAmounts", "RAL 1\nA\t0\nB\t-3\nC\tx",
               {{u"RAL 1", 1, {{u"A", 0}, {u"B", -3}, {u"C", 0}}}}},
    RecipeCase{"LineWithoutAmountPassedOver", "RAL 1\nA\nB\t1", {{u"RAL 1", 1, {{u"B", 1}}}}},
    RecipeCase{"ZeroByteCutsLine", std::string("RAL 1\nA\t1\0" "9\n", 12), {{u"RAL 1", 1, {{u"A", 1}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- components -------------------------------------------------------------------

struct ComponentCase {
    const char* name;
    const char* line;
    bool kept;
    ComponentKind kind = kOther;
    std::int32_t purpose = 0;
    std::uint32_t flags = 0;
    double density = 0;
    double pigmentFactor = 1.0;
    std::u16string note = {};
    std::vector<std::pair<std::u16string, double>> formula = {};
};

class ComponentSection : public ::testing::TestWithParam<ComponentCase> {};

TEST_P(ComponentSection, ReadsLine) {
    const ComponentCase& c = GetParam();
    const auto loaded = LoadSection(kSectionComponents, c.line);
    ASSERT_EQ(loaded->catalogue.components.size(), c.kept ? 1u : 0u);
    if (!c.kept) return;
    const MixComponent& m = loaded->catalogue.components[0];
    EXPECT_EQ(m.kind, c.kind);
    EXPECT_EQ(m.purpose, c.purpose);
    EXPECT_EQ(m.flags, c.flags);
    EXPECT_DOUBLE_EQ(m.density, c.density);
    EXPECT_DOUBLE_EQ(m.pigmentFactor, c.pigmentFactor);
    EXPECT_EQ(m.note, c.note);
    EXPECT_EQ(m.name, u"Name");
    ASSERT_EQ(m.formula.size(), c.formula.size());
    for (std::size_t i = 0; i < c.formula.size(); ++i) {
        EXPECT_EQ(m.formula[i].code, c.formula[i].first);
        EXPECT_DOUBLE_EQ(m.formula[i].share, c.formula[i].second);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ComponentSection, ::testing::Values(
    ComponentCase{"Pigment", "P\tName\tW\t1,5\tnote", true, kPigment, 0, 0, 1.5, 1.0, u"note", {}},
    ComponentCase{"LowerCasePigmentWithoutNote", "p\tName\tW", true, kPigment, 0, 0, 0, 1.0, u"", {}},
    ComponentCase{"OtherIgnoresNote", "H\tName\tX\t\tnote", true, kOther, 0, 0, 0, 1.0, u"", {}},
    ComponentCase{"PlainBase", "b3\tName\tX\t1.2", true, kBase, 3, 0, 1.2, 1.0, u"", {}},
    ComponentCase{"BasePurposeSeven", "B7\tName\tX", false},
    ComponentCase{"BaseWithoutPurpose", "B\tName\tX", false},
    ComponentCase{"BaseLeadingZero", "B01\tName\tX", false},
    ComponentCase{"BaseSpaceBeforePurpose", "B 1\tName\tX", false},
    ComponentCase{"UnknownKind", "Q\tName\tX", false},
    ComponentCase{"EmptyKind", "\tName\tX", false},
    ComponentCase{"EmptyCode", "P\tName\t\t1", false},
    ComponentCase{"TwoFields", "P\tName", false},
    ComponentCase{"Formula", "B1|A*90+P*10\tName\tX", true, kBase, 1, kHasFormula, 0, 1.0, u"", {{u"A", 0.9}, {u"P", 0.1}}},
    ComponentCase{"FormulaSameRatio", "B1|A*9+P*1\tName\tX", true, kBase, 1, kHasFormula, 0, 1.0, u"", {{u"A", 0.9}, {u"P", 0.1}}},
    ComponentCase{"FormulaBadTerms", "B2|A*0+B*-1+C*x+D+*5+E*5*7\tName\tX", true, kBase, 2, kHasFormula, 0, 1.0, u"", {{u"E", 1.0}}},
    ComponentCase{"FormulaNoTermLeft", "B2|A*0\tName\tX", true, kBase, 2, kHasFormula, 0, 1.0, u"", {}},
    ComponentCase{"FormulaSpacesStayInCodes", "B2|A*1 + B*1\tName\tX", true, kBase, 2, kHasFormula, 0, 1.0, u"", {{u"A", 0.5}, {u" B", 0.5}}},
    ComponentCase{"PigmentFactorNoFormula", "B6||^p1,1\tName\tX", true, kBase, 6, kHasPigmentFactor, 0, 1.1, u"", {}},
    ComponentCase{"LastPigmentFactorCounts", "B6|A*1|^P2|other|p3\tName\tX", true, kBase, 6, kHasFormula | kHasPigmentFactor, 0, 3.0, u"", {{u"A", 1.0}}},
    ComponentCase{"NoteOnlyForPigments", "B4\tName\tX\t1\tnote", true, kBase, 4, 0, 1.0, 1.0, u"", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- base densities -----------------------------------------------------------------

struct DensityCase {
    const char* name;
    const char* text;
    std::size_t baseIndex;
    double density;  // 0: none computed
};

class BaseDensity : public ::testing::TestWithParam<DensityCase> {};

TEST_P(BaseDensity, ComputedFromTermsInOnePass) {
    const auto loaded = LoadSection(kSectionComponents, GetParam().text);
    ASSERT_GT(loaded->catalogue.components.size(), GetParam().baseIndex);
    EXPECT_NEAR(loaded->catalogue.components[GetParam().baseIndex].density, GetParam().density, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Walk, BaseDensity, ::testing::Values(
    // Half and half by weight: 0.5 + 0.25 ml per gram.
    DensityCase{"MixtureByWeight", "P\tName\tA\t1\nP\tName\tB\t2\nB1|A*1+B*1\tName\tM", 2, 4.0 / 3.0},
    DensityCase{"GivenDensityKept", "P\tName\tA\t1\nB1|A*1\tName\tM\t0,8", 1, 0.8},
    DensityCase{"UnknownTerm", "P\tName\tA\t1\nB1|A*1+Z*1\tName\tM", 1, 0},
    DensityCase{"TermWithoutDensity", "P\tName\tA\t1\nP\tName\tB\nB1|A*1+B*1\tName\tM", 2, 0},
    DensityCase{"LaterFormulaBaseNotYetComputed", "P\tName\tA\t2\nB1|L*1\tName\tM\nB1|A*1\tName\tL", 1, 0},
    DensityCase{"EarlierFormulaBaseComputed", "P\tName\tA\t2\nB1|A*1\tName\tL\nB1|L*1\tName\tM", 2, 2.0},
    DensityCase{"BaseOfOtherPurposeSkipped", "B2\tName\tA\t1\nB1|A*1\tName\tM", 1, 0},
    DensityCase{"BaseOfOwnPurposeAfterOther", "B2\tName\tA\t1\nB1\tName\tA\t4\nB1|A*1\tName\tM", 2, 4.0},
    DensityCase{"OtherComponentCounts", "H\tName\tA\t3\nB1|a*1\tName\tM", 1, 3.0},
    DensityCase{"EmptyFormulaNoDensity", "P\tName\tA\t1\nB1|A*0\tName\tM", 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- profile values and missing pieces -------------------------------------------------

struct ProfileCase {
    const char* name;
    std::map<std::u16string, std::int32_t> stored;
    std::int32_t targetWeight;
    std::uint32_t weightType;
    std::uint32_t purpose;
};

class LoaderProfile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(LoaderProfile, ReadsStoredValuesAndReleasesTheKey) {
    auto key = RefPtr<test::FakeProfileKey>::Adopt(NewObject<test::FakeProfileKey>());
    key->dwords = GetParam().stored;
    {
        test::TestModule module(true, RefPtr<IRegistryKey>(key.get()));
        const auto package = EncryptPackage(SectionContents{}, test::kTestKey);
        const auto loaded = test::LoadPackage(module, package->package);
        EXPECT_EQ(loaded->values.targetWeight, GetParam().targetWeight);
        EXPECT_EQ(loaded->values.weightType, GetParam().weightType);
        EXPECT_EQ(loaded->values.purpose, GetParam().purpose);
    }
    EXPECT_EQ(key->AddRef(), 2u);
    key->Release();
}

INSTANTIATE_TEST_SUITE_P(Values, LoaderProfile, ::testing::Values(
    ProfileCase{"StoredWithoutRangeCheck", {{u"TargetWeight", 250}, {u"WeightType", 2}, {u"Purpose", 9}}, 250, 2, 9},
    ProfileCase{"MissingKeepDefaults", {{u"WeightType", 2}}, 100, 2, 1}),
    [](const auto& info) { return std::string(info.param.name); });

SectionContents SampleContents() {
    return {"APPNAME\tA", "RAL 1000\t1-2-3\t\tN", "RAL 1000\nW\t1\n", "P\tName\tW\t1", ""};
}

TEST(LoaderMissingPieces, NoCipherLeavesEverythingEmpty) {
    const auto package = EncryptPackage(SampleContents(), test::kTestKey);
    test::TestModule module(false);
    const auto loaded = test::LoadPackage(module, package->package);
    const Catalogue& catalogue = loaded->catalogue;
    EXPECT_TRUE(catalogue.settings.empty());
    EXPECT_TRUE(catalogue.colours.empty());
    EXPECT_TRUE(catalogue.recipes.empty());
    EXPECT_TRUE(catalogue.components.empty());
    EXPECT_TRUE(catalogue.picture.empty());
}

TEST(LoaderMissingPieces, MissingSectionDoesNotStopTheOthers) {
    auto package = EncryptPackage(SampleContents(), test::kTestKey);
    package->package.sections[kSectionColours].bytes = nullptr;
    test::TestModule module;
    const auto loaded = test::LoadPackage(module, package->package);
    const Catalogue& catalogue = loaded->catalogue;
    EXPECT_EQ(catalogue.settings.size(), 1u);
    EXPECT_TRUE(catalogue.colours.empty());
    EXPECT_EQ(catalogue.recipes.size(), 1u);
    EXPECT_EQ(catalogue.components.size(), 1u);
}

TEST(LoaderMissingPieces, WrongKeyGivesNoRecordsFromSettings) {
    const auto package = EncryptPackage(SampleContents(), test::kTestKey);
    DataPackage other = package->package;
    other.key.key[0] ^= 1;
    test::TestModule module;
    EXPECT_EQ(test::LoadPackage(module, other)->catalogue.setting(u"APPNAME"), u"");
}

// --- observer ---------------------------------------------------------------------------

struct Event {
    SectionIndex section;
    std::uint32_t line;
    bool appended;
    bool operator==(const Event&) const = default;
};

class Recorder final : public LoadObserver {
public:
    std::vector<Event> events;
    std::vector<SectionIndex> refused;
    void RecordAppended(SectionIndex section, std::uint32_t line) override { events.push_back({section, line, true}); }
    void Skipped(SectionIndex section, std::uint32_t line, const std::string& reason) override {
        EXPECT_FALSE(reason.empty());
        events.push_back({section, line, false});
    }
    void SectionRefused(SectionIndex section, const std::string&) override { refused.push_back(section); }
};

TEST(LoaderObserver, ReportsEveryLineByItsIndex) {
    Recorder recorder;
    SectionContents contents{"A\tB\nbad\n", "", "x\t1\nRAL 1\nW\t1\n\nRAL 2\n", "B9\tN\tX\nB1|A*0+A*1\tN\tY\n", ""};
    LoadContents(contents, &recorder);
    const std::vector<Event> expected = {
        {kSectionSettings, 0, true},    {kSectionSettings, 1, false},  {kSectionRecipes, 0, false},
        {kSectionRecipes, 1, true},     {kSectionRecipes, 4, true},    {kSectionComponents, 0, false},
        {kSectionComponents, 1, false}, {kSectionComponents, 1, true},
    };
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(recorder.refused, std::vector<SectionIndex>{kSectionPicture});
}

}  // namespace
}  // namespace lacqueron
