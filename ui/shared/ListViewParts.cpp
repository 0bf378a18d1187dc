#include "ui/shared/ListViewParts.h"

#include "ui/shared/GdiHandles.h"

namespace lacqueron {
namespace {

constexpr UINT_PTR kFieldSubclass = 1;
constexpr int kPercent = 100;

bool MovesThroughList(WPARAM key) noexcept {
    return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
}

LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR list) noexcept {
    if (message == WM_KEYDOWN && MovesThroughList(wParam) && list != 0) {
        SendMessageW(reinterpret_cast<HWND>(list), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace

void SetUpReportColumns(HWND list, const ColumnLayout* columns, std::size_t count) noexcept {
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT client{};
    GetClientRect(list, &client);
    // What the vertical scroll bar takes comes off every column.
    const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
    for (std::size_t i = 0; i < count; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columns[i].format;
        column.pszText = const_cast<wchar_t*>(columns[i].header);
        column.cx = width * columns[i].percent / kPercent;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

int AddListRow(HWND list, std::initializer_list<WideString> cells, LPARAM data) noexcept {
    if (cells.size() == 0) return -1;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(WinText(*cells.begin()));
    item.lParam = data;
    const auto row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;
    int subItem = 0;
    for (const WideString& cell : cells) {
        if (subItem > 0) {
            LVITEMW text{};
            text.iSubItem = subItem;
            text.pszText = const_cast<wchar_t*>(WinText(cell));
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text));
        }
        ++subItem;
    }
    return row;
}

void SelectListItem(HWND list, int item) noexcept {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

LRESULT ColourBarDrawStage(const NMLVCUSTOMDRAW& draw, int barColumn, bool& paintNow) noexcept {
    paintNow = false;
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        return draw.iSubItem == barColumn ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
        paintNow = true;
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void PaintCellBar(HWND list, HDC dc, int item, int column, COLORREF colour, SIZE inset) noexcept {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell))) return;
    --cell.bottom;  // the grid line below the cell stays
    InflateRect(&cell, -inset.cx, -inset.cy);
    if (cell.right <= cell.left || cell.bottom <= cell.top) return;
    const BrushHandle brush(CreateSolidBrush(colour));
    if (brush) FillRect(dc, &cell, brush.get());
}

void ForwardListKeys(HWND field, HWND list) noexcept {
    if (field && list) SetWindowSubclass(field, FieldProc, kFieldSubclass, reinterpret_cast<DWORD_PTR>(list));
}

void StopForwardingListKeys(HWND field) noexcept {
    if (field) RemoveWindowSubclass(field, FieldProc, kFieldSubclass);
}

WideString ControlText(HWND control) noexcept {
    try {
        const int length = control ? GetWindowTextLengthW(control) : 0;
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        const int copied = control ? GetWindowTextW(control, text.data(), static_cast<int>(text.size())) : 0;
        return FromWinText(text.c_str(), static_cast<std::size_t>(copied > 0 ? copied : 0));
    } catch (...) {
        return {};
    }
}

}  // namespace lacqueron
