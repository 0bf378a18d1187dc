// One code, one recipe, across benches: two stores on one file, as two benches on a
// shared folder; the bench that saves has not read what the other saved just before.
// Whatever it would write over or double is refused under the file's lock and told.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "data/text/TextFold.h"
#include "journal/posix/PosixJournalFile.h"
#include "ownrecipes/OwnRecipeCsv.h"
#include "ownrecipes/OwnRecipeStore.h"

namespace lacqueron {
namespace {

OwnRecipe ClashRecipe(const char16_t* code, Thousandths paste) {
    return {code, u"Проба", u"", 0x336699, {{u"OSN", 1000000}, {u"WHT", paste}}, {}};
}

// What the other bench does first, to the recipe "Р-1" both benches know.
enum class Elsewhere { kNothing, kSavesNewX, kEditsR, kDeletesR };
// What this bench then does.
enum class Here { kSavesNewX, kSavesNewY, kEditsR, kEditsROnTopOfTheirs, kRenamesRToX, kImportsX, kRestoresOldXAsR };

struct ClashCase {
    const char* name;
    Elsewhere elsewhere;
    Here here;
    JournalAppendResult result;
    const char16_t* clashCode;  // the code told, as its holder has it; empty when none
    bool changed;               // told that the recipe moved on
    bool theirs;                // and shown the version there
    std::size_t recipes;        // current recipes in the file after
};

const ClashCase kCases[] = {
    {"OtherCodesSave", Elsewhere::kSavesNewX, Here::kSavesNewY, JournalAppendResult::Appended, u"", false, false, 3},
    {"ACodeSavedElsewhereIsRefused", Elsewhere::kSavesNewX, Here::kSavesNewX, JournalAppendResult::Refused, u"x",
     false, false, 2},
    {"ARenameOntoACodeSavedElsewhereIsRefused", Elsewhere::kSavesNewX, Here::kRenamesRToX,
     JournalAppendResult::Refused, u"x", false, false, 2},
    {"AnEditOfARecipeChangedElsewhereIsRefusedAndShowsTheirs", Elsewhere::kEditsR, Here::kEditsR,
     JournalAppendResult::Refused, u"", true, true, 1},
    {"AnEditOnTopOfTheirsSaves", Elsewhere::kEditsR, Here::kEditsROnTopOfTheirs, JournalAppendResult::Appended, u"",
     false, false, 1},
    {"AnEditOfARecipeDeletedElsewhereIsRefused", Elsewhere::kDeletesR, Here::kEditsR, JournalAppendResult::Refused,
     u"", true, false, 0},
    {"AnEditNobodyElseTouchedSaves", Elsewhere::kNothing, Here::kEditsR, JournalAppendResult::Appended, u"", false,
     false, 1},
    {"AnImportGivesTheCodeToItsHolderElsewhere", Elsewhere::kSavesNewX, Here::kImportsX,
     JournalAppendResult::Appended, u"", false, false, 2},
    {"ARestoreOntoACodeSavedElsewhereIsRefused", Elsewhere::kSavesNewX, Here::kRestoresOldXAsR,
     JournalAppendResult::Refused, u"x", false, false, 2},
};

class OwnSaveClashTest : public testing::TestWithParam<ClashCase> {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() /
                 ("lacqueron-clash-" + std::to_string(::getpid()) + "-" + GetParam().name + ".lqr"))
                    .string();
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::unique_ptr<OwnRecipeStore> Open() const {
        auto store = std::make_unique<OwnRecipeStore>(OpenPosixJournalFile(path_));
        EXPECT_EQ(store->Load(), JournalLoadResult::Loaded);
        return store;
    }

