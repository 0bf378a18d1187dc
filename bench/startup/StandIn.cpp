// The stand-in: the platform work of the program's start-up without the program. COM
// for the thread, the list-view class, a modeless dialog of the main dialog's size and
// its paint list with one row per shipped recipe and the same colour cells.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <iterator>
#include <string>

#include "bench/startup/StandInResource.h"

namespace {

// The shipped catalogue's recipe count.
constexpr int kRows = 216;
// The paint list's extended styles and column split, as the main dialog sets them.
constexpr DWORD kListExStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_INFOTIP;
constexpr int kFirstColumnPercent = 45;
constexpr int kSecondColumnPercent = 55;
constexpr int kFirstRalNumber = 1000;

// Some colour per row; a different one for each neighbour.
COLORREF RowColour(int row) {
    return RGB(row * 37 % 256, row * 91 % 256, row * 53 % 256);
}

void FillList(HWND list) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExStyles);
    RECT client{};
    GetClientRect(list, &client);
    // The first column leaves room for the vertical scroll bar.
    const int widths[] = {(client.right - client.left) * kFirstColumnPercent / 100 - GetSystemMetrics(SM_CXVSCROLL),
                          (client.right - client.left) * kSecondColumnPercent / 100};
    wchar_t empty[] = L"";
    for (int index = 0; index < static_cast<int>(std::size(widths)); ++index) {
        LVCOLUMNW column{LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM, LVCFMT_LEFT, widths[index], empty};
        column.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }

    for (int row = 0; row < kRows; ++row) {
        std::wstring title = L"RAL " + std::to_wstring(kFirstRalNumber + row);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = title.data();
        item.lParam = static_cast<LPARAM>(RowColour(row));
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// Column 1 of every row is a bar in the row's colour.
LRESULT CustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (draw->iSubItem != 1) return CDRF_DODEFAULT;
        draw->clrTextBk = static_cast<COLORREF>(draw->nmcd.lItemlParam);
        return CDRF_NEWFONT;
    default:
        return CDRF_DODEFAULT;
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (HWND list = GetDlgItem(dialog, IDC_STANDIN_LIST)) FillList(list);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_STANDIN_LIST || header->code != NM_CUSTOMDRAW) return FALSE;
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        return TRUE;
    }
    case WM_CLOSE:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_STANDIN), nullptr, DialogProc, 0);
    int exitCode = 1;
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DestroyWindow(dialog);
        exitCode = 0;
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
