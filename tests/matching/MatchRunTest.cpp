// The matching window's search against `datapack match`: the same drafts line for line,
// the same word on reach; and a draft saved as an own recipe keeps its target.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "colour/ShippedOptics.h"
#include "core/Utf8.h"
#include "matching/MatchRun.h"
#include "tests/formula/ShippedCatalogue.h"
#include "tests/support/RunCommand.h"

namespace lacqueron {
namespace {

constexpr int kDrafts = 3;

colour::OpticsTable ShippedTable() {
    colour::OpticsTable table;
    colour::OpticsError error;
    EXPECT_TRUE(colour::ReadOptics(colour::ShippedOpticsText(), table, error)) << error.reason;
    return table;
}

struct AgreeCase {
    const char* name;
    std::string lab;  // as typed: "L a b"
    std::string labOption;
    int purpose;
    int maxPastes;
    bool outside;
};

class MatchRunAgrees : public testing::TestWithParam<AgreeCase> {};

// The tool's drafts as "dE00 CODE grams, ..." lines, and whether it said "outside".
std::vector<std::string> ToolDrafts(const std::string& out, bool& outside) {
    std::vector<std::string> drafts;
    std::istringstream lines(out);
    std::string line;
    outside = false;
    while (std::getline(lines, line)) {
        if (line.rfind("draft\t", 0) == 0) {
            outside = outside || line.find("\toutside") != std::string::npos;
            const std::size_t at = line.find("dE00\t") + 5;
            drafts.push_back(line.substr(at, line.find('\t', at) - at));
        } else if (!line.empty() && line.rfind("OSN\t", 0) != 0 && !drafts.empty()) {
            const std::size_t tab = line.find('\t');
            drafts.back() += (drafts.back().find(' ') == std::string::npos ? " " : ", ") + line.substr(0, tab) + " " +
                             line.substr(tab + 1);
        }
    }
    return drafts;
}

TEST_P(MatchRunAgrees, WithTheCommandLineLineForLine) {
    const AgreeCase& c = GetParam();
    const test::CommandResult tool =
        test::RunCommand(test::DatapackOnShippedSources("match") + "--purpose " + std::to_string(c.purpose) +
                         " --lab " + c.labOption + " --max-pastes " + std::to_string(c.maxPastes) + " --top " +
                         std::to_string(kDrafts));
    ASSERT_EQ(tool.status, 0);
    bool outside = false;
    const std::vector<std::string> expected = ToolDrafts(tool.out, outside);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kDrafts)) << tool.out;

    const colour::OpticsTable table = ShippedTable();
    MatchInput input;
    input.target = {TargetKind::kLab, c.lab, {}, 0};
    input.purpose = c.purpose;
    input.maxPastes = c.maxPastes;
    input.top = kDrafts;
    input.pastes = PackagePastes(test::ShippedCatalogue(), table);
    const MatchOutcome outcome = RunColourMatch(test::ShippedCatalogue(), table, {}, input);
    ASSERT_TRUE(outcome.problem.empty()) << ToUtf8(outcome.problem);
    std::vector<std::string> shown;
    for (const DraftRow& row : outcome.drafts) {
        const std::string deltaE = ToUtf8(row.deltaE);
        shown.push_back(deltaE.substr(0, deltaE.find(' ')) + " " + ToUtf8(row.pastes));
        EXPECT_TRUE(row.cost.empty());
        EXPECT_TRUE(row.metamerism.empty());
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(outside, c.outside);
    EXPECT_EQ(outcome.reach.empty(), !c.outside) << ToUtf8(outcome.reach);
    EXPECT_FALSE(outcome.similar.empty());
}

const AgreeCase kAgreeCases[] = {
    {"OliveWithinReach", "52,3 -4,1 18", "52.3,-4.1,18", 1, 4, false},
    {"GreyOnAnotherPurpose", "60 0 -2", "60,0,-2", 4, 3, false},
    {"VioletBeyondOnePaste", "30 60 -80", "30,60,-80", 1, 1, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, MatchRunAgrees, testing::ValuesIn(kAgreeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MatchRun, ABadTargetIsSaidInRussianAndDraftsNothing) {
    MatchInput input;
    input.target = {TargetKind::kLab, "120 0 0", {}, 0};
    input.shownAs = u"120 0 0";
    input.pastes = {0};
    const MatchOutcome outcome = RunColourMatch(test::ShippedCatalogue(), ShippedTable(), {}, input);
    EXPECT_EQ(outcome.problem, u"Светлота L* в «120 0 0» должна быть от 0 до 100.");
    EXPECT_TRUE(outcome.drafts.empty());
}

TEST(MatchRun, ADraftSavedAsOwnRecipeKeepsItsTargetAndIsFoundByIt) {
    const Catalogue& catalogue = test::ShippedCatalogue();
    const colour::OpticsTable table = ShippedTable();
    MatchInput input;
    input.target = {TargetKind::kLab, "52.3 -4.1 18", {}, 0};
    input.top = 1;
    input.pastes = PackagePastes(catalogue, table);
    input.pricePerGram = PastePricesPerGram(catalogue, table, [](const MixComponent&) { return 100000; });
    const MatchOutcome outcome = RunColourMatch(catalogue, table, {}, input);
    ASSERT_EQ(outcome.drafts.size(), 1u);
    EXPECT_FALSE(outcome.drafts.front().cost.empty());

    OwnRecipeCurrent saved;
    saved.recipe = DraftAsOwnRecipe(table, outcome, outcome.drafts.front());
    saved.recipe.code = u"К-77";
    ASSERT_TRUE(saved.recipe.target);
    EXPECT_EQ(saved.recipe.target->method, u"подбор");
    EXPECT_DOUBLE_EQ(saved.recipe.target->l, 52.3);
    EXPECT_EQ(saved.recipe.lines.front(), (OwnRecipeLine{u"OSN", 1000000}));
    EXPECT_EQ(saved.recipe.lines.size(), outcome.drafts.front().draft.recipe.size() + 1);
    EXPECT_TRUE(CheckOwnRecipe(catalogue, saved.recipe, {}).ok() ||
                CheckOwnRecipe(catalogue, saved.recipe, {}).problem == OwnRecipeProblem::kEmptyName);

    const MatchOutcome again = RunColourMatch(catalogue, table, std::span(&saved, 1), input);
    ASSERT_FALSE(again.similar.empty());
    EXPECT_TRUE(again.similar.front().own);
    EXPECT_EQ(again.similar.front().code, u"К-77");
}

}  // namespace
}  // namespace lacqueron
