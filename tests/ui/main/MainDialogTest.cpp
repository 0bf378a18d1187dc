// The main dialog in this process, with catalogues of the tests' own: what the
// window shows after initialisation, and how selection, purpose, unit, amount and
// spinner drive the recipe, which always equals the formula engine's text.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "formula/RecipeText.h"
#include "res/resource.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui/shared/DialogHarness.h"
#include "ui/shared/Beep.h"

namespace lacqueron::testing {
namespace {

// Visible as far as the control itself is concerned (the dialog may stay hidden).
bool Shown(HWND control) { return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

int beeps = 0;
void CountBeep() noexcept { ++beeps; }

int recipeWrites = 0;
LRESULT CALLBACK CountRecipeWrites(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SETTEXT) ++recipeWrites;
    return DefSubclassProc(window, message, wParam, lParam);
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousBeep_ = SetBeepFunction(CountBeep);
        beeps = 0;
    }
    void TearDown() override { SetBeepFunction(previousBeep_); }

    // Counts from now on what the dialog writes into the recipe control.
    static void WatchRecipe(DialogUnderTest& ui) {
        SetWindowSubclass(ui.Control(IDC_RECIPE), CountRecipeWrites, 1, 0);
        recipeWrites = 0;
    }

    // The dialog's state, and its recipe is the engine's text for a row of the catalogue
    // (or no row) in that state.
    static void ExpectRecipe(DialogUnderTest& ui, int row, std::uint32_t purpose, std::uint32_t unit,
                             std::int32_t amount) {
        const Catalogue& catalogue = ui.Dialog().GetCatalogue();
        const ColourRecipe* recipe = row >= 0 ? &catalogue.recipes[static_cast<std::size_t>(row)] : nullptr;
        const WideString expected = ComputeRecipeText(catalogue, recipe, purpose, unit, amount);
        if (row >= 0) {
            EXPECT_FALSE(expected.empty());
        }
        EXPECT_EQ(ui.Text(IDC_RECIPE), expected);
        EXPECT_EQ(ui.Dialog().RecipeText(), expected);
        EXPECT_EQ(ui.Dialog().Values().purpose, purpose);
        EXPECT_EQ(ui.Dialog().Values().weightType, unit);
        EXPECT_EQ(ui.Dialog().Values().targetWeight, amount);
    }

    static void ExpectDetails(DialogUnderTest& ui, const char16_t* code, bool codeEnabled, const char16_t* name,
                              bool colourShown) {
        EXPECT_EQ(ui.Text(IDC_COLOUR_CODE), code);
        EXPECT_EQ(IsWindowEnabled(ui.Control(IDC_COLOUR_CODE)) != 0, codeEnabled);
        EXPECT_EQ(ui.Text(IDC_COLOUR_NAME), name);
        EXPECT_EQ(IsWindowEnabled(ui.Control(IDC_COLOUR_NAME)) != 0, colourShown);
        EXPECT_EQ(IsWindowEnabled(ui.Control(IDC_SWATCH_LABEL)) != 0, colourShown);
        EXPECT_EQ(Shown(ui.Control(IDC_SWATCH)) != 0, colourShown);
    }

