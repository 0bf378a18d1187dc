// Finding a paint in the main dialog of this process: typing into the list selects
// the match as a click would, the find dialog (Ctrl+F as the host forwards it) picks
// from its results with the keyboard, F3 goes on with the same text, and the recent
// colours as stored, a damaged stored list rewritten. find-e2e.sh does the same with
// real keys in the program and restarts it.
//
// The find dialog is left on the screen as build/windows/find-dialog.bmp; docs/find-dialog.png
// is that picture trimmed: convert find-dialog.bmp -trim +repage docs/find-dialog.png
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/text/TextTools.h"
#include "formula/RecipeText.h"
#include "profile/RegistryKey.h"
#include "res/resource.h"
#include "search/TypeAheadBuffer.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui-driver/Screenshot.h"
#include "tests/ui/shared/DialogHarness.h"
#include "ui/shared/Beep.h"

namespace lacqueron::testing {
namespace {

// Beside the harness's profile key, as the program keeps it beside its own.
constexpr char16_t kRecentPath[] = u"Software\\VELM\\LacqueronTests\\Recent";
constexpr wchar_t kFindCaption[] = L"Найти краску";
// The harness's catalogue with Russian names, as the shipped package has them; the rows
// stay RAL 1000, RAL 3020, RAL 9999 (no colour) and RAL 5005.
TestCatalogue RussianCatalogue() {
    TestCatalogue catalogue = PaintCatalogue();
    EXPECT_TRUE(ToCp1251(u"RAL 1000\t205-186-136\tx\tЗелёно-бежевый\r\n"
                         u"RAL 3020\t204-6-5\tx\tТранспортный красный\r\n"
                         u"RAL 5005\t30-45-110\tx\tСигнальный синий\r\n",
                         catalogue.colours));
    return catalogue;
}

constexpr int kRal1000 = 0;
constexpr int kRal3020 = 1;
constexpr int kRal5005 = 3;

int beeps = 0;
void CountBeep() noexcept { ++beeps; }

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousBeep_ = SetBeepFunction(CountBeep);
        beeps = 0;
        if (RefPtr<IRegistryKey> key = OpenRegistryPath(kRecentPath)) key->DeleteAllValues();
    }
    void TearDown() override { SetBeepFunction(previousBeep_); }

    static int SelectedRow(DialogUnderTest& ui) {
        return static_cast<int>(
            SendMessageW(ui.Control(IDC_PAINT_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    // Selected as a click selects: the row alone, focused, its details and its recipe.
    static void ExpectChosen(DialogUnderTest& ui, int row) {
        HWND list = ui.Control(IDC_PAINT_LIST);
        EXPECT_EQ(SelectedRow(ui), row);
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), row);
        const Catalogue& catalogue = ui.Dialog().GetCatalogue();
        const ColourRecipe& recipe = catalogue.recipes[static_cast<std::size_t>(row)];
        EXPECT_EQ(ui.Text(IDC_COLOUR_CODE), u"Код: " + recipe.title);
        EXPECT_EQ(ui.Text(IDC_RECIPE), ComputeRecipeText(catalogue, &recipe, 1, 1, 100));
    }

    static void TypeIntoList(DialogUnderTest& ui, const wchar_t* text) {
        ASSERT_TRUE(PostTyped(ui.Control(IDC_PAINT_LIST), text, TypeAheadBuffer::kPauseMs));
        PumpPending();
    }

    // What the host sends for Ctrl+F and F3.
    static void Command(DialogUnderTest& ui, int id) {
        SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(id, 1), 0);
    }

    static std::vector<std::wstring> ResultCodes(HWND find) {
        HWND results = GetDlgItem(find, IDC_FIND_RESULTS);
        std::vector<std::wstring> codes;
        const auto count = static_cast<int>(SendMessageW(results, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t code[64] = {};
            LVITEMW item{};
            item.pszText = code;
            item.cchTextMax = 64;
            SendMessageW(results, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            codes.push_back(code);
        }
        return codes;
    }

    // The stored recent-colour value, every byte of it.
    static std::wstring StoredRecent(DWORD& type) {
        wchar_t stored[64] = {};
        DWORD size = sizeof stored;
        if (RegGetValueW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(kRecentPath), L"Colours", RRF_RT_ANY,
                         &type, stored, &size) != ERROR_SUCCESS)
            return L"(none)";
        return std::wstring(stored, size / sizeof(wchar_t));
    }

    static void PressKey(HWND window, WPARAM key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }

private:
    BeepFunction previousBeep_ = nullptr;
};

TEST_F(FindTest, TypingInTheListSelectsTheMatchAsAClick) {
    DialogUnderTest ui(RussianCatalogue());
    // Typed as the painter reads it: the code's start waits for the number without a beep.
    TypeIntoList(ui, L"RAL 3020");
    ExpectChosen(ui, kRal3020);
    EXPECT_EQ(beeps, 0);

    // "30207" is no colour: a beep, and the choice stays.
    TypeIntoList(ui, L"7");
    EXPECT_EQ(beeps, 1);
    ExpectChosen(ui, kRal3020);
}

TEST_F(FindTest, FindDialogChoosesWithTheKeyboardAndF3GoesOn) {
    DialogUnderTest ui(RussianCatalogue());
    std::vector<std::wstring> shown;
    HWND owner = nullptr;
    ModalDriver driver({
        [&] {
            HWND find = FindDialog(kFindCaption);
            if (!find) return false;
            owner = GetWindow(find, GW_OWNER);
            SetDlgItemTextW(find, IDC_FIND_TEXT, L"ЫЙ");
            return true;
        },
        [&] {
            HWND find = FindDialog(kFindCaption);
            shown = ResultCodes(find);
            RedrawWindow(find, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            const char* binary = std::getenv("LACQUERON_BINARY_DIR");
            if (binary) uidriver::SaveScreenshot((std::wstring(binary, binary + std::strlen(binary)) +
                                                  L"\\find-dialog.bmp").c_str());
            // Down in the field moves through the results; Enter takes the one there.
            HWND field = GetDlgItem(find, IDC_FIND_TEXT);
            PressKey(field, VK_DOWN);
            PressKey(field, VK_RETURN);
            return true;
        },
    });
    Command(ui, IDM_FIND);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(owner, ui.Window());
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"RAL 1000", L"RAL 3020", L"RAL 5005"}));
    ExpectChosen(ui, kRal3020);

    Command(ui, IDM_FIND_NEXT);
    ExpectChosen(ui, kRal5005);
    Command(ui, IDM_FIND_NEXT);
    ExpectChosen(ui, kRal1000);
    EXPECT_EQ(beeps, 0);
}

TEST_F(FindTest, RecentColoursAreStoredNewestFirstAndADamagedListIsRewritten) {
    {
        DialogUnderTest ui(RussianCatalogue());
        for (const char16_t* code : {u"RAL 0000", u"RAL 5005", u"RAL 1000", u"RAL 5005"})
            ui.Dialog().NoteRecentColour(code);
    }
    DWORD type = 0;
    EXPECT_EQ(StoredRecent(type), std::wstring(L"RAL 5005\0RAL 1000\0RAL 0000\0\0", 28));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));

    // A damaged list is dropped and written again, empty.
    RefPtr<IRegistryKey> key = OpenRegistryPath(kRecentPath);
    ASSERT_TRUE(key);
    key->SetString(u"Colours", u"RAL 5005");
    DialogUnderTest ui(RussianCatalogue());
    EXPECT_EQ(StoredRecent(type), std::wstring(1, L'\0'));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
}

}  // namespace
}  // namespace lacqueron::testing
