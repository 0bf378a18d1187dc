#include "ui/find/FindDialog.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/GdiHandles.h"

namespace lacqueron {
namespace {

enum Column { kCodeColumn, kNameColumn, kColourColumn };

struct ColumnLayout {
    const wchar_t* header;
    int percent;  // of the list's client width
};

constexpr ColumnLayout kColumns[] = {{L"Код", 25}, {L"Название", 55}, {L"Цвет", 20}};
constexpr UINT_PTR kFieldSubclass = 1;

bool MovesThroughResults(WPARAM key) noexcept {
    return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
}

void SelectItem(HWND list, int item) noexcept {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

}  // namespace

std::size_t FindDialog::Run(HWND owner) noexcept {
    chosen_ = kNoRow;
    return RunModal(owner, IDD_FIND) == IDOK ? chosen_ : kNoRow;
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
        if (HWND field = GetDlgItem(Window(), IDC_FIND_TEXT)) RemoveWindowSubclass(field, FieldProc, kFieldSubclass);
        return FALSE;
    default:
        return FALSE;
    }
}

void FindDialog::OnInit() noexcept {
    CentreWindow(Window());
    SetUpResults();
    if (HWND field = GetDlgItem(Window(), IDC_FIND_TEXT))
        SetWindowSubclass(field, FieldProc, kFieldSubclass, reinterpret_cast<DWORD_PTR>(Results()));
    Refill();
}

void FindDialog::SetUpResults() noexcept {
    HWND list = Results();
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT client{};
    GetClientRect(list, &client);
    // What the vertical scroll bar takes comes off the colour bar.
    const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<wchar_t*>(kColumns[i].header);
        column.cx = width * kColumns[i].percent / 100;
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
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
        HWND field = GetDlgItem(Window(), IDC_FIND_TEXT);
        const int length = field ? GetWindowTextLengthW(field) : 0;
        text_.assign(static_cast<std::size_t>(length > 0 ? length : 0) + 1, u'\0');
        const int copied = field ? GetWindowTextW(field, reinterpret_cast<wchar_t*>(text_.data()),
                                                  static_cast<int>(text_.size()))
                                 : 0;
        text_.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        rows_ = FindDialogRows(index_, text_, recentTitles_);
    } catch (...) {
        // Out of memory: no results rather than stale ones.
        rows_.clear();
    }
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETITEMCOUNT, rows_.size(), 0);
    if (!rows_.empty()) SelectItem(list, 0);
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
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        // The bar is painted over the drawn cell, so a selected row keeps it too.
        return draw->iSubItem == kColourColumn ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
        PaintColourBar(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec));
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void FindDialog::PaintColourBar(HDC dc, int item) const noexcept {
    // The owner-data list has no item parameters: the item number is the result's place.
    if (item < 0 || static_cast<std::size_t>(item) >= rows_.size()) return;
    const ColourEntry* colour = index_.Colour(rows_[static_cast<std::size_t>(item)]);
    RECT cell{};
    cell.top = kColourColumn;
    cell.left = LVIR_BOUNDS;
    if (colour == nullptr ||
        !SendMessageW(Results(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)))
        return;
    // The grid line below the cell stays.
    --cell.bottom;
    const BrushHandle brush(CreateSolidBrush(colour->rgb));
    if (brush) FillRect(dc, &cell, brush.get());
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

LRESULT CALLBACK FindDialog::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR results) noexcept {
    if (message == WM_KEYDOWN && MovesThroughResults(wParam) && results != 0) {
        SendMessageW(reinterpret_cast<HWND>(results), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace lacqueron
