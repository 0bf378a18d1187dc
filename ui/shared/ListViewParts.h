// What the report lists with colour bars share: columns sized by shares of the width,
// selecting a row as the keyboard does, and bars painted over the drawn cells.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <initializer_list>

#include "core/WideString.h"

namespace lacqueron {

struct ColumnLayout {
    const wchar_t* header;
    int percent;                // of the list's client width
    int format = LVCFMT_LEFT;   // words left, numbers right
};

// Full-row selection and grid lines, and the columns sharing the client width less a
// vertical scroll bar.
void SetUpReportColumns(HWND list, const ColumnLayout* columns, std::size_t count) noexcept;

// Adds a row at the end: the first cell with the item's data, the rest as its sub-items
// in order. The row's index, negative when it cannot be added.
int AddListRow(HWND list, std::initializer_list<WideString> cells, LPARAM data = 0) noexcept;

// Selects and focuses the item and scrolls it into view.
void SelectListItem(HWND list, int item) noexcept;

// While it lives, the list takes rows without painting; at its end the list paints once.
class ListRedrawPause {
public:
    explicit ListRedrawPause(HWND list) noexcept : list_(list) { SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }
    ~ListRedrawPause() {
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }
    ListRedrawPause(const ListRedrawPause&) = delete;
    ListRedrawPause& operator=(const ListRedrawPause&) = delete;

private:
    HWND list_;
};

// The custom-draw answer that asks for every cell of barColumn once it is drawn, so that
// a bar painted then stays on a selected row too; true in `paintNow` for such a cell.
LRESULT ColourBarDrawStage(const NMLVCUSTOMDRAW& draw, int barColumn, bool& paintNow) noexcept;

// Fills the cell of the item's column in the colour, leaving `inset` pixels free at the
// sides and the grid line below.
void PaintCellBar(HWND list, HDC dc, int item, int column, COLORREF colour, SIZE inset) noexcept;

// The arrow and page keys in the field move through the list instead; undone with
// StopForwardingListKeys before the field goes.
void ForwardListKeys(HWND field, HWND list) noexcept;
void StopForwardingListKeys(HWND field) noexcept;

// A control's whole text; empty when it has none or there is no memory for it.
WideString ControlText(HWND control) noexcept;

}  // namespace lacqueron