    static LRESULT Selection(DialogUnderTest& ui, int id) {
        return SendMessageW(ui.Control(id), CB_GETCURSEL, 0, 0);
    }

private:
    BeepFunction previousBeep_ = nullptr;
};

TEST_F(MainDialogTest, InitialisesListDetailsCombosAndAmount) {
    DialogUnderTest ui(PaintCatalogue());
    const Catalogue& catalogue = ui.Dialog().GetCatalogue();
    HWND list = ui.Control(IDC_PAINT_LIST);

    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    for (int row = 0; row < 4; ++row) {
        wchar_t title[64] = {};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = title;
        item.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(FromWinText(title), catalogue.recipes[static_cast<std::size_t>(row)].title);
    }
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    // Grid lines, full-row selection, one-click activation and info tips; the colour column takes 55 %.
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x461);
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), client.right * 45 / 100 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), client.right * 55 / 100);

    ExpectDetails(ui, u"Код: ---", false, u"Название: ---", false);
    EXPECT_FALSE(Shown(ui.Control(IDC_RECIPE_FRAME_BACK)));
    EXPECT_FALSE(Shown(ui.Control(IDC_RECIPE_FRAME_FRONT)));

    ASSERT_EQ(SendMessageW(ui.Control(IDC_UNIT), CB_GETCOUNT, 0, 0), 2);
    ASSERT_EQ(SendMessageW(ui.Control(IDC_PURPOSE), CB_GETCOUNT, 0, 0), 6);
    // The item data is the purpose number that the profile and the recipe use.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(SendMessageW(ui.Control(IDC_PURPOSE), CB_GETITEMDATA, static_cast<WPARAM>(i), 0), i + 1);
    EXPECT_EQ(Selection(ui, IDC_UNIT), 0);
    EXPECT_EQ(Selection(ui, IDC_PURPOSE), 0);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"100");
    EXPECT_TRUE(ui.Dialog().RecipeText().empty());
    ExpectRecipe(ui, -1, 1, 1, 100);
    EXPECT_EQ(beeps, 0);

    EXPECT_NE(SendMessageW(ui.Window(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(ui.Window(), WM_GETICON, ICON_SMALL, 0), 0);
}

// The recipe font itself is measured in the page layout tests; here only that the
// dialog hands it and a bold button font to its controls.
TEST_F(MainDialogTest, RecipeAndButtonFontsAreBold) {
    DialogUnderTest ui(PaintCatalogue());
    for (int id : {IDC_RECIPE, IDC_MAIN_MEMO}) {
        LOGFONTW font{};
        auto handle = reinterpret_cast<HFONT>(SendMessageW(ui.Control(id), WM_GETFONT, 0, 0));
        ASSERT_EQ(GetObjectW(handle, sizeof font, &font), static_cast<int>(sizeof font)) << id;
        EXPECT_EQ(font.lfWeight, FW_BOLD) << id;
    }
    EXPECT_FALSE(Shown(ui.Control(IDC_MAIN_MEMO)));
}

struct StoredCase {
    std::int32_t weightType, purpose;
    std::uint32_t expectedType, expectedPurpose;
    int unitIndex, purposeIndex;
};

class StoredValues : public MainDialogTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, SelectTheirItemsOrTheFirst) {
    const StoredCase& t = GetParam();
    const std::int32_t amount = 250;
    DialogUnderTest ui(PaintCatalogue(), {&amount, &t.weightType, &t.purpose});
    EXPECT_EQ(ui.Dialog().Values().weightType, t.expectedType);
    EXPECT_EQ(ui.Dialog().Values().purpose, t.expectedPurpose);
    EXPECT_EQ(Selection(ui, IDC_UNIT), t.unitIndex);
    EXPECT_EQ(Selection(ui, IDC_PURPOSE), t.purposeIndex);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"250");
    ui.SelectRow(0);
    ExpectRecipe(ui, 0, t.expectedPurpose, t.expectedType, 250);
}

INSTANTIATE_TEST_SUITE_P(Table, StoredValues,
                         ::testing::Values(StoredCase{2, 4, 2, 4, 1, 3}, StoredCase{3, 7, 1, 1, 0, 0},
                                           StoredCase{0, 0, 1, 1, 0, 0}, StoredCase{-1, 6, 1, 6, 0, 5}));

TEST_F(MainDialogTest, StoredAmountOutOfRangeIsShownUnchanged) {
    for (const std::int32_t stored : {-20, 150000000}) {
        DialogUnderTest ui(PaintCatalogue(), {&stored});
        const std::string digits = std::to_string(stored);
        EXPECT_EQ(ui.Text(IDC_AMOUNT), WideString(digits.begin(), digits.end()));
        ui.SelectRow(1);
        ExpectRecipe(ui, 1, 1, 1, stored);
        EXPECT_EQ(beeps, 0);
    }
}

struct CaptionCase {
    const char* settings;
    const char16_t* caption;
};

