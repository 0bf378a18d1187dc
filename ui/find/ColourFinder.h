// Finding a paint from the main dialog: typing into the paint list (the list's own
// prefix search is replaced), Ctrl+F for the find dialog, F3 for the next match of
// the last text, and the recent colours with the timer that notes a colour kept
// selected. The main dialog owns one and forwards to it.
#pragma once

#include <windows.h>

#include <vector>

#include "core/AppModule.h"
#include "data/catalogue/Catalogue.h"
#include "search/ColourIndex.h"
#include "search/TypeAheadBuffer.h"
#include "ui/find/RecentColourStore.h"

namespace lacqueron {

class ColourFinder {
public:
    // A colour kept selected this long becomes recent.
    static constexpr UINT kKeptSelectedMs = 5000;

    ColourFinder() = default;
    ~ColourFinder() { Detach(); }
    ColourFinder(const ColourFinder&) = delete;
    ColourFinder& operator=(const ColourFinder&) = delete;

    // Reads the recent colours kept beside the module's profile key.
    void LoadRecent(IAppModule& module) noexcept { recent_.Load(module); }
    // Takes the typed keys of the list.
    void Attach(HWND dialog, HWND list) noexcept;
    // Finds in the list's rows: the catalogue's, which must outlive the window, then the
    // own rows, which must stay as they are until the next call. When memory runs out
    // nothing can be found.
    void Reindex(const Catalogue& catalogue, const std::vector<OwnColourRow>& own) noexcept;
    // Gives the list its keys back and stops the timer; the window is going.
    void Detach() noexcept;

    // Gives the list its keys back for one scope, for filling it with many rows: every
    // message to a subclassed window pays for finding the subclass (under Wine a call to
    // the server), which made putting 10,000 rows in again take seconds. Nothing is typed
    // meanwhile, as long as the scope dispatches no queued messages.
    class ListKeysAside {
    public:
        explicit ListKeysAside(ColourFinder& finder) noexcept;
        ~ListKeysAside();
        ListKeysAside(const ListKeysAside&) = delete;
        ListKeysAside& operator=(const ListKeysAside&) = delete;

    private:
        ColourFinder& finder_;
    };

    // Ctrl+F: the find dialog, owned by the main dialog; its choice is selected.
    void OpenFindDialog() noexcept;
    // F3: the next row after the selected one that matches the last text; a beep when
    // none does or nothing was looked for yet.
    void FindNext() noexcept;

    // The list's selection changed: (re)starts the wait that makes the colour recent.
    void OnSelectionChanged() noexcept;
    // The dialog's WM_TIMER; true when it was this object's timer.
    bool OnTimer(UINT_PTR id) noexcept;
    // The selected colour was printed (or otherwise used): it becomes recent.
    void NoteSelected() noexcept;
    // A list that could not be stored is not reported: it comes when the painter prints or
    // stays on a colour, and a beep or a box then would say that the print or the choice
    // failed. The list still serves this run, and the next write stores all of it.
    void NoteRecent(const WideString& title) noexcept { static_cast<void>(recent_.Note(title)); }
    // Selects the recipe of a batch's colour code as a click would; false when there is none.
    bool SelectColourCode(const WideString& code) noexcept {
        const std::size_t row = index_.RowOfColourCode(code);
        if (row == kNoRow) return false;
        SelectRow(row);
        return true;
    }
    const std::vector<WideString>& RecentTitles() const noexcept { return recent_.Titles(); }

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self) noexcept;
    // A character typed into the list; false when the list should have it itself.
    bool OnListChar(wchar_t c, std::uint32_t time) noexcept;
    // The typed text from the selected row.
    void FindTyped() noexcept;
    // Selects the first match from the row on; a beep when there is none, unless quiet.
    void FindFrom(const WideString& text, std::size_t from, bool quietWhenNone = false) noexcept;
    // The index row of the selected list item; kNoRow when none.
    std::size_t SelectedRow() const noexcept;
    // Selects, focuses and shows the row the way a click does.
    void SelectRow(std::size_t row) noexcept;

    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    ColourIndex index_;
    TypeAheadBuffer typed_;
    WideString lastText_;
    RecentColourStore recent_;
};

}  // namespace lacqueron
