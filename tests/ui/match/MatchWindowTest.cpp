// The matching window inside this process over the shipped package: each kind of
// target drafts, each bad input is told in Russian and drafts nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "data/catalogue/DataPackage.h"
#include "res/resource.h"
#include "tests/colour/SampleMeasurement.h"
#include "tests/ui/shared/DialogHarness.h"
#include "tests/ui/shared/ModalDriver.h"
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

}  // namespace
}  // namespace lacqueron::testing