class Caption : public MainDialogTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(Caption, ComesFromTheLastAppName) {
    TestCatalogue catalogue = PaintCatalogue();
    catalogue.settings = GetParam().settings;
    DialogUnderTest ui(catalogue);
    wchar_t caption[256] = {};
    GetWindowTextW(ui.Window(), caption, 256);
    EXPECT_EQ(FromWinText(caption), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Caption,
    ::testing::Values(CaptionCase{"APPNAME\tTest %u.%u build %u\r\n", u"Test 1.1 build 20"},
                      CaptionCase{"WWW\tx\r\n", u""},
                      CaptionCase{"APPNAME\tFirst %u\r\nApPnAmE\tSecond %u.%u.%u\r\nWWW\tx\r\n", u"Second 1.1.20"},
                      CaptionCase{"APPNAME\t\xCF\xEE\xE4\xE1\xEE\xF0 %u.%u\r\n", u"Подбор 1.1"},
                      CaptionCase{"APPNAME\t\r\n", u""}));

TEST_F(MainDialogTest, SelectionRefreshesDetailsInItsThreeCases) {
    DialogUnderTest ui(PaintCatalogue());
    struct Row {
        int row;
        const char16_t* code;
        const char16_t* name;
        bool colourShown;
    };
    for (const Row& r : {Row{0, u"Код: RAL 1000", u"Название: Green beige", true},
                         Row{2, u"Код: RAL 9999", u"Название: ---", false}}) {
        SCOPED_TRACE(r.row);
        ui.SelectRow(r.row);
        ExpectDetails(ui, r.code, true, r.name, r.colourShown);
        ExpectRecipe(ui, r.row, 1, 1, 100);
    }

    ui.ClearSelection();
    ExpectRecipe(ui, -1, 1, 1, 100);
    ui.ReportChangeOfNoRow();
    ExpectDetails(ui, u"Код: ---", false, u"Название: ---", false);
    ExpectRecipe(ui, -1, 1, 1, 100);
}

TEST_F(MainDialogTest, PurposeAndUnitRecompute) {
    DialogUnderTest ui(PaintCatalogue());
    ui.ChooseComboIndex(IDC_UNIT, 1);
    ExpectRecipe(ui, -1, 1, 2, 100);

    ui.SelectRow(0);
    ExpectRecipe(ui, 0, 1, 2, 100);

    struct Choice {
        int combo, index;
        std::uint32_t purpose, unit;
    };
    // The last one, a combo without selection, changes nothing.
    for (const Choice& c : {Choice{IDC_PURPOSE, 3, 4, 2}, Choice{IDC_UNIT, 0, 4, 1}, Choice{IDC_PURPOSE, 5, 6, 1},
                            Choice{IDC_PURPOSE, -1, 6, 1}}) {
        SCOPED_TRACE(::testing::Message() << "combo " << c.combo << " index " << c.index);
        ui.ChooseComboIndex(c.combo, c.index);
        ExpectRecipe(ui, 0, c.purpose, c.unit, 100);
    }
    EXPECT_EQ(beeps, 0);
}

struct TypedCase {
    const char16_t* text;
    std::int32_t amount;
    int beeps;
};

class TypedAmount : public MainDialogTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedAmount, IsReadBackAndClamped) {
    const TypedCase& t = GetParam();
    DialogUnderTest ui(PaintCatalogue());
    ui.ChooseComboIndex(IDC_PURPOSE, 3);
    ui.SelectRow(0);
    WatchRecipe(ui);
    ui.TypeAmount(t.text);
    EXPECT_EQ(beeps, t.beeps);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), t.text);
    EXPECT_EQ(recipeWrites, 1);
    ExpectRecipe(ui, 0, 4, 1, t.amount);
}

INSTANTIATE_TEST_SUITE_P(Table, TypedAmount,
                         ::testing::Values(TypedCase{u"-20", 0, 1}, TypedCase{u"12abc", 12, 0},
                                           TypedCase{u"", 0, 0}, TypedCase{u"100000000", 100000000, 0},
                                           TypedCase{u"100000001", 100000000, 1}, TypedCase{u"0", 0, 0},
                                           TypedCase{u"99999999999999999999", 100000000, 1}));

struct SpinCase {
    const char16_t* start;
    int delta;
    std::int32_t amount;
    const char16_t* shown;
    int beeps;
};

class Spinner : public MainDialogTest, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(Spinner, StepsByAHundredWithinTheLimits) {
    const SpinCase& t = GetParam();
    DialogUnderTest ui(PaintCatalogue());
    ui.SelectRow(1);
    ui.TypeAmount(t.start);
    beeps = 0;
    WatchRecipe(ui);
    ui.Spin(t.delta);
    EXPECT_EQ(beeps, t.beeps);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), t.shown);
    EXPECT_EQ(recipeWrites, 1);
    ExpectRecipe(ui, 1, 1, 1, t.amount);
}

INSTANTIATE_TEST_SUITE_P(Table, Spinner,
                         ::testing::Values(SpinCase{u"50", 1, 50, u"50", 1}, SpinCase{u"100", 1, 0, u"0", 0},
                                           SpinCase{u"100", -1, 200, u"200", 0},
                                           SpinCase{u"99999950", -1, 99999950, u"99999950", 1},
                                           SpinCase{u"99999900", -1, 100000000, u"100000000", 0}));

