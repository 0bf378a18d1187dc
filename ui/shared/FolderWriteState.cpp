#include "ui/shared/FolderWriteState.h"

namespace lacqueron {
namespace {

constexpr wchar_t kSavingText[] = L"Сохранение...";

struct HoldSearch {
    HWND status;
    std::vector<HWND>* held;
};

BOOL CALLBACK HoldChild(HWND child, LPARAM parameter) noexcept {
    const auto* search = reinterpret_cast<const HoldSearch*>(parameter);
    if (child == search->status || !IsWindowEnabled(child)) return TRUE;
    try {
        search->held->push_back(child);
    } catch (...) {
        return FALSE;  // out of memory: the rest stay enabled, and the message loop drops a second save
    }
    EnableWindow(child, FALSE);
    return TRUE;
}

}  // namespace

bool FolderJob::Start(HWND dialog, FolderWrites* writes, FolderWrite job, OwnRecipeStore* recipes,
                      LedgerStore* ledger, OpticsStore* optics) noexcept {
    if (generation_ || !job) return false;
    writes_ = writes;
    if (writes) {
        generation_ = writes->Write(std::move(job), [dialog, message = message_](LookGeneration generation) {
            PostMessageW(dialog, message, static_cast<WPARAM>(generation), 0);
        });
        return generation_.has_value();
    }
    try {
        doneHere_ = job(recipes, ledger, optics);
    } catch (...) {
        doneHere_ = JournalAppendResult::WriteFailed;  // out of memory: a retry carries the same id
    }
    generation_ = ++lastHere_;
    PostMessageW(dialog, message_, static_cast<WPARAM>(*generation_), 0);
    return true;
}

std::optional<JournalAppendResult> FolderJob::Take(WPARAM generation) noexcept {
    if (!generation_ || *generation_ != static_cast<LookGeneration>(generation)) return std::nullopt;
    std::optional<JournalAppendResult> done;
    if (writes_)
        done = writes_->TakeWritten(*generation_);
    else
        done.swap(doneHere_);
    if (done) generation_.reset();
    return done;
}

bool FolderWriteState::Start(HWND dialog, int statusId, FolderWrites* writes, FolderWrite write,
                             OwnRecipeStore* recipes, LedgerStore* ledger, OpticsStore* optics) noexcept {
    if (!job_.Start(dialog, writes, std::move(write), recipes, ledger, optics)) return false;
    Hold(dialog, statusId);
    return true;
}

std::optional<JournalAppendResult> FolderWriteState::Take(WPARAM generation) noexcept {
    const std::optional<JournalAppendResult> written = job_.Take(generation);
    if (written) Release();
    return written;
}

void FolderWriteState::Hold(HWND dialog, int statusId) noexcept {
    dialog_ = dialog;
    statusId_ = statusId;
    focus_ = GetFocus();
    try {
        HWND status = GetDlgItem(dialog, statusId);
        statusText_.assign(static_cast<std::size_t>(GetWindowTextLengthW(status)), L'\0');
        if (!statusText_.empty())
            statusText_.resize(static_cast<std::size_t>(
                GetWindowTextW(status, statusText_.data(), static_cast<int>(statusText_.size()) + 1)));
    } catch (...) {
        statusText_.clear();  // out of memory: the line is left empty after
    }
    HoldSearch search{GetDlgItem(dialog, statusId), &held_};
    EnumChildWindows(dialog, HoldChild, reinterpret_cast<LPARAM>(&search));
    SetDlgItemTextW(dialog, statusId, kSavingText);
}

void FolderWriteState::Release() noexcept {
    for (HWND child : held_) EnableWindow(child, TRUE);
    held_.clear();
    SetDlgItemTextW(dialog_, statusId_, statusText_.c_str());
    if (focus_ && IsWindowEnabled(focus_)) SetFocus(focus_);
}

void FolderCatchUp::OnActivate(HWND dialog, WPARAM wParam) noexcept {
    if (LOWORD(wParam) == WA_INACTIVE) return;
    if (opened_)
        PostMessageW(dialog, kAskMessage, 0, 0);
    else
        opened_ = true;
}

bool FolderCatchUp::Defer(int id) noexcept {
    if (!Running()) return false;
    deferred_ = id;
    return true;
}

std::optional<JournalAppendResult> FolderCatchUp::Take(HWND dialog, WPARAM generation) noexcept {
    const std::optional<JournalAppendResult> done = job_.Take(generation);
    if (done && deferred_ != 0) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(deferred_, BN_CLICKED), 0);
        deferred_ = 0;
    }
    return done;
}

}  // namespace lacqueron
