// What the weighing dialog's window tests share: the worked example at 500 g for glossy
// plastic, an owner window, a throw-away journal, and reading the dialog's lists.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/MadeUpCatalogue.h"
#include "tests/ui/shared/ModalDriver.h"
#include "ui/weigh/WeighDialog.h"

namespace lacqueron::testing {

inline HWND Weighing() { return FindDialog(L"Взвешивание"); }

inline std::wstring Text(int id) { return WindowText(GetDlgItem(Weighing(), id)); }

// A cell of one of the dialog's lists.
inline std::wstring ListCell(int list, int row, int column) {
    wchar_t buffer[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    SendDlgItemMessageW(Weighing(), list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

class WeighHarness : public ::testing::Test {
protected:
    void SetUp() override {
        test::AddExampleComponents(catalogue_);
        recipe_ = test::Recipe(test::kExampleItems);
        owner_ = CreateOwnerWindow(100, 100, 900, 700);
        ASSERT_NE(owner_, nullptr);
        request_.catalogue = &catalogue_;
        request_.recipe = &recipe_;
        request_.purpose = 4;
        request_.weightType = 1;
        request_.amount = 500;
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        journal_ = std::wstring(folder) + L"lacqueron-" + std::to_wstring(GetCurrentProcessId()) + L"-weigh.lqj";
        DeleteFileW(journal_.c_str());
        request_.journalPath = FromWinText(journal_.c_str());
    }
    void TearDown() override {
        DestroyWindow(owner_);
        DeleteFileW(journal_.c_str());
    }

    // Runs the dialog with the script; true when every step ran and the dialog is gone.
    bool Run(std::vector<ModalDriver::Step> steps) {
        ModalDriver driver(std::move(steps));
        ShowWeighDialog(owner_, request_);
        return driver.Finished() && Weighing() == nullptr;
    }

    Catalogue catalogue_;
    ColourRecipe recipe_;
    WeighRequest request_;
    std::wstring journal_;
    HWND owner_ = nullptr;
};

}  // namespace lacqueron::testing
