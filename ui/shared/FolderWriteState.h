// A dialog's write to the data folder on its way: it runs off the window's thread, the
// dialog's controls are held still with "Сохранение..." shown, and the outcome comes
// back by the dialog's own message, so a share that stalls never freezes the window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "shop/FolderWorker.h"
#include "ui/shared/Beep.h"

namespace lacqueron {

// Told when a write cannot start because a look at the folder has the stores.
inline constexpr wchar_t kStoresAwayText[] = L"Папка данных сейчас читается. Попробуйте ещё раз.";

class FolderWriteState {
public:
    // The message the outcome is told by, the write's generation in wParam.
    static constexpr UINT kWrittenMessage = WM_APP + 40;

    // Starts `write` through `writes`, or here over the stores given when there are no
    // writes (a window over a store of its own); either way told by kWrittenMessage.
    // False, with nothing started and the dialog as it was, when the stores are away.
    bool Start(HWND dialog, int statusId, FolderWrites* writes, FolderWrite write, OwnRecipeStore* recipes,
               LedgerStore* ledger, OpticsStore* optics = nullptr) noexcept;
    bool Running() const noexcept { return generation_.has_value(); }
    // The dialog's OK or Cancel (`ok` says which): a beep while a write is on its way, which
    // ends the dialog itself or gives it back; else OK calls `save` and Cancel ends the dialog.
    template <class Save>
    void OkOrCancel(HWND dialog, bool ok, Save save) noexcept {
        if (Running())
            SimpleBeep();
        else if (ok)
            save();
        else
            EndDialog(dialog, IDCANCEL);
    }
    // The outcome the message told of, the dialog's controls given back; none for
    // another write's message.
    std::optional<JournalAppendResult> Take(WPARAM generation) noexcept;

private:
    void Hold(HWND dialog, int statusId) noexcept;
    void Release() noexcept;

    FolderWrites* writes_ = nullptr;
    std::optional<LookGeneration> generation_;
    std::optional<JournalAppendResult> writtenHere_;
    LookGeneration lastHere_ = 0;
    HWND dialog_ = nullptr;
    int statusId_ = 0;
    std::vector<HWND> held_;  // the controls disabled for the write, enabled again after
    HWND focus_ = nullptr;    // where the painter was, given back after
    std::wstring statusText_; // what the status line said before, said again after
};

}  // namespace lacqueron
