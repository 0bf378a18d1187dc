#include "ui/find/ColourFinder.h"

#include <commctrl.h>

#include "ui/shared/Beep.h"
#include "ui/find/FindDialog.h"

namespace lacqueron {
namespace {

constexpr UINT_PTR kListSubclass = 1;
// Timer ids are the dialog's; this one is taken from the find dialog's id range.
constexpr UINT_PTR kKeptSelectedTimer = 2440;
constexpr wchar_t kDelete = 0x7F;

}  // namespace

void ColourFinder::Attach(HWND dialog, HWND list) noexcept {
    Detach();
    dialog_ = dialog;
    list_ = list;
    if (list_) SetWindowSubclass(list_, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void ColourFinder::Reindex(const Catalogue& catalogue, const std::vector<OwnColourRow>& own) noexcept {
    try {
        index_ = ColourIndex(catalogue, own);
    } catch (...) {
        index_ = ColourIndex();
    }
}

ColourFinder::ListKeysAside::ListKeysAside(ColourFinder& finder) noexcept : finder_(finder) {
    if (finder_.list_) RemoveWindowSubclass(finder_.list_, ListProc, kListSubclass);
}

ColourFinder::ListKeysAside::~ListKeysAside() {
    if (finder_.list_) SetWindowSubclass(finder_.list_, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(&finder_));
}

void ColourFinder::Detach() noexcept {
    if (list_) RemoveWindowSubclass(list_, ListProc, kListSubclass);
    if (dialog_) KillTimer(dialog_, kKeptSelectedTimer);
    list_ = nullptr;
    dialog_ = nullptr;
}

LRESULT CALLBACK ColourFinder::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) noexcept {
    // The message time: keys that waited in the queue keep the pace they were typed at.
    if (message == WM_CHAR &&
        reinterpret_cast<ColourFinder*>(self)->OnListChar(static_cast<wchar_t>(wParam),
                                                          static_cast<std::uint32_t>(GetMessageTime())))
        return 0;
    return DefSubclassProc(list, message, wParam, lParam);
}

bool ColourFinder::OnListChar(wchar_t c, std::uint32_t time) noexcept {
    try {
        if (c == VK_BACK) {
            typed_.Backspace(time);
            if (!typed_.Text().empty()) FindTyped();
            return true;
        }
        if (c < L' ' || c == kDelete) return false;
        // A space that starts nothing is the list's own key (it selects the focused row).
        if (c == L' ' && !typed_.Continues(time)) return false;
        typed_.Type(static_cast<char16_t>(c), time);
        FindTyped();
    } catch (...) {
        // Out of memory: the key is dropped.
    }
    return true;
}

void ColourFinder::FindTyped() noexcept {
    // "RAL 3020" typed as a painter reads it: the code's start waits for the number.
    FindFrom(typed_.Text(), SelectedRow(), StartsColourCode(typed_.Text()));
}

void ColourFinder::FindFrom(const WideString& text, std::size_t from, bool quietWhenNone) noexcept {
    try {
        lastText_ = text;
        const std::size_t row = index_.FindFrom(MakeColourQuery(text), from == kNoRow ? 0 : from);
        if (row != kNoRow)
            SelectRow(row);
        else if (!quietWhenNone)
            SimpleBeep();
    } catch (...) {
        SimpleBeep();
    }
}

void ColourFinder::FindNext() noexcept {
    if (lastText_.empty()) {
        SimpleBeep();
        return;
    }
    const std::size_t selected = SelectedRow();
    FindFrom(lastText_, selected == kNoRow ? 0 : selected + 1);
}

void ColourFinder::OpenFindDialog() noexcept {
    if (dialog_ == nullptr) return;
    FindDialog find(index_, recent_.Titles());
    const std::size_t row = find.Run(dialog_);
    if (row == kNoRow) return;
    try {
        if (!find.Text().empty()) lastText_ = find.Text();
    } catch (...) {
        // Out of memory: F3 goes on with the text before.
    }
    SelectRow(row);
    if (list_) SetFocus(list_);
}

std::size_t ColourFinder::SelectedRow() const noexcept {
    if (list_ == nullptr) return kNoRow;
    const auto item = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0) return kNoRow;
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row))) return kNoRow;
    return index_.RowOf(reinterpret_cast<const ColourRecipe*>(row.lParam));
}

void ColourFinder::SelectRow(std::size_t row) noexcept {
    if (list_ == nullptr || row >= index_.size()) return;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(&index_.Recipe(row));
    const auto item = static_cast<int>(SendMessageW(list_, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(&find)));
    if (item < 0) return;
    // The list reports the change as for a click, and the dialog refreshes from that.
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, item);
    SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

void ColourFinder::OnSelectionChanged() noexcept {
    if (dialog_ == nullptr) return;
    if (SelectedRow() != kNoRow)
        SetTimer(dialog_, kKeptSelectedTimer, kKeptSelectedMs, nullptr);
    else
        KillTimer(dialog_, kKeptSelectedTimer);
}

bool ColourFinder::OnTimer(UINT_PTR id) noexcept {
    if (id != kKeptSelectedTimer) return false;
    KillTimer(dialog_, kKeptSelectedTimer);
    NoteSelected();
    return true;
}

void ColourFinder::NoteSelected() noexcept {
    const std::size_t row = SelectedRow();
    if (row != kNoRow) NoteRecent(index_.Recipe(row).title);
}

}  // namespace lacqueron
