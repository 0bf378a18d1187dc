// The pastes' calibration window inside this process over the shipped package and a store
// of calibrations in a temporary folder: a file that is no ladder and one with a paste
// the package lacks told by their line, a ladder file fitted with its spoiled sample named,
// the calibration kept and in force, the vendor's table back; the store read back from its
// file at the end. Without a data folder the window says why nothing can be kept.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "colour/ShippedOptics.h"
#include "core/Utf8.h"
#include "data/catalogue/DataPackage.h"
#include "files/JournalAccess.h"
#include "files/OpticsAccess.h"
#include "ledger/LedgerDay.h"
#include "res/resource.h"
#include "tests/support/SampleLadder.h"
#include "tests/ui/shared/DialogHarness.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui/shared/WindowReading.h"
#include "tint/OpticsInForce.h"
#include "ui/calibration/CalibrationDialog.h"
#include "ui/main/MainDialog.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kCaption[] = L"Калибровка паст";
constexpr int kCodeColumn = 0;
constexpr int kMissedColumn = 3;
const std::vector<std::string> kPastes = {"WHT", "RED", "BLU"};
constexpr char kSpoiled[] = "RED/9";
constexpr wchar_t kSpoiledWide[] = L"RED/9";
constexpr DWORD kDriverLimitMs = 30000;

