// The built `datapack recipe` on catalogue/ prints what the program computes from its
// shipped package, and refuses bad calls with the documented exit codes.
#include <gtest/gtest.h>

#include <string>

#include "core/Utf8.h"
#include "formula/RecipeText.h"
#include "tests/support/RunCommand.h"
#include "tests/formula/ShippedCatalogue.h"

namespace lacqueron {
namespace {

test::CommandResult Datapack(const std::string& arguments) {
    return test::RunCommand(test::DatapackOnShippedSources("recipe") + arguments + " 2>/dev/null");
}

struct CommandCase {
    std::string arguments;
    std::size_t row;
    std::uint32_t purpose;
    std::uint32_t weightType;
    std::int32_t amount;
};

class RecipeCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(RecipeCommand, PrintsTheProgramsText) {
    const CommandCase& c = GetParam();
    const Catalogue& catalogue = test::ShippedCatalogue();
    ASSERT_LT(c.row, catalogue.recipes.size());
    const test::CommandResult run = Datapack(c.arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ToUtf8(ComputeRecipeText(catalogue, &catalogue.recipes[c.row], c.purpose,
                                                                  c.weightType, c.amount)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecipeCommand,
    testing::Values(CommandCase{"--row 0 --purpose 4 --unit g --amount 500", 0, 4, 1, 500},
                    CommandCase{"--row 7 --purpose 6 --unit ml --amount 750", 7, 6, 2, 750},
                    CommandCase{"--title 'RAL 1000' --purpose 5 --unit 2 --amount -120", 0, 5, 2, -120},
                    CommandCase{"--row 3 --purpose 7 --unit g --amount 100", 3, 7, 1, 100},
                    CommandCase{"--row 3 --purpose 1 --unit 0 --amount 100", 3, 1, 0, 100}));

TEST(RecipeCommandErrors, BadUsageIsTwoAndAMissingRecipeIsOne) {
    EXPECT_EQ(Datapack("--purpose 1 --unit g --amount 1").status, 2);
    EXPECT_EQ(Datapack("--row 0 --title 'RAL 1000' --purpose 1 --unit g --amount 1").status, 2);
    EXPECT_EQ(Datapack("--row -1 --purpose 1 --unit g --amount 1").status, 2);
    EXPECT_EQ(Datapack("--row 0 --purpose x --unit g --amount 1").status, 2);
    EXPECT_EQ(Datapack("--row 0 --purpose 1 --unit kg --amount 1").status, 2);
    EXPECT_EQ(Datapack("--row 0 --purpose 1 --unit g --amount 3000000000").status, 2);
    EXPECT_EQ(Datapack("--row 100000 --purpose 1 --unit g --amount 1").status, 1);
    EXPECT_EQ(Datapack("--title 'RAL 0' --purpose 1 --unit g --amount 1").status, 1);
}

}  // namespace
}  // namespace lacqueron
