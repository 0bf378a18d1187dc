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

// The example's colour, RAL 1000.
constexpr COLORREF kBeige = RGB(0xBE, 0xBD, 0x7F);

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

// Types a reading into the field and presses Enter there, as the painter does.
inline ModalDriver::Step Enter(const wchar_t* reading) {
    return [reading] {
        HWND edit = GetDlgItem(Weighing(), IDC_WEIGH_READING);
        if (!edit || !IsWindowEnabled(edit)) return false;
        SetWindowTextW(edit, reading);
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    };
}

// Waits until the control shows the text.
inline ModalDriver::Step Shows(int id, std::wstring text) {
    return [id, text] { return Weighing() && Text(id) == text; };
}

inline ModalDriver::Step Press(int id) {
    return [id] {
        HWND button = GetDlgItem(Weighing(), id);
        if (!button || !IsWindowVisible(button)) return false;
        PostMessageW(button, BM_CLICK, 0, 0);
        return true;
    };
}

// Waits until the prompt for the note shows and gives it.
inline ModalDriver::Step GiveNote(const wchar_t* note) {
    return [note] {
        HWND prompt = FindDialog(L"Замес в журнал");
        if (!prompt) return false;
        SetDlgItemTextW(prompt, IDC_WEIGH_NOTE_TEXT, note);
        PostMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        return true;
    };
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

    // The example as the colour RAL 1000, with the main dialog's texts.
    void ShowBeigeColour() {
        catalogue_.colours.Append({1000, kBeige, u"RAL 1000", u"Зеленовато-бежевый"});
        request_.colour = catalogue_.findColour(1000);
        request_.purposeText = u"пластик (Polira Gloss) глянцевая";
        request_.unitText = u"грамм";
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
