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

bool FolderWriteState::Start(HWND dialog, int statusId, FolderWrites* writes, FolderWrite write,
                             OwnRecipeStore* recipes, LedgerStore* ledger, OpticsStore* optics) noexcept {
    if (generation_ || !write) return false;
    writes_ = writes;
    if (writes) {
        generation_ = writes->Write(std::move(write), [dialog](LookGeneration generation) {
            PostMessageW(dialog, kWrittenMessage, static_cast<WPARAM>(generation), 0);
        });
        if (!generation_) return false;
    } else {
        try {
            writtenHere_ = write(recipes, ledger, optics);
        } catch (...) {
            writtenHere_ = JournalAppendResult::WriteFailed;  // out of memory: a retry carries the same id
        }
        generation_ = ++lastHere_;
        PostMessageW(dialog, kWrittenMessage, static_cast<WPARAM>(*generation_), 0);
    }
    Hold(dialog, statusId);
    return true;
}

std::optional<JournalAppendResult> FolderWriteState::Take(WPARAM generation) noexcept {
    if (!generation_ || *generation_ != static_cast<LookGeneration>(generation)) return std::nullopt;
    std::optional<JournalAppendResult> written;
    if (writes_)
        written = writes_->TakeWritten(*generation_);
    else
        written.swap(writtenHere_);
    if (!written) return std::nullopt;
    generation_.reset();
    Release();
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

}  // namespace lacqueron
