// Every shipped recipe for every purpose in both units at 500, against a reviewed
// golden file. Set LACQUERON_WRITE_GOLDEN=1 to rewrite the file after a wanted change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/Utf8.h"
#include "formula/RecipeText.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

constexpr std::int32_t kAmount = 500;

std::string GoldenPath() {
    const char* source = std::getenv("LACQUERON_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/formula/golden/shipped_500.txt";
}

// Line ends inside a recipe text must be CR LF and nothing else.
bool OnlyCrLf(const WideString& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) return false;
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) return false;
    }
    return true;
}

// Each text under a header naming its row, purpose and unit; line ends as LF so that
// no checkout setting can change the file.
std::string Golden(const Catalogue& catalogue) {
    std::string golden;
    for (std::size_t row = 0; row < catalogue.recipes.size(); ++row) {
        const ColourRecipe& recipe = catalogue.recipes[row];
        for (std::uint32_t purpose = 1; purpose <= 6; ++purpose) {
            for (std::uint32_t unit = 1; unit <= 2; ++unit) {
                const WideString text = ComputeRecipeText(catalogue, &recipe, purpose, unit, kAmount);
                EXPECT_TRUE(OnlyCrLf(text)) << "row " << row << " purpose " << purpose << " unit " << unit;
                std::string utf8 = ToUtf8(text);
                std::erase(utf8, '\r');
                golden += "### row " + std::to_string(row) + ", purpose " + std::to_string(purpose) +
                          (unit == 1 ? ", grams\n" : ", millilitres\n");
                golden += utf8;
                golden += "\n";
            }
        }
    }
    return golden;
}

TEST(ShippedRecipes, MatchTheReviewedGoldenFile) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    ASSERT_GT(catalogue.recipes.size(), 0u);
    const std::string actual = Golden(catalogue);

    if (const char* write = std::getenv("LACQUERON_WRITE_GOLDEN"); write && *write == '1') {
        std::ofstream(GoldenPath(), std::ios::binary) << actual;
        GTEST_SKIP() << "golden file written: " << GoldenPath();
    }
    std::ifstream file(GoldenPath(), std::ios::binary);
    ASSERT_TRUE(file) << "missing " << GoldenPath();
    std::stringstream stored;
    stored << file.rdbuf();
    std::string expected = stored.str();
    std::erase(expected, '\r');

    // Report the first differing entry rather than two megabytes.
    if (actual != expected) {
        std::size_t at = 0;
        while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
        const std::size_t header = actual.rfind("### ", at);
        const std::size_t start = header == std::string::npos ? 0 : header;
        ADD_FAILURE() << "first difference, computed:\n"
                      << actual.substr(start, at - start + 200) << "\nexpected:\n"
                      << expected.substr(start, at - start + 200);
    }
}

}  // namespace
}  // namespace lacqueron
