#include "ui/find/FindDialog.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ListViewParts.h"

namespace lacqueron {
namespace {

enum Column { kCodeColumn, kNameColumn, kColourColumn };

constexpr ColumnLayout kColumns[] = {{L"Код", 25}, {L"Название", 55}, {L"Цвет", 20}};

}  // namespace

std::size_t FindDialog::Run(HWND owner) noexcept {
    chosen_ = kNoRow;
    return RunModalOrReport(owner, IDD_FIND) == IDOK ? chosen_ : kNoRow;
}

HWND FindDialog::Results() const noexcept { return GetDlgItem(Window(), IDC_FIND_RESULTS); }

INT_PTR FindDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;  // the focus goes to the first tab stop, the field
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        const INT_PTR handled = OnNotify(reinterpret_cast<const NMHDR*>(lParam), result);
        if (handled) SetWindowLongPtrW(Window(), DWLP_MSGRESULT, result);
        return handled;
    }
    case WM_DESTROY:
        StopForwardingListKeys(GetDlgItem(Window(), IDC_FIND_TEXT));
        return FALSE;
    default:
        return FALSE;
    }
}

void FindDialog::OnInit() noexcept {
    CentreWindow(Window());
    SetUpReportColumns(Results(), kColumns, std::size(kColumns));
    ForwardListKeys(GetDlgItem(Window(), IDC_FIND_TEXT), Results());
    Refill();
}

INT_PTR FindDialog::OnCommand(int code, int id) noexcept {
    switch (id) {
    case IDC_FIND_TEXT:
        if (code != EN_CHANGE) return FALSE;
        Refill();
        return TRUE;
    case IDC_FIND_CHOOSE:
        Choose(-1);
        return TRUE;
    case IDC_FIND_CLOSE:
    case IDCANCEL:
        EndDialog(Window(), IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR FindDialog::OnNotify(const NMHDR* header, LRESULT& result) noexcept {
    if (header == nullptr || header->idFrom != IDC_FIND_RESULTS) return FALSE;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        OnDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    case NM_DBLCLK: {
        const int item = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (item >= 0) Choose(item);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void FindDialog::Refill() noexcept {
    HWND list = Results();
    try {
        text_ = ControlText(GetDlgItem(Window(), IDC_FIND_TEXT));
        rows_ = FindDialogRows(index_, text_, recentTitles_);
    } catch (...) {
        // Out of memory: no results rather than stale ones.
        rows_.clear();
    }
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETITEMCOUNT, rows_.size(), 0);
    if (!rows_.empty()) SelectListItem(list, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FindDialog::OnDisplayInfo(NMLVDISPINFOW* info) const noexcept {
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows_.size()) return;
    const std::size_t row = rows_[static_cast<std::size_t>(item.iItem)];
    const ColourEntry* colour = index_.Colour(row);
    const WideString* text = item.iSubItem == kCodeColumn                 ? &index_.Recipe(row).title
                             : item.iSubItem == kNameColumn && colour    ? &colour->name
                                                                          : nullptr;
    if (text) lstrcpynW(item.pszText, WinText(*text), item.cchTextMax);
}

LRESULT FindDialog::OnCustomDraw(NMLVCUSTOMDRAW* draw) const noexcept {
    bool paintNow = false;
    const LRESULT answer = ColourBarDrawStage(*draw, kColourColumn, paintNow);
    const int item = static_cast<int>(draw->nmcd.dwItemSpec);
    // The owner-data list has no item parameters: the item number is the result's place.
    if (!paintNow || item < 0 || static_cast<std::size_t>(item) >= rows_.size()) return answer;
    if (const ColourEntry* colour = index_.Colour(rows_[static_cast<std::size_t>(item)]))
        PaintCellBar(Results(), draw->nmcd.hdc, item, kColourColumn, colour->rgb, SIZE{0, 0});
    return answer;
}

void FindDialog::Choose(int item) noexcept {
    if (item < 0) item = static_cast<int>(SendMessageW(Results(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0 || static_cast<std::size_t>(item) >= rows_.size()) {
        SimpleBeep();
        return;
    }
    chosen_ = rows_[static_cast<std::size_t>(item)];
    EndDialog(Window(), IDOK);
}

}  // namespace lacqueron
