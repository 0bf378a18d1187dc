#include "tests/ui/shared/WindowReading.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ui-driver/Screenshot.h"

namespace lacqueron::testing {
namespace {

constexpr int kLongestCell = 256;

}  // namespace

int ListItemCount(HWND dialog, int list) {
    return static_cast<int>(SendDlgItemMessageW(dialog, list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring ListCell(HWND dialog, int list, int item, int column) {
    wchar_t text[kLongestCell] = {};
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = text;
    request.cchTextMax = kLongestCell;
    SendDlgItemMessageW(dialog, list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return text;
}

void SelectListRow(HWND dialog, int list, int item) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(dialog, list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void SaveShotIfAsked(const wchar_t* name, HWND window) {
    const wchar_t* folder = _wgetenv(L"LACQUERON_SHOTS");
    if (folder == nullptr) return;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    EXPECT_TRUE(uidriver::SaveWindowShot((std::wstring(folder) + L"\\" + name + L".bmp").c_str(), window)) << name;
}

}  // namespace lacqueron::testing