    std::string path_;
};

TEST_P(OwnSaveClashTest, IsRefusedOrSavedAsTheTableSays) {
    const ClashCase& test = GetParam();
    const auto here = Open();
    // "Р-1" was once "X", before the other bench's X existed: a version to restore.
    OwnRecipeId r = 0;
    ASSERT_EQ(here->Save(r, ClashRecipe(u"X", 1000), {}), JournalAppendResult::Appended);
    ASSERT_EQ(here->Save(r, ClashRecipe(u"Р-1", 1000), {}), JournalAppendResult::Appended);
    const std::size_t readVersions = here->Current().front().versions;
    const OwnRecipeVersion oldX = here->History(r).front();

    const auto there = Open();
    OwnRecipeId theirs = 0;
    switch (test.elsewhere) {
    case Elsewhere::kNothing: break;
    case Elsewhere::kSavesNewX: ASSERT_EQ(there->Save(theirs, ClashRecipe(u"x", 2000), {}), JournalAppendResult::Appended); break;
    case Elsewhere::kEditsR:
        theirs = r;
        ASSERT_EQ(there->Save(theirs, ClashRecipe(u"Р-1", 3000), {}), JournalAppendResult::Appended);
        break;
    case Elsewhere::kDeletesR: ASSERT_EQ(there->Delete(r, {}), JournalAppendResult::Appended); break;
    }

    OwnSaveClash clash;
    JournalAppendResult result = JournalAppendResult::WriteFailed;
    OwnRecipeId id = r;
    OwnRecipeId fresh = 0;
    switch (test.here) {
    case Here::kSavesNewX: result = here->Save(fresh, ClashRecipe(u"X", 4000), {}, std::nullopt, clash); break;
    case Here::kSavesNewY: result = here->Save(fresh, ClashRecipe(u"Y", 4000), {}, std::nullopt, clash); break;
    case Here::kEditsR: result = here->Save(id, ClashRecipe(u"Р-1", 4000), {}, readVersions, clash); break;
    case Here::kEditsROnTopOfTheirs: result = here->Save(id, ClashRecipe(u"Р-1", 4000), {}, readVersions + 1, clash); break;
    case Here::kRenamesRToX: result = here->Save(id, ClashRecipe(u"X", 4000), {}, readVersions, clash); break;
    case Here::kImportsX: result = ImportOwnRecipes(*here, {ClashRecipe(u"X", 4000)}, {}); break;
    case Here::kRestoresOldXAsR: result = here->Restore(oldX, {}, clash); break;
    }
    EXPECT_EQ(result, test.result);
    EXPECT_EQ(clash.code, test.clashCode);
    EXPECT_EQ(clash.changed, test.changed);
    ASSERT_EQ(clash.theirs.has_value(), test.theirs);
    if (test.theirs) {
        EXPECT_EQ(clash.theirs->recipe, ClashRecipe(u"Р-1", 3000));
    }

    // Read afresh: one recipe per code, nothing refused written.
    const auto after = Open();
    EXPECT_EQ(after->Current().size(), test.recipes);
    std::set<WideString> codes;
    for (const OwnRecipeCurrent& current : after->Current()) EXPECT_TRUE(codes.insert(FoldText(current.recipe.code)).second);
    if (test.here == Here::kImportsX) {
        EXPECT_EQ(after->FindCurrent(u"X")->id, theirs);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OwnSaveClashTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ClashCase>& info) { return info.param.name; });

TEST(OwnSaveClashText, NamesTheCodeAndShowsTheirVersion) {
    EXPECT_EQ(DescribeCodeClash(u"Рецепт не сохранён", u"К-1"),
              u"Рецепт не сохранён: код «К-1» занят: его только что сохранило другое рабочее место.");
    OwnSaveClash changed;
    changed.changed = true;
    changed.theirs = OwnRecipeCurrent{1, {}, {}, 2, ClashRecipe(u"К-1", 12500)};
    EXPECT_EQ(ChangedElsewhereQuestion(u"К-1", changed),
              u"Рецепт «К-1» изменён на другом рабочем месте, пока он был открыт здесь. Там сохранено:\r\n\r\n"
              u"К-1 Проба\r\n    OSN  1000\r\n    WHT  " + FormatOwnAmount(12500) + u"\r\n\r\n"
              u"«Да» — сохранить ваш рецепт новой версией поверх неё; «Нет» — не сохранять.");
}

}  // namespace
}  // namespace lacqueron
