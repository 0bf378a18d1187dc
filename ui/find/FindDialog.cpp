#include "ui/find/FindDialog.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/shared/Beep.h"

namespace lacqueron {
namespace {

enum Column { kCodeColumn, kNameColumn, kColourColumn };

constexpr ColumnLayout kColumns[] = {{L"Код", 25}, {L"Название", 55}, {L"Цвет", 20}};

}  // namespace

FindDialog::FindDialog(const ColourIndex& index, const std::vector<WideString>& recentTitles) noexcept
    : FilteredListDialog({IDC_FIND_TEXT, IDC_FIND_RESULTS, IDC_FIND_CLOSE, kColumns, std::size(kColumns), kColourColumn,
                          SIZE{0, 0}}),
      index_(index),
      recentTitles_(recentTitles) {}

std::size_t FindDialog::Run(HWND owner) noexcept {
    chosen_ = kNoRow;
    return RunModalOrReport(owner, IDD_FIND) == IDOK ? chosen_ : kNoRow;
}

INT_PTR FindDialog::OnOtherCommand(int code, int id) noexcept {
    if (id != IDC_FIND_CHOOSE) return FALSE;
    Choose(-1);
    return TRUE;
}

std::vector<std::size_t> FindDialog::SelectRows(const WideString& text) {
    text_ = text;
    return FindDialogRows(index_, text_, recentTitles_);
}

WideString FindDialog::CellText(int item, int column) {
    const std::size_t row = RowAt(item);
    const ColourEntry* colour = index_.Colour(row);
    if (column == kCodeColumn) return index_.Recipe(row).title;
    if (column == kNameColumn && colour) return colour->name;
    return WideString();
}

const ColourEntry* FindDialog::BarColour(int item) noexcept { return index_.Colour(RowAt(item)); }

void FindDialog::Choose(int item) noexcept {
    if (item < 0) item = SelectedItem();
    const std::size_t row = RowAt(item);
    if (row == kNoItemRow) {
        SimpleBeep();
        return;
    }
    chosen_ = row;
    EndDialog(Window(), IDOK);
}

}  // namespace lacqueron
