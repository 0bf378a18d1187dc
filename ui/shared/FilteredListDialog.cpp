#include "ui/shared/FilteredListDialog.h"

#include "ui/shared/Beep.h"

#include "ui/shared/Centring.h"

namespace lacqueron {

std::size_t FilteredListDialog::RowAt(int item) const noexcept {
    if (item < 0 || static_cast<std::size_t>(item) >= rows_.size()) return kNoItemRow;
    return rows_[static_cast<std::size_t>(item)];
}

int FilteredListDialog::SelectedItem() const noexcept {
    return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

INT_PTR FilteredListDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;  // the focus goes to the first tab stop, the field
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        const INT_PTR handled = OnNotify(reinterpret_cast<const NMHDR*>(lParam), result);
        if (!handled) return OnOtherMessage(message, wParam, lParam);  // another control's
        SetWindowLongPtrW(Window(), DWLP_MSGRESULT, result);
        return handled;
    }
    case WM_DESTROY:
        StopForwardingListKeys(GetDlgItem(Window(), layout_.fieldId));
        return FALSE;
    default:
        return OnOtherMessage(message, wParam, lParam);
    }
}

void FilteredListDialog::OnInit() noexcept {
    CentreWindow(Window());
    SetUpReportColumns(List(), layout_.columns, layout_.columnCount);
    OnSetUp();
    ForwardListKeys(GetDlgItem(Window(), layout_.fieldId), List());
    Refill();
}

INT_PTR FilteredListDialog::OnCommand(int code, int id) noexcept {
    if (id == layout_.fieldId) {
        if (code != EN_CHANGE) return FALSE;
        Refill();
        return TRUE;
    }
    if (id == layout_.closeId || id == IDCANCEL) {
        if (DefersClose(id)) return TRUE;
        if (HoldsClose())
            SimpleBeep();
        else
            EndDialog(Window(), IDCANCEL);
        return TRUE;
    }
    return OnOtherCommand(code, id);
}

INT_PTR FilteredListDialog::OnNotify(const NMHDR* header, LRESULT& result) noexcept {
    if (header == nullptr || header->idFrom != static_cast<UINT_PTR>(layout_.listId)) return FALSE;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        OnDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    case LVN_ITEMCHANGED:
        OnRowsShown();
        return TRUE;
    case NM_DBLCLK: {
        const int item = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (item >= 0) OnActivate(item);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void FilteredListDialog::Refill() noexcept {
    try {
        rows_ = SelectRows(ControlText(GetDlgItem(Window(), layout_.fieldId)));
    } catch (...) {
        rows_.clear();  // out of memory: no rows rather than stale ones
    }
    HWND list = List();
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETITEMCOUNT, rows_.size(), 0);
    if (!rows_.empty()) SelectListItem(list, 0);
    InvalidateRect(list, nullptr, TRUE);
    OnRowsShown();
}

void FilteredListDialog::OnDisplayInfo(NMLVDISPINFOW* info) noexcept {
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (RowAt(item.iItem) == kNoItemRow) return;
    try {
        lstrcpynW(item.pszText, WinText(CellText(item.iItem, item.iSubItem)), item.cchTextMax);
    } catch (...) {
        // Out of memory: the cell stays empty.
    }
}

LRESULT FilteredListDialog::OnCustomDraw(NMLVCUSTOMDRAW* draw) noexcept {
    bool paintNow = false;
    const LRESULT answer = ColourBarDrawStage(*draw, layout_.barColumn, paintNow);
    // The owner-data list has no item parameters: the item number is the row's place.
    const int item = static_cast<int>(draw->nmcd.dwItemSpec);
    if (RowAt(item) == kNoItemRow) return answer;
    COLORREF text = 0;
    if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && RowTextColour(item, text)) {
        draw->clrText = text;
        return answer | CDRF_NEWFONT;
    }
    if (!paintNow) return answer;
    const ColourEntry* colour = BarColour(item);
    if (colour == nullptr) return answer;
    // The inset in dialog units, so that it grows with the window's DPI as the cell does.
    RECT inset{0, 0, layout_.barInset.cx, layout_.barInset.cy};
    MapDialogRect(Window(), &inset);
    PaintCellBar(List(), draw->nmcd.hdc, item, layout_.barColumn, colour->rgb, SIZE{inset.right, inset.bottom});
    return answer;
}

}  // namespace lacqueron
