// The matching window inside this process over the shipped package: each kind of
// target drafts, each bad input is told in Russian and drafts nothing; opened from the
// main dialog over a data folder, only the pastes the ledger has on hand while asked,
// the drafts following the box at once,
// and a similar colour double-clicked selected in the main list.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "colour/ShippedOptics.h"
#include "data/catalogue/DataPackage.h"
#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "ledger/LedgerDay.h"
#include "res/resource.h"
#include "tests/colour/SampleMeasurement.h"
#include "tests/ui/shared/DialogHarness.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui/shared/WindowReading.h"
#include "ui/main/MainDialog.h"
#include "ui/match/MatchWindow.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kCaption[] = L"Подбор цвета";
constexpr int kDrafts = 5;
constexpr std::size_t kLongestStatus = 512;
constexpr int kMetamerismColumn = 4;
constexpr std::size_t kLongestCell = 128;

enum Kind { kRalClassic, kRalDesign, kLab, kMeasurement, kScreen };

struct KindCase {
    const char* name;
    Kind kind;
    std::wstring text;          // typed; for a measurement, written to a file whose path is typed
    bool spectrum;              // the measurement file has one
    std::optional<COLORREF> screen;  // the window opened from a screen colour
    bool drafts;
    std::wstring status;        // a part of the line under the settings
};

class MatchWindowTest : public ::testing::TestWithParam<KindCase> {};

std::wstring Status(HWND window) {
    wchar_t text[kLongestStatus] = {};
    GetDlgItemTextW(window, IDC_MATCH_STATUS, text, static_cast<int>(kLongestStatus));
    return text;
}