// The spinner's own arrows and the Up and Down keys in the amount edit.
TEST_F(MainDialogTest, SpinnerArrowsAndKeysStepTheAmount) {
    DialogUnderTest ui(PaintCatalogue());
    ui.SelectRow(0);
    HWND spin = ui.Control(IDC_AMOUNT_SPIN);
    RECT client{};
    GetClientRect(spin, &client);
    auto click = [&](LONG y) {
        const LPARAM at = MAKELPARAM(client.right / 2, y);
        SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(spin, WM_LBUTTONUP, 0, at);
    };
    click(client.bottom / 4);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"200");
    ExpectRecipe(ui, 0, 1, 1, 200);
    click(client.bottom * 3 / 4);
    click(client.bottom * 3 / 4);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"0");
    click(client.bottom * 3 / 4);
    EXPECT_EQ(beeps, 1);
    ExpectRecipe(ui, 0, 1, 1, 0);

    HWND edit = ui.Control(IDC_AMOUNT);
    SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
    SendMessageW(edit, WM_KEYUP, VK_UP, 0);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"100");
    SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(edit, WM_KEYUP, VK_DOWN, 0);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"0");
    ExpectRecipe(ui, 0, 1, 1, 0);
    EXPECT_EQ(beeps, 1);
}

TEST_F(MainDialogTest, SpinnerMovesAStoredNegativeAmountTowardsTheRange) {
    const std::int32_t stored = -500;
    DialogUnderTest ui(PaintCatalogue(), {&stored});
    ui.Spin(-1);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"-400");
    ExpectRecipe(ui, -1, 1, 1, -400);
    ui.Spin(1);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"-400");
    EXPECT_EQ(beeps, 1);
}

TEST_F(MainDialogTest, FinishAndCloseBoxPostTheQuitRequest) {
    for (const WPARAM command : {MAKEWPARAM(IDC_MAIN_FINISH, BN_CLICKED), WPARAM{0}}) {
        DialogUnderTest ui(PaintCatalogue());
        if (command != 0)
            SendMessageW(ui.Window(), WM_COMMAND, command, reinterpret_cast<LPARAM>(ui.Control(IDC_MAIN_FINISH)));
        else
            SendMessageW(ui.Window(), WM_CLOSE, 0, 0);
        MSG message{};
        ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(message.wParam, 0u);
        EXPECT_TRUE(IsWindow(ui.Window()));
    }
}

TEST_F(MainDialogTest, AboutButtonOpensTheAboutDialogOwnedByTheWindow) {
    DialogUnderTest ui(PaintCatalogue());
    HWND about = nullptr;
    HWND owner = nullptr;
    bool ownerDisabled = false;
    ModalDriver driver({[&] {
        about = FindDialog(L"О программе...");
        if (!about) return false;
        owner = GetWindow(about, GW_OWNER);
        ownerDisabled = !IsWindowEnabled(owner);
        PostMessageW(GetDlgItem(about, IDC_ABOUT_OK), BM_CLICK, 0, 0);
        return true;
    }});
    SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_ABOUT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ui.Control(IDC_MAIN_ABOUT)));
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(owner, ui.Window());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowEnabled(ui.Window()));
}

TEST_F(MainDialogTest, HiddenMemoButtonDoesNothing) {
    DialogUnderTest ui(PaintCatalogue());
    ui.SelectRow(0);
    const WideString before = ui.Dialog().RecipeText();
    SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_MEMO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ui.Control(IDC_MAIN_MEMO)));
    MSG message{};
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(ui.Dialog().RecipeText(), before);
    EXPECT_TRUE(IsWindow(ui.Window()));
}

TEST_F(MainDialogTest, EmptyCatalogueShowsAnEmptyWindow) {
    DialogUnderTest ui(TestCatalogue{});
    EXPECT_EQ(SendMessageW(ui.Control(IDC_PAINT_LIST), LVM_GETITEMCOUNT, 0, 0), 0);
    ExpectDetails(ui, u"Код: ---", false, u"Название: ---", false);
    ui.TypeAmount(u"300");
    ExpectRecipe(ui, -1, 1, 1, 300);
}

}  // namespace
}  // namespace lacqueron::testing
