// The modal find dialog (template IDD_FIND): a field and the paints that match it,
// each with code, name and a bar in its colour, refilled at every change of the
// field. With the field blank the recent colours come first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/WideString.h"
#include "search/ColourIndex.h"
#include "ui/shared/ModalDialog.h"

namespace lacqueron {

class FindDialog final : public ModalDialog {
public:
    // Both are borrowed for the dialog's run.
    FindDialog(const ColourIndex& index, const std::vector<WideString>& recentTitles) noexcept
        : index_(index), recentTitles_(recentTitles) {}

    // The index row chosen with Enter, the button or a double click; kNoRow when the
    // dialog was closed, or could not be shown (which the painter is told).
    std::size_t Run(HWND owner) noexcept;
    // The field's text when the choice was made.
    const WideString& Text() const noexcept { return text_; }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void OnInit() noexcept;
    INT_PTR OnCommand(int code, int id) noexcept;
    INT_PTR OnNotify(const NMHDR* header, LRESULT& result) noexcept;
    void Refill() noexcept;
    void OnDisplayInfo(NMLVDISPINFOW* info) const noexcept;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const noexcept;
    // Ends the dialog with the result in the item (the selected one when negative).
    void Choose(int item) noexcept;
    HWND Results() const noexcept;

    const ColourIndex& index_;
    const std::vector<WideString>& recentTitles_;
    std::vector<std::size_t> rows_;  // index rows, one per result item
    WideString text_;
    std::size_t chosen_ = kNoRow;
};

}  // namespace lacqueron
