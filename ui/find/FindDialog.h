// The modal find dialog (template IDD_FIND): a field and the paints that match it,
// each with code, name and a bar in its colour, refilled at every change of the
// field. With the field blank the recent colours come first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/WideString.h"
#include "search/ColourIndex.h"
#include "ui/shared/FilteredListDialog.h"

namespace lacqueron {

class FindDialog final : public FilteredListDialog {
public:
    // Both are borrowed for the dialog's run.
    FindDialog(const ColourIndex& index, const std::vector<WideString>& recentTitles) noexcept;

    // The index row chosen with Enter, the button or a double click; kNoRow when the
    // dialog was closed, or could not be shown (which the painter is told).
    std::size_t Run(HWND owner) noexcept;
    // The field's text when the choice was made.
    const WideString& Text() const noexcept { return text_; }

private:
    std::vector<std::size_t> SelectRows(const WideString& text) override;
    WideString CellText(int item, int column) override;
    const ColourEntry* BarColour(int item) noexcept override;
    void OnActivate(int item) noexcept override { Choose(item); }
    INT_PTR OnOtherCommand(int code, int id) noexcept override;
    // Ends the dialog with the result in the item (the selected one when negative).
    void Choose(int item) noexcept;

    const ColourIndex& index_;
    const std::vector<WideString>& recentTitles_;
    WideString text_;
    std::size_t chosen_ = kNoRow;
};

}  // namespace lacqueron
