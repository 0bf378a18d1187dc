// A dialog's work on the data folder on its way: it runs off the window's thread and the
// outcome comes back by the dialog's own message, so a share that stalls never freezes
// the window. A write holds the dialog's controls still with "Сохранение..." shown; a
// catch-up with what other benches wrote holds only the commands that need the stores.
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

// What a window reads of the data folder as it opens (a recipe's older versions, the
// batch journal) is told by this message; meanwhile the window says so on its state line.
inline constexpr UINT kFolderReadMessage = WM_APP + 43;
inline constexpr wchar_t kFolderReadingText[] = L"Читается...";

// One job over the stores at a time, told by `message` with its generation in wParam.
class FolderJob {
public:
    explicit FolderJob(UINT message) noexcept : message_(message) {}

    // Starts `job` through `writes`, or here over the stores given when there are no
    // writes (a window over a store of its own); either way told by the message. False,
    // with nothing started, when the stores are away or a job of this one runs.
    bool Start(HWND dialog, FolderWrites* writes, FolderWrite job, OwnRecipeStore* recipes,
               LedgerStore* ledger, OpticsStore* optics = nullptr) noexcept;
    bool Running() const noexcept { return generation_.has_value(); }
    // The outcome the message told of; none for another job's message.
    std::optional<JournalAppendResult> Take(WPARAM generation) noexcept;

private:
    const UINT message_;
    FolderWrites* writes_ = nullptr;
    std::optional<LookGeneration> generation_;
    std::optional<JournalAppendResult> doneHere_;
    LookGeneration lastHere_ = 0;
};

class FolderWriteState {
public:
    // The message the outcome is told by, the write's generation in wParam.
    static constexpr UINT kWrittenMessage = WM_APP + 40;

    // Starts `write` as FolderJob::Start does and holds the dialog still meanwhile.
    bool Start(HWND dialog, int statusId, FolderWrites* writes, FolderWrite write, OwnRecipeStore* recipes,
               LedgerStore* ledger, OpticsStore* optics = nullptr) noexcept;
    bool Running() const noexcept { return job_.Running(); }
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

    FolderJob job_{kWrittenMessage};
    HWND dialog_ = nullptr;
    int statusId_ = 0;
    std::vector<HWND> held_;  // the controls disabled for the write, enabled again after
    HWND focus_ = nullptr;    // where the painter was, given back after
    std::wstring statusText_; // what the status line said before, said again after
};

// A list window's catch-up with what this and other benches wrote, on the folder's
// worker, each time the window is active again. While it has the stores a command that
// needs them waits, and runs once they are back.
class FolderCatchUp {
public:
    // The job of a catch-up over one store: what other benches wrote is read; told failed
    // when the store is missing or its file did not answer.
    template <class Store>
    static JournalAppendResult Refreshed(Store* store) {
        if (store) store->Refresh();
        return store && !store->Failing() ? JournalAppendResult::Appended : JournalAppendResult::WriteFailed;
    }

    // Posted at an activation: the catch-up starts once the handler that activated the
    // window is done, as a question box closing inside a command does.
    static constexpr UINT kAskMessage = WM_APP + 41;
    static constexpr UINT kDoneMessage = WM_APP + 42;

    // At WM_ACTIVATE. The activation that opens the window asks nothing: the stores were
    // caught up just before.
    void OnActivate(HWND dialog, WPARAM wParam) noexcept;
    // Starts the job at kAskMessage (or when the window opens); false, with nothing
    // started, while one runs or a write has the stores, which caught them up itself.
    bool Start(HWND dialog, FolderWrites* writes, FolderWrite job, OwnRecipeStore* recipes,
               LedgerStore* ledger) noexcept {
        return job_.Start(dialog, writes, std::move(job), recipes, ledger);
    }
    bool Running() const noexcept { return job_.Running(); }
    // While a catch-up runs, keeps the command `id` to be given again after it; true when kept.
    bool Defer(int id) noexcept;
    // At kDoneMessage: the outcome, the command kept meanwhile posted again; none for
    // another job's message.
    std::optional<JournalAppendResult> Take(HWND dialog, WPARAM generation) noexcept;

    // A list window's messages of its catch-up, all in one place: an activation asks for
    // one, kAskMessage calls `start`, and kDoneMessage, once this job's outcome is taken,
    // calls `done` with it. What the dialog procedure returns; none for other messages.
    template <class StartJob, class Done>
    std::optional<INT_PTR> OnMessage(HWND dialog, UINT message, WPARAM wParam, StartJob start, Done done) noexcept {
        switch (message) {
        case WM_ACTIVATE: OnActivate(dialog, wParam); return FALSE;  // the dialog's own handling goes on
        case kAskMessage: start(); return TRUE;
        case kDoneMessage:
            if (const std::optional<JournalAppendResult> outcome = Take(dialog, wParam)) done(*outcome);
            return TRUE;
        default: return std::nullopt;
        }
    }

private:
    FolderJob job_{kDoneMessage};
    bool opened_ = false;  // the window's first activation went by
    int deferred_ = 0;     // the command waiting; 0 for none
};

}  // namespace lacqueron
