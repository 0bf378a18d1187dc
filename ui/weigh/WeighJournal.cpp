#include "ui/weigh/WeighJournal.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

#include "core/UniqueId.h"
#include "files/JournalAccess.h"
#include "ui/shared/ErrorBox.h"
#include "ui/weigh/BatchNoteDialog.h"

namespace lacqueron {
namespace {

constexpr wchar_t kAbandonQuestion[] =
    L"Взвешивание не закончено. Закрыть окно? Замес будет записан в журнал как прерванный.";
constexpr wchar_t kConfirmCaption[] = L"Подтверждение";
constexpr char16_t kNoMemoryText[] = u"Замес не записан: не хватило памяти.";

// Whether to close although the batch could not be written.
bool CloseDespite(HWND owner, const WideString& error) noexcept {
    constexpr UINT kStyle = MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2;
    try {
        const WideString question = error + u"\nЗакрыть окно? Записанные показания пропадут.";
        return MessageBoxW(owner, WinText(question), kErrorCaption, kStyle) == IDYES;
    } catch (...) {
        return MessageBoxW(owner, WinText(error), kErrorCaption, kStyle) == IDYES;
    }
}

}  // namespace

bool AnythingRecorded(const PourPlan& plan) noexcept { return !plan.entries.empty(); }

std::size_t ReadingCount(const PourPlan& plan) noexcept {
    return static_cast<std::size_t>(std::count_if(plan.entries.begin(), plan.entries.end(),
                                                  [](const PourEntry& entry) { return !entry.addition; }));
}

void WeighJournal::StartBatch() noexcept {
    batchId_ = NewUniqueId();
    note_.reset();
    batch_.reset();
    written_ = false;
    readingsWritten_ = 0;
}

struct WeighJournal::Outcome {
    std::mutex mutex;
    std::optional<WideString> error;  // set once the write is done
};

bool WeighJournal::Written(const PourPlan& plan) const noexcept {
    return written_ && readingsWritten_ == ReadingCount(plan);
}

WideString WeighJournal::Write(HWND dialog, const PourPlan& plan, const BatchHeader& header) noexcept {
    if (writing_) return WideString();  // the closing waits for the write on its way
    std::shared_ptr<Outcome> outcome;
    std::function<WideString()> append;
    try {
        if (!note_) note_ = AskBatchNote(dialog);
        BatchHeader now = header;
        now.time = CurrentBatchTime();
        now.note = *note_;
        now.batchId = batchId_;
        batch_ = BatchOfPour(plan, now);
        outcome = std::make_shared<Outcome>();
        append = [batch = *batch_, path = path_, open = open_]() {
            return open ? AppendBatchToJournal(batch, open(path)) : AppendBatchToJournal(batch, path);
        };
    } catch (...) {
        return kNoMemoryText;
    }
    const std::uint64_t number = ++lastWrite_;
    const auto post = [dialog, number] { PostMessageW(dialog, kWrittenMessage, static_cast<WPARAM>(number), 0); };
    try {
        // The thread owns the batch it writes and ends on its own; a dialog gone by then is not told.
        std::thread([outcome, append, post]() noexcept {
            WideString error;
            try {
                error = append();
            } catch (...) {
                error = kNoMemoryText;  // the record carries its id: a retry cannot double it
            }
            {
                std::lock_guard lock(outcome->mutex);
                outcome->error.emplace(std::move(error));
            }
            post();
        }).detach();
    } catch (...) {
        // No thread: written here, and told all the same.
        try {
            outcome->error.emplace(append());
        } catch (...) {
            return kNoMemoryText;
        }
        post();
    }
    outcome_ = std::move(outcome);
    writing_ = number;
    readingsWriting_ = ReadingCount(plan);
    return WideString();
}

std::optional<WideString> WeighJournal::OnWritten(WPARAM number) noexcept {
    if (!writing_ || *writing_ != static_cast<std::uint64_t>(number) || !outcome_) return std::nullopt;
    std::optional<WideString> error;
    {
        std::lock_guard lock(outcome_->mutex);
        error.swap(outcome_->error);
    }
    if (!error) return std::nullopt;
    writing_.reset();
    outcome_.reset();
    written_ = error->empty();
    readingsWritten_ = readingsWriting_;
    return error;
}

WeighJournal::Closing WeighJournal::MayClose(HWND dialog, const PourPlan& plan, const BatchHeader& header) noexcept {
    if (writing_) return Closing::kWait;
    if (!AnythingRecorded(plan) || Written(plan)) return Closing::kClose;
    if (!plan.Finished() &&
        MessageBoxW(dialog, kAbandonQuestion, kConfirmCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return Closing::kStay;
    const WideString error = Write(dialog, plan, header);
    if (error.empty()) return Closing::kWait;
    return CloseAfter(dialog, error) ? Closing::kClose : Closing::kStay;
}

bool WeighJournal::CloseAfter(HWND owner, const WideString& error) noexcept {
    return error.empty() || CloseDespite(owner, error);
}

}  // namespace lacqueron