int Drafts(HWND window) {
    return static_cast<int>(SendMessageW(GetDlgItem(window, IDC_MATCH_DRAFTS), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring Cell(HWND list, int row, int column) {
    wchar_t text[kLongestCell] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(kLongestCell);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST_P(MatchWindowTest, DraftsOrSaysWhyNot) {
    const KindCase& c = GetParam();
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    std::wstring typed = c.text;
    std::wstring file;
    if (c.kind == kMeasurement) {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        file = std::wstring(temp) + L"lacqueron-match-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        std::ofstream(file.c_str(), std::ios::binary) << test::SampleMeasurement("Деталь", "35,5", c.spectrum);
        typed = file;
    }
    MatchContext context;
    context.catalogue = &main.GetCatalogue();
    context.startRgb = c.screen;

    std::wstring status;
    int drafts = -1;
    std::wstring metamerism;
    HWND window = nullptr;
    std::vector<ModalDriver::Step> steps{[&] { return (window = FindDialog(kCaption)) != nullptr; }};
    if (!c.screen)
        steps.push_back([&] {
            HWND kind = GetDlgItem(window, IDC_MATCH_KIND);
            SendMessageW(kind, CB_SETCURSEL, static_cast<WPARAM>(c.kind), 0);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MATCH_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
            SetDlgItemTextW(window, IDC_MATCH_TEXT, typed.c_str());
            // Cleared first: a hint must not pass for the answer.
            SetDlgItemTextW(window, IDC_MATCH_STATUS, L"");
            PostMessageW(GetDlgItem(window, IDC_MATCH_RUN), BM_CLICK, 0, 0);
            return true;
        });
    steps.push_back([&] {
        status = Status(window);
        drafts = Drafts(window);
        const bool searching = status.empty() || status == L"Идёт подбор...";
        return !searching && (drafts == kDrafts) == c.drafts;
    });
    steps.push_back([&] {
        if (drafts > 0) metamerism = Cell(GetDlgItem(window, IDC_MATCH_DRAFTS), 0, kMetamerismColumn);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    ModalDriver driver(std::move(steps));
    ShowMatchWindow(main.Window(), context);
    if (!file.empty()) DeleteFileW(file.c_str());
    EXPECT_TRUE(driver.Finished()) << "the window never came to its answer";
    EXPECT_EQ(drafts, c.drafts ? kDrafts : 0);
    EXPECT_NE(status.find(c.status), std::wstring::npos);
    // Metamerism only for a measured spectrum.
    EXPECT_EQ(metamerism.empty(), c.kind != kMeasurement || !c.drafts);
}

const KindCase kCases[] = {
    {"RalClassic", kRalClassic, L"3020", false, std::nullopt, true, L"приблизительно"},
    {"RalDesign", kRalDesign, L"RAL 240 40 30", false, std::nullopt, true, L"Составов: 5."},
    {"Lab", kLab, L"52,3 -4,1 18", false, std::nullopt, true, L"Составов: 5."},
    {"Measurement", kMeasurement, L"", true, std::nullopt, true, L"Составов: 5."},
    {"ScreenColour", kScreen, L"", false, RGB(0x33, 0x66, 0xCC), true, L"приблизительно"},
    {"CodeNotInTheCollection", kRalClassic, L"9999", false, std::nullopt, false, L"Цвета «9999» нет в каталоге."},
    {"LightnessOver100", kLab, L"120 0 0", false, std::nullopt, false,
     L"Светлота L* в «120 0 0» должна быть от 0 до 100."},
    {"FileWithoutSpectrum", kMeasurement, L"", false, std::nullopt, false, L"нет спектра отражения"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, MatchWindowTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

constexpr int kLabKind = 2;
constexpr int kPastesColumn = 2;
constexpr int kWhereColumn = 1;
constexpr int kCodeColumn = 2;
constexpr wchar_t kSearching[] = L"Идёт подбор...";
constexpr Hundredths kDelivered = 100000;  // 1 kg
constexpr wchar_t kOwnCode[] = L"К-7";
constexpr colour::Lab kOlive{52.3, -4.1, 18};

// A data folder with a ledger that has three pastes delivered today, and an own recipe
// shown white but matched to an olive.
class MatchFromMainTest : public ::testing::Test {
protected:
    static constexpr ULONGLONG kReleaseMs = 10000;
    static constexpr DWORD kReleasePollMs = 20;
    static constexpr const char16_t* kStocked[] = {u"WHT", u"BLK", u"YOX"};

    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"lacqueron-match-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(StoreDataFolder(FromWinText(folder_.c_str())));
        WideString error;
        const std::unique_ptr<LedgerStore> ledger = OpenLedger(LedgerPath(), error);
        ASSERT_TRUE(ledger) << WinText(error);
        const BatchTime now = CurrentBatchTime();
        for (const char16_t* paste : kStocked)
            ASSERT_EQ(ledger->AddReceipt({paste, kDelivered, LocalDay(now), {}, now}), JournalAppendResult::Appended);
        const std::unique_ptr<OwnRecipeStore> own = OpenOwnRecipes(OwnRecipesPath(), error);
        ASSERT_TRUE(own) << WinText(error);
        const OwnRecipe olive{FromWinText(kOwnCode), u"Олива заказчика", u"", 0xFFFFFF,
                              {{u"OSN", 1000000}, {u"YOX", 30000}}, OwnTarget{kOlive.l, kOlive.a, kOlive.b, {}, u"подбор"}};
        OwnRecipeId id = 0;
        ASSERT_EQ(own->Save(id, olive, now), JournalAppendResult::Appended);
    }
    void TearDown() override {
        StoreDataFolder(u"");
        // The main window's folder worker may hold a file a moment after the window.
        const ULONGLONG deadline = GetTickCount64() + kReleaseMs;
        for (const wchar_t* name : {L"ledger.lqs", L"journal.lqj", L"recipes.lqr"}) {
            const std::wstring path = folder_ + name;
            while (!DeleteFileW(path.c_str()) && GetLastError() == ERROR_SHARING_VIOLATION && GetTickCount64() < deadline)
                Sleep(kReleasePollMs);
        }
        RemoveDirectoryW(folder_.c_str());
    }

    // The most pastes any draft listed has.
    static std::size_t MostPastesInADraft(HWND window) {
        std::size_t most = 0;
        for (int row = 0; row < Drafts(window); ++row) {
            const std::wstring pastes = ListCell(window, IDC_MATCH_DRAFTS, row, kPastesColumn);
            std::size_t count = pastes.empty() ? 0 : 1;
            for (std::size_t at = pastes.find(L", "); at != std::wstring::npos; at = pastes.find(L", ", at + 2)) ++count;
            most = std::max(most, count);
        }
        return most;
    }

    // The paste codes of every draft listed.
    static std::set<std::wstring> DraftPastes(HWND window) {
        std::set<std::wstring> codes;
        for (int row = 0; row < Drafts(window); ++row) {
            const std::wstring pastes = ListCell(window, IDC_MATCH_DRAFTS, row, kPastesColumn);
            for (std::size_t at = 0; at < pastes.size();) {
                const std::size_t end = std::min(pastes.find(L", ", at), pastes.size());
                codes.insert(pastes.substr(at, pastes.find(L' ', at) - at));
                at = end + 2;
            }
        }
        return codes;
    }

    // A double click on the middle of the row's first cell, as the list gets it.
    static void DoubleClickRow(HWND window, int listId, int row) {
        HWND list = GetDlgItem(window, listId);
        RECT cell{};
        cell.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }

    // The first similar colour of the catalogue, or of the shop's own.
    static int SimilarRow(HWND window, bool own) {
        for (int row = 0; row < ListItemCount(window, IDC_MATCH_SIMILAR); ++row)
            if ((ListCell(window, IDC_MATCH_SIMILAR, row, kWhereColumn) == L"свой") == own) return row;
        return -1;
    }

    static std::wstring MainSelection(HWND main) {
        const auto item = static_cast<int>(
            SendDlgItemMessageW(main, IDC_PAINT_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return item < 0 ? std::wstring() : ListCell(main, IDC_PAINT_LIST, item, 0);
    }

    std::wstring folder_;
};

TEST_F(MatchFromMainTest, OnlyPastesOnHandTillUntickedAndASimilarColourChosenInTheMainList) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    main.SetOptics(colour::ShippedOpticsText());

    HWND window = nullptr;
    bool boxShown = false;
    std::wstring status;
    std::set<std::wstring> stocked, all;
    std::size_t mostPastesInADraft = 0;
    int ownRow = -1, catalogueRow = -1;
    std::wstring catalogueCode, ownChosen, catalogueChosen;
    const auto searchOnHand = [&] {
        HWND kind = GetDlgItem(window, IDC_MATCH_KIND);
        SendMessageW(kind, CB_SETCURSEL, kLabKind, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MATCH_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
        SetDlgItemTextW(window, IDC_MATCH_TEXT, L"52,3 -4,1 18");
        CheckDlgButton(window, IDC_MATCH_IN_STOCK, BST_CHECKED);
        SetDlgItemTextW(window, IDC_MATCH_STATUS, L"");
        PostMessageW(GetDlgItem(window, IDC_MATCH_RUN), BM_CLICK, 0, 0);
    };
    const auto answered = [&] {
        status = Status(window);
        return !status.empty() && status != kSearching && Drafts(window) > 0;
    };
    ModalDriver driver(
        {
            [&] {
                if (!(window = FindDialog(kCaption))) return false;
                boxShown = IsWindowVisible(GetDlgItem(window, IDC_MATCH_IN_STOCK)) != FALSE;
                searchOnHand();
                return true;
            },
            [&] {
                if (!answered()) return false;
                stocked = DraftPastes(window);
                // Unticked, the box drafts again at once for the target searched, not for
                // one typed since and not yet searched.
                SetDlgItemTextW(window, IDC_MATCH_TEXT, L"90 0 0");
                SetDlgItemTextW(window, IDC_MATCH_STATUS, L"");
                PostMessageW(GetDlgItem(window, IDC_MATCH_IN_STOCK), BM_CLICK, 0, 0);
                return true;
            },
            [&] {
                if (!answered()) return false;
                all = DraftPastes(window);
                // At most one paste: the drafts follow the choice at once, as for the box.
                HWND most = GetDlgItem(window, IDC_MATCH_MAX_PASTES);
                SendMessageW(most, CB_SETCURSEL, 0, 0);
                SetDlgItemTextW(window, IDC_MATCH_STATUS, L"");
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MATCH_MAX_PASTES, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(most));
                return true;
            },
            [&] {
                if (!answered()) return false;
                mostPastesInADraft = MostPastesInADraft(window);
                ownRow = SimilarRow(window, true);
                catalogueRow = SimilarRow(window, false);
                if (ownRow >= 0) {
                    DoubleClickRow(window, IDC_MATCH_SIMILAR, ownRow);
                    ownChosen = MainSelection(main.Window());
                }
                if (catalogueRow >= 0) {
                    catalogueCode = ListCell(window, IDC_MATCH_SIMILAR, catalogueRow, kCodeColumn);
                    DoubleClickRow(window, IDC_MATCH_SIMILAR, catalogueRow);
                    catalogueChosen = MainSelection(main.Window());
                }
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        },
        30000);
    SendMessageW(main.Window(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_MATCH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main.Window(), IDC_MAIN_MATCH)));
    EXPECT_TRUE(driver.Finished()) << "the window never came to its answer; the status: " << status;
    EXPECT_TRUE(boxShown) << "the shop keeps stock: the choice is offered";

    const std::set<std::wstring> onHand = {L"WHT", L"BLK", L"YOX"};
    EXPECT_FALSE(stocked.empty());
    for (const std::wstring& code : stocked) EXPECT_TRUE(onHand.count(code)) << "a paste not on hand drafted";
    // Unticked, the pastes not on hand are there: the choice is what left them out.
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const std::wstring& code) { return !onHand.count(code); }));
    EXPECT_EQ(mostPastesInADraft, 1u) << "one paste at most was chosen";

    EXPECT_EQ(ownRow, 0) << "the own recipe matched to the target is the nearest";
    EXPECT_EQ(ownChosen, kOwnCode);
    ASSERT_GT(catalogueRow, 0);
    EXPECT_FALSE(catalogueCode.empty());
    EXPECT_EQ(catalogueChosen, catalogueCode);
}

}  // namespace
}  // namespace lacqueron::testing
