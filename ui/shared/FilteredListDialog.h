// Base of the windows where a search field filters an owner-data report list (find,
// journal): the rows are chosen again at every change of the field, the arrow keys in
// the field move through the list, the first row is selected, and a column shows each
// row's colour as a bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ListViewParts.h"

namespace lacqueron {

struct FilteredListLayout {
    int fieldId;
    int listId;
    int closeId;  // ends the dialog with IDCANCEL, as Escape does
    const ColumnLayout* columns;
    std::size_t columnCount;
    int barColumn;
    SIZE barInset;  // what the bar leaves free in its cell, in dialog units
};

class FilteredListDialog : public Dialog {
public:
    // An item with no row.
    static constexpr std::size_t kNoItemRow = static_cast<std::size_t>(-1);

protected:
    explicit FilteredListDialog(const FilteredListLayout& layout) noexcept : layout_(layout) {}
    ~FilteredListDialog() = default;

    HWND List() const noexcept { return GetDlgItem(Window(), layout_.listId); }
    const std::vector<std::size_t>& Rows() const noexcept { return rows_; }
    // The row of a list item; kNoItemRow when out of range.
    std::size_t RowAt(int item) const noexcept;
    // The selected list item; negative when none is.
    int SelectedItem() const noexcept;

    // The rows for the field's text; may throw, and then the list is left empty.
    virtual std::vector<std::size_t> SelectRows(const WideString& text) = 0;
    // A cell's text; may throw, and then the cell stays empty.
    virtual WideString CellText(int item, int column) = 0;
    // The colour of the item's bar; null for none.
    virtual const ColourEntry* BarColour(int item) noexcept = 0;
    // The colour of the item's text when it should stand out; false for the usual one.
    virtual bool RowTextColour(int item, COLORREF& colour) noexcept { return false; }
    // A double click on an item.
    virtual void OnActivate(int item) noexcept = 0;
    // Once the columns are set up, before the first rows are chosen.
    virtual void OnSetUp() noexcept {}
    // After the list shows new rows, and when its selection changes.
    virtual void OnRowsShown() noexcept {}
    // Whether closing waits (a write on its way ends first); the close is refused with a beep.
    virtual bool HoldsClose() const noexcept { return false; }
    // Whether the close command `id` was kept to be given again shortly (a read on its
    // way comes back first).
    virtual bool DefersClose(int /*id*/) noexcept { return false; }
    // The commands other than the field's and the close button's.
    virtual INT_PTR OnOtherCommand(int code, int id) noexcept { return FALSE; }
    // Messages the skeleton does not handle.
    virtual INT_PTR OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept { return FALSE; }
    // Chooses the rows again, as a change of the field does, and selects the first.
    void Refill() noexcept;

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept final;
    void OnInit() noexcept;
    INT_PTR OnCommand(int code, int id) noexcept;
    INT_PTR OnNotify(const NMHDR* header, LRESULT& result) noexcept;
    void OnDisplayInfo(NMLVDISPINFOW* info) noexcept;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) noexcept;

    FilteredListLayout layout_;
    std::vector<std::size_t> rows_;  // one per list item
};

}  // namespace lacqueron
