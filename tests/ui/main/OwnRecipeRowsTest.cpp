// The shop's own recipes in the main dialog, from a data folder set by the bench value
// DataFolder: their rows after the catalogue's, a selected one's details and recipe,
// typing that finds one, and a recipe another bench appends to the same file shown
// at the next activation or F5 with the selection kept; and the cost line under the
// recipe, from the prices in the ledger beside them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "formula/RecipeText.h"
#include "res/resource.h"
#include "search/TypeAheadBuffer.h"
#include "tests/ui/shared/DialogHarness.h"

namespace lacqueron::testing {
namespace {

OwnRecipe Recipe(const char16_t* code, const char16_t* name, const char16_t* note, std::uint32_t rgb,
                 Thousandths base, Thousandths paste) {
    return {code, name, note, rgb, {{u"B1", base}, {u"P2", paste}}};
}

class OwnRecipeRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = FromWinText(temp) + u"lacqueron-own-rows-" + ToWide(std::to_string(GetCurrentProcessId()));
        CreateDirectoryW(WinText(folder_), nullptr);
        ASSERT_TRUE(StoreDataFolder(folder_));
        ASSERT_EQ(OwnRecipesPath(), folder_ + u"\\recipes.lqr");
        ASSERT_EQ(JournalPath(), folder_ + u"\\journal.lqj");
        ASSERT_EQ(LedgerPath(), folder_ + u"\\ledger.lqs");
    }
    void TearDown() override {
        StoreDataFolder(u"");
        for (const char16_t* name : {u"\\recipes.lqr", u"\\journal.lqj", u"\\ledger.lqs"}) DeleteFileW(WinText(folder_ + name));
        RemoveDirectoryW(WinText(folder_));
    }

    static WideString ToWide(const std::string& text) { return WideString(text.begin(), text.end()); }

    // A second bench's store on the same file, saving one recipe.
    static void SaveElsewhere(const OwnRecipe& recipe) {
        WideString error;
        const std::unique_ptr<OwnRecipeStore> store = OpenOwnRecipes(OwnRecipesPath(), error);
        ASSERT_TRUE(store) << std::string(error.begin(), error.end());
        OwnRecipeId id = 0;
        ASSERT_EQ(store->Save(id, recipe, CurrentBatchTime()), JournalAppendResult::Appended);
    }

    // A second bench's ledger on the same file, setting a price from always.
    static void PriceElsewhere(const char16_t* key, Kopecks perKilogram) {
        WideString error;
        const std::unique_ptr<LedgerStore> ledger = OpenLedger(LedgerPath(), error);
        ASSERT_TRUE(ledger) << std::string(error.begin(), error.end());
        ASSERT_EQ(ledger->AddPrice({key, perKilogram, std::nullopt, CurrentBatchTime()}), JournalAppendResult::Appended);
    }

    static WideString RowText(HWND list, int row) {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return FromWinText(text);
    }