// A file of the test in the temporary folder, removed at the end.
class TempFile {
public:
    TempFile(const wchar_t* name, const std::string& contents) {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"lacqueron-calib-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
        DeleteFileW(path_.c_str());
        if (!contents.empty()) std::ofstream(path_.c_str(), std::ios::binary) << contents;
    }
    ~TempFile() { DeleteFileW(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

std::string ShippedLadders() {
    colour::OpticsTable table;
    colour::OpticsError error;
    EXPECT_TRUE(colour::ReadOptics(colour::ShippedOpticsText(), table, error)) << error.reason;
    return test::SampleLadders(table, kPastes, kSpoiled);
}

std::wstring Text(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Presses the ladder button and chooses the file in the open dialog, as the painter does.
std::vector<ModalDriver::Step> ImportSteps(const std::wstring& path) {
    return {[] {
                HWND dialog = FindDialog(kCaption);
                if (!dialog || !Enabled(dialog, IDC_CALIB_IMPORT)) return false;
                SetDlgItemTextW(dialog, IDC_CALIB_SUMMARY, L"");
                Click(dialog, IDC_CALIB_IMPORT);
                return true;
            },
            [path] {
                HWND open = FindOwnedWindow(FindDialog(kCaption));
                if (!open) return false;
                ChooseFileName(open, path);
                return true;
            }};
}

// The summary once the fit is over: not empty and not the fit running.
ModalDriver::Step ReadSummary(std::wstring& summary) {
    return [&summary] {
        HWND dialog = FindDialog(kCaption);
        if (!dialog || FindOwnedWindow(dialog)) return false;
        summary = Text(dialog, IDC_CALIB_SUMMARY);
        return !summary.empty() && summary != L"Идёт расчёт...";
    };
}

struct Seen {
    std::wstring vendorInForce, notLadder, unknownPaste, summary, fileLine, savedStatus, shopInForce, returnedStatus,
        vendorAgain;
    bool saveBeforeFit = true, vendorBeforeSave = true, saveAfterFit = false, vendorAfterSave = false;
    std::vector<std::wstring> codes;
    std::wstring redMissed, bluMissed;
};

TEST(CalibrationDialog, FitsSavesAndGoesBackToTheVendorsTable) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    const TempFile notLadder(L"not-ladder.txt", "Замеры выкрасок\n1 2 3\n");
    std::string unknownText = ShippedLadders();
    const std::size_t column = unknownText.find("CONC_BLU");
    ASSERT_NE(column, std::string::npos);
    unknownText.replace(column, std::string("CONC_BLU").size(), "CONC_ZZZ");
    const TempFile unknownPaste(L"unknown.txt", unknownText);
    const TempFile ladders(L"ladders.txt", ShippedLadders());
    const TempFile storeFile(L"optics.lqo", "");
    WideString error;
    std::unique_ptr<OpticsStore> store = OpenOptics(FromWinText(storeFile.Path().c_str()), error);
    ASSERT_TRUE(store) << WinText(error);

    CalibrationContext context;
    context.catalogue = &main.GetCatalogue();
    context.vendorOptics = colour::ShippedOpticsText();
    context.optics = store.get();

    Seen seen;
    std::vector<ModalDriver::Step> steps{[&] {
        HWND dialog = FindDialog(kCaption);
        if (!dialog) return false;
        seen.vendorInForce = Text(dialog, IDC_CALIB_IN_FORCE);
        seen.saveBeforeFit = Enabled(dialog, IDC_CALIB_SAVE);
        seen.vendorBeforeSave = Enabled(dialog, IDC_CALIB_VENDOR);
        return true;
    }};
    const auto append = [&steps](std::vector<ModalDriver::Step> more) {
        steps.insert(steps.end(), more.begin(), more.end());
    };
    append(ImportSteps(notLadder.Path()));
    steps.push_back(ReadSummary(seen.notLadder));
    append(ImportSteps(unknownPaste.Path()));
    steps.push_back(ReadSummary(seen.unknownPaste));
    append(ImportSteps(ladders.Path()));
    steps.push_back(ReadSummary(seen.summary));
    steps.push_back([&] {
        HWND dialog = FindDialog(kCaption);
        seen.fileLine = Text(dialog, IDC_CALIB_FILE);
        seen.saveAfterFit = Enabled(dialog, IDC_CALIB_SAVE);
        for (int row = 0; row < ListItemCount(dialog, IDC_CALIB_LIST); ++row) {
            const std::wstring code = ListCell(dialog, IDC_CALIB_LIST, row, kCodeColumn);
            seen.codes.push_back(code);
            if (code == L"RED") seen.redMissed = ListCell(dialog, IDC_CALIB_LIST, row, kMissedColumn);
            if (code == L"BLU") seen.bluMissed = ListCell(dialog, IDC_CALIB_LIST, row, kMissedColumn);
        }
        Click(dialog, IDC_CALIB_SAVE);
        return true;
    });
    steps.push_back([&] {
        HWND dialog = FindDialog(kCaption);
        seen.savedStatus = Text(dialog, IDC_CALIB_STATUS);
        if (seen.savedStatus != L"Калибровка сохранена.") return false;
        seen.shopInForce = Text(dialog, IDC_CALIB_IN_FORCE);
        seen.vendorAfterSave = Enabled(dialog, IDC_CALIB_VENDOR);
        Click(dialog, IDC_CALIB_VENDOR);
        return true;
    });
    steps.push_back([&] {
        HWND dialog = FindDialog(kCaption);
        seen.returnedStatus = Text(dialog, IDC_CALIB_STATUS);
        if (seen.returnedStatus != L"Возвращены данные поставщика.") return false;
        seen.vendorAgain = Text(dialog, IDC_CALIB_IN_FORCE);
        Click(dialog, IDC_CALIB_CLOSE);
        return true;
    });
    ModalDriver driver(std::move(steps), kDriverLimitMs);
    ShowCalibrationDialog(main.Window(), context);
    EXPECT_TRUE(driver.Finished()) << "the window never came to its answer";

    EXPECT_EQ(seen.vendorInForce, L"Действует: данные поставщика.");
    EXPECT_FALSE(seen.saveBeforeFit);
    EXPECT_FALSE(seen.vendorBeforeSave);
    EXPECT_EQ(seen.notLadder.rfind(L"Строка 1: это не файл лестниц выкрасок", 0), 0u) << seen.notLadder;
    // The paste columns are named on the fourth line.
    EXPECT_EQ(seen.unknownPaste, L"Строка 4: пасты ZZZ нет в пакете.");
    EXPECT_EQ(seen.fileLine, L"Файл: lacqueron-calib-" + std::to_wstring(GetCurrentProcessId()) + L"-ladders.txt");
    EXPECT_EQ(seen.codes, (std::vector<std::wstring>{L"WHT", L"RED", L"BLU"}));
    EXPECT_NE(seen.redMissed.find(kSpoiledWide), std::wstring::npos) << seen.redMissed;
    EXPECT_EQ(seen.bluMissed, L"");
    EXPECT_EQ(seen.summary.rfind(L"Образцов: 13; ΔE00: медиана ", 0), 0u) << seen.summary;
    EXPECT_NE(seen.summary.find(L"Не легли: "), std::wstring::npos) << seen.summary;
    EXPECT_NE(seen.summary.find(kSpoiledWide), std::wstring::npos) << seen.summary;
    EXPECT_TRUE(seen.saveAfterFit);
    const WideString shopName = ShopOpticsName(CurrentBatchTime());
    EXPECT_EQ(seen.shopInForce, std::wstring(L"Действует: ") + WinText(shopName) + L".");
    EXPECT_TRUE(seen.vendorAfterSave);
    EXPECT_EQ(seen.vendorAgain, L"Действует: данные поставщика.");

    // Both records are in the file: the calibration with its source and fit, then the return.
    store.reset();
    std::unique_ptr<OpticsStore> again = OpenOptics(FromWinText(storeFile.Path().c_str()), error);
    ASSERT_TRUE(again) << WinText(error);
    const std::vector<OpticsEntry>& kept = again->History();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_FALSE(kept[0].vendor);
    EXPECT_EQ(kept[0].source, ToUtf8(FromWinText(ladders.Path().c_str())));
    EXPECT_NE(std::find(kept[0].outliers.begin(), kept[0].outliers.end(), kSpoiled), kept[0].outliers.end());
    EXPECT_GT(kept[0].largest, kept[0].median);
    colour::OpticsTable table;
    colour::OpticsError tableError;
    ASSERT_TRUE(colour::ReadOptics(kept[0].optics, table, tableError)) << tableError.reason;
    EXPECT_EQ(table.pastes.size(), kPastes.size());
    EXPECT_GE(table.Find("RED"), 0);
    EXPECT_TRUE(kept[1].vendor);
    EXPECT_EQ(again->InForce(), nullptr);
}

TEST(CalibrationDialog, WithoutADataFolderSaysWhyNothingIsKept) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    const TempFile ladders(L"ladders-nofolder.txt", ShippedLadders());
    CalibrationContext context;
    context.catalogue = &main.GetCatalogue();
    context.vendorOptics = colour::ShippedOpticsText();
    context.opticsError = u"Папка данных не отвечает: \\\\сервер\\краски";

    std::wstring status, summary;
    bool save = true;
    std::vector<ModalDriver::Step> steps{[&] {
        HWND dialog = FindDialog(kCaption);
        if (!dialog) return false;
        status = Text(dialog, IDC_CALIB_STATUS);
        return true;
    }};
    for (ModalDriver::Step& step : ImportSteps(ladders.Path())) steps.push_back(std::move(step));
    steps.push_back(ReadSummary(summary));
    steps.push_back([&] {
        HWND dialog = FindDialog(kCaption);
        save = Enabled(dialog, IDC_CALIB_SAVE);
        Click(dialog, IDC_CALIB_CLOSE);
        return true;
    });
    ModalDriver driver(std::move(steps), kDriverLimitMs);
    ShowCalibrationDialog(main.Window(), context);
    EXPECT_TRUE(driver.Finished()) << "the window never came to its answer";
    EXPECT_EQ(status, L"Папка данных не отвечает: \\\\сервер\\краски Калибровку не сохранить.");
    // The fit is shown all the same; only keeping it waits for the folder.
    EXPECT_EQ(summary.rfind(L"Образцов: 13;", 0), 0u) << summary;
    EXPECT_FALSE(save);
}

}  // namespace
}  // namespace lacqueron::testing
