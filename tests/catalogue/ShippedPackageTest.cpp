// The package the program ships, loaded as the program loads it, against its sources.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

// The non-empty lines of a source file in catalogue/.
std::vector<std::string> SourceLines(const char* name) {
    const char* root = std::getenv("LACQUERON_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : ".") + "/catalogue/" + name, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// Loaded once for the whole program run, as the program loads it.
class ShippedPackage : public ::testing::Test {
protected:
    static const Catalogue& catalogue() { return test::ShippedCatalogue(); }
};

std::string Ascii(const WideString& text) { return std::string(text.begin(), text.end()); }

TEST_F(ShippedPackage, EveryColourLineIsAColourInOrder) {
    const std::vector<std::string> lines = SourceLines("colours.txt");
    ASSERT_EQ(catalogue().colours.size(), lines.size());
    EXPECT_EQ(lines.size(), 216u) << "the RAL Classic table has 216 colours";
    std::set<std::int32_t> numbers;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ColourEntry& colour = catalogue().colours[i];
        EXPECT_EQ(lines[i].rfind(Ascii(colour.code) + "\t", 0), 0u) << lines[i];
        EXPECT_FALSE(colour.name.empty()) << lines[i];
        EXPECT_TRUE(numbers.insert(colour.number).second) << "number repeated: " << lines[i];
    }
}

TEST_F(ShippedPackage, OneRecipePerColourInTheSameOrder) {
    ASSERT_EQ(catalogue().recipes.size(), catalogue().colours.size());
    for (std::size_t i = 0; i < catalogue().recipes.size(); ++i) {
        const ColourRecipe& recipe = catalogue().recipes[i];
        EXPECT_EQ(recipe.title, catalogue().colours[i].code);
        ASSERT_NE(catalogue().findColour(recipe.number), nullptr) << Ascii(recipe.title);
        EXPECT_FALSE(recipe.items.empty()) << Ascii(recipe.title);
    }
}

// The code under which a base exists for every purpose; empty when there is none.
WideString SharedBaseCode(const Catalogue& catalogue) {
    for (const MixComponent& candidate : catalogue.components) {
        if (candidate.kind != kBase) continue;
        bool everyPurpose = true;
        for (std::int32_t purpose = 1; purpose <= 6; ++purpose) {
            const MixComponent* base = catalogue.findComponent(candidate.code, purpose);
            everyPurpose = everyPurpose && base && base->kind == kBase;
        }
        if (everyPurpose) return candidate.code;
    }
    return {};
}

TEST_F(ShippedPackage, SixBasesUnderOneCodeWithDensities) {
    const WideString code = SharedBaseCode(catalogue());
    ASSERT_FALSE(code.empty());
    for (std::int32_t purpose = 1; purpose <= 6; ++purpose)
        EXPECT_GT(catalogue().findComponent(code, purpose)->density, 0) << "purpose " << purpose;
    const MixComponent* saturated = catalogue().findComponent(code, 6);
    EXPECT_TRUE(saturated->hasPigmentFactor());
    EXPECT_DOUBLE_EQ(saturated->pigmentFactor, 1.1);
    EXPECT_FALSE(saturated->formula.empty());
    EXPECT_FALSE(catalogue().findComponent(code, 5)->formula.empty());
    for (const ColourRecipe& recipe : catalogue().recipes) {
        bool usesSharedBase = false;
        for (const RecipeItem& item : recipe.items) usesSharedBase = usesSharedBase || EqualFoldLatin(item.code, code);
        EXPECT_TRUE(usesSharedBase) << Ascii(recipe.title);
    }
}

TEST_F(ShippedPackage, EveryComponentLineIsLoaded) {
    const std::vector<std::string> lines = SourceLines("components.txt");
    ASSERT_EQ(catalogue().components.size(), lines.size());
    std::size_t pigmentLines = 0;
    for (const std::string& line : lines) pigmentLines += (line[0] == 'P' || line[0] == 'p');
    std::size_t pigments = 0;
    for (const MixComponent& component : catalogue().components) {
        if (component.kind != kPigment) continue;
        ++pigments;
        EXPECT_GT(component.density, 0) << Ascii(component.code);
    }
    EXPECT_EQ(pigments, pigmentLines);
    EXPECT_GE(pigments, 10u);
}

TEST_F(ShippedPackage, SettingsWithoutPasswordAndAPicture) {
    EXPECT_EQ(catalogue().settings.size(), SourceLines("settings.txt").size());
    EXPECT_FALSE(catalogue().setting(u"APPNAME").empty());
    EXPECT_TRUE(catalogue().setting(u"PASSWORD").empty());
    EXPECT_FALSE(catalogue().picture.empty());
}

}  // namespace
}  // namespace lacqueron
