// The built `datapack own` and `datapack recipe --own-store` on a store of their own:
// a lab's CSV in and out, the list, the recipe text as the program computes it, and
// errors that name the file and the row.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/Utf8.h"
#include "formula/RecipeText.h"
#include "journal/posix/PosixJournalFile.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "tests/formula/ShippedCatalogue.h"
#include "tests/support/RunCommand.h"

namespace lacqueron {
namespace {

const std::string kCsv =
    "\xEF\xBB\xBF"
    "Код;Название;Цвет R-G-B;Примечание;Компонент;Количество на 1000 г основы;Цель L*a*b*\r\n"
    "К-0012;Бежевый;205-186-136;\"Иванов; «Ока»\";OSN;1000;70,5 3,25 18\r\n"
    "К-0012;Бежевый;205-186-136;\"Иванов; «Ока»\";WHT;119,5;70,5 3,25 18\r\n"
    "К-0012;Бежевый;205-186-136;\"Иванов; «Ока»\";RED;0,146;70,5 3,25 18\r\n"
    "Ford 7VTA;Синий;1-2-3;;OSN;1000;\r\n"
    "Ford 7VTA;Синий;1-2-3;;BLU;12;\r\n";

class OwnCommand : public testing::Test {
protected:
    void SetUp() override {
        const std::string dir = std::filesystem::temp_directory_path().string() + "/";
        store_ = test::ScratchPath(dir, "lacqueron-own-command") + ".lqr";
        csv_ = test::ScratchPath(dir, "lacqueron-own-command") + ".csv";
        std::filesystem::remove(store_);
    }
    void TearDown() override {
        std::filesystem::remove(store_);
        std::filesystem::remove(store_ + kLogIndexSuffix);
        std::filesystem::remove(csv_);
    }

    void WriteCsv(const std::string& text) { std::ofstream(csv_, std::ios::binary) << text; }

    test::CommandResult Own(const std::string& arguments) {
        const char* binary = std::getenv("LACQUERON_BINARY_DIR");
        const char* source = std::getenv("LACQUERON_SOURCE_DIR");
        return test::RunCommand(std::string(binary ? binary : ".") + "/tools/datapack/datapack own --store '" + store_ +
                                "' --sources '" + (source ? source : ".") + "/catalogue' " + arguments);
    }

    std::string store_;
    std::string csv_;
};

TEST_F(OwnCommand, ImportsListsExportsAndPrintsTheRecipeAsTheProgramDoes) {
    WriteCsv(kCsv);
    ASSERT_EQ(Own("import '" + csv_ + "'").status, 0);
    ASSERT_EQ(Own("import '" + csv_ + "'").status, 0);  // the same codes again: new versions
    const test::CommandResult list = Own("list");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "К-0012\tБежевый\t2\nFord 7VTA\tСиний\t2\n");
    // Read again through the index the store is given.
    ASSERT_EQ(Own("index").status, 0);
    EXPECT_TRUE(std::filesystem::exists(store_ + kLogIndexSuffix));
    EXPECT_EQ(Own("list").out, list.out);
    const test::CommandResult exported = Own("export");
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out, kCsv);

    OwnRecipeStore store(OpenPosixJournalFile(store_));
    ASSERT_EQ(store.Load(), JournalLoadResult::Loaded);
    const ColourRecipe own = ToColourRecipe(store.FindCurrent(u"к-0012")->recipe, 0);
    const test::CommandResult recipe = test::RunCommand(test::DatapackOnShippedSources("recipe") + "--own-store '" +
                                                        store_ + "' --title 'к-0012' --purpose 6 --unit ml --amount 750");
    EXPECT_EQ(recipe.status, 0);
    EXPECT_EQ(recipe.out, ToUtf8(ComputeRecipeText(test::ShippedCatalogue(), &own, 6, kMillilitres, 750)));
}

TEST_F(OwnCommand, ABadRowIsNamedAndNothingIsImported) {
    WriteCsv(kCsv + "К-0014;Зелёный;1-2-3;;OSN;1000;\r\nК-0014;Зелёный;1-2-3;;GRN;-3;\r\n");
    const test::CommandResult run = Own("import '" + csv_ + "' 2>&1");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "datapack: " + csv_ + ": row 8: отрицательное количество компонента «GRN»\n");
    EXPECT_EQ(Own("list").out, "");
    EXPECT_EQ(Own("frobnicate 2>/dev/null").status, 2);
    EXPECT_EQ(test::RunCommand(test::DatapackOnShippedSources("recipe") + "--own-store '" + store_ +
                               "' --title 'К-0099' --purpose 1 --unit g --amount 100 2>/dev/null")
                  .status,
              1);
}

}  // namespace
}  // namespace lacqueron