    static int SelectedRow(DialogUnderTest& ui) {
        return static_cast<int>(
            SendMessageW(ui.Control(IDC_PAINT_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    WideString folder_;
};

TEST_F(OwnRecipeRowsTest, FollowTheCatalogueAreFoundAndComeFromOtherBenches) {
    const OwnRecipe van = Recipe(u"К-0012", u"Фургон заказчика", u"Иванов, Газель", 0x00336699, 100000, 7500);
    const OwnRecipe fleet = Recipe(u"Ford 7VTA", u"Синий металлик", u"", 0x00CC3311, 80000, 20000);
    SaveElsewhere(van);
    SaveElsewhere(fleet);

    DialogUnderTest ui(PaintCatalogue());
    HWND list = ui.Control(IDC_PAINT_LIST);
    const Catalogue& catalogue = ui.Dialog().GetCatalogue();
    const auto catalogueRows = static_cast<int>(catalogue.recipes.size());
    // The rows come once the data folder's worker has read it.
    const auto rowsAre = [&](int count) {
        return PumpUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == count; });
    };
    ASSERT_TRUE(rowsAre(catalogueRows + 2));
    EXPECT_EQ(RowText(list, catalogueRows - 1), catalogue.recipes[catalogue.recipes.size() - 1].title);
    EXPECT_EQ(RowText(list, catalogueRows), u"К-0012");
    EXPECT_EQ(RowText(list, catalogueRows + 1), u"Ford 7VTA");

    // Selected, it fills the details and the recipe as a catalogue colour does.
    ui.SelectRow(catalogueRows);
    EXPECT_EQ(ui.Text(IDC_COLOUR_CODE), u"Код: К-0012");
    EXPECT_EQ(ui.Text(IDC_COLOUR_NAME), u"Название: Фургон заказчика");
    // Shown as far as the swatch itself is concerned: the dialog stays hidden.
    EXPECT_NE(GetWindowLongPtrW(ui.Control(IDC_SWATCH), GWL_STYLE) & WS_VISIBLE, 0);
    const ColourRecipe vanRecipe = ToColourRecipe(van, OwnRowNumber(0));
    const WideString expected = ComputeRecipeText(catalogue, &vanRecipe, 1, 1, 100);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(ui.Text(IDC_RECIPE), expected);
    EXPECT_TRUE(IsWindowEnabled(ui.Control(IDC_MAIN_WEIGH)));

    // Typed into the list, a piece of the name finds it; so does a piece of the note.
    ASSERT_TRUE(PostTyped(list, L"металл", TypeAheadBuffer::kPauseMs));
    EXPECT_TRUE(PumpUntil([&] { return SelectedRow(ui) == catalogueRows + 1; }));
    EXPECT_EQ(ui.Text(IDC_COLOUR_CODE), u"Код: Ford 7VTA");

    // Another bench saves: the next activation shows it, the selection stays on its code.
    SaveElsewhere(Recipe(u"Лаб-1", u"Проба", u"", 0x00FFFFFF, 100000, 1000));
    SendMessageW(ui.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(rowsAre(catalogueRows + 3));
    EXPECT_EQ(RowText(list, catalogueRows + 2), u"Лаб-1");
    EXPECT_EQ(SelectedRow(ui), catalogueRows + 1);
    EXPECT_EQ(ui.Text(IDC_COLOUR_CODE), u"Код: Ford 7VTA");

    // And F5, as the host forwards it, at once.
    SaveElsewhere(Recipe(u"Лаб-2", u"Проба", u"", 0x00FFFFFF, 100000, 2000));
    SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(IDM_REFRESH, 1), 0);
    ASSERT_TRUE(rowsAre(catalogueRows + 4));
    EXPECT_EQ(RowText(list, catalogueRows + 3), u"Лаб-2");
    EXPECT_EQ(SelectedRow(ui), catalogueRows + 1);

    // A batch of the own recipe is repeated from the journal by its code.
    BatchRecord batch;
    batch.colourCode = u"К-0012";
    batch.purpose = 1;
    batch.weightType = 1;
    batch.amount = 300;
    ASSERT_TRUE(ui.Dialog().RepeatBatch(batch));
    EXPECT_EQ(SelectedRow(ui), catalogueRows);
    EXPECT_EQ(ui.Text(IDC_RECIPE), ComputeRecipeText(catalogue, &vanRecipe, 1, 1, 300));
}

TEST_F(OwnRecipeRowsTest, TheCostLineNamesAMissingPriceAndFollowsAnotherBenchs) {
    DialogUnderTest ui(PaintCatalogue());
    ASSERT_TRUE(PumpUntil([&] { return !ui.Dialog().Shop().LookUnderWay(); }));  // the first look
    ui.SelectRow(1);  // RAL 3020: the first base and the red paste
    ui.TypeAmount(u"500");
    EXPECT_EQ(ui.Text(IDC_RECIPE_COST), u"");  // no prices kept at all

    // 120.00 ₽ a kilogram of base, 2 000.00 of paste, read at the next F5: 400 g of base
    // 48.00 and 100 g of paste 200.00, 496.00 a kilogram of paint.
    PriceElsewhere(u"B1/B1", 12000);
    PriceElsewhere(u"P2", 200000);
    const WideString recipe = ui.Text(IDC_RECIPE);
    SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(IDM_REFRESH, 1), 0);
    ASSERT_TRUE(ui.Dialog().Shop().LookUnderWay());
    const WideString cost = u"Стоимость: 248.00 ₽ (496.00 ₽ за кг краски)";
    EXPECT_TRUE(PumpUntil([&] { return ui.Text(IDC_RECIPE_COST) == cost; })) << "cost line: " << ui.Text(IDC_RECIPE_COST).size();
    EXPECT_EQ(ui.Text(IDC_RECIPE), recipe);  // the recipe text stays as it was

    // RAL 1000 has the yellow paste too, which has no price.
    ui.SelectRow(0);
    EXPECT_EQ(ui.Text(IDC_RECIPE_COST), u"Нет цены: Yel");
}

}  // namespace
}  // namespace lacqueron::testing
