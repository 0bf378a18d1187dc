#include "ui/weigh/WeighJournal.h"

#include <algorithm>

#include "core/UniqueId.h"
#include "files/JournalAccess.h"
#include "ui/shared/ErrorBox.h"
#include "ui/weigh/BatchNoteDialog.h"

namespace lacqueron {
namespace {

constexpr wchar_t kAbandonQuestion[] =
    L"Взвешивание не закончено. Закрыть окно? Замес будет записан в журнал как прерванный.";
constexpr wchar_t kConfirmCaption[] = L"Подтверждение";

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

bool WeighJournal::Written(const PourPlan& plan) const noexcept {
    return written_ && readingsWritten_ == ReadingCount(plan);
}

WideString WeighJournal::Write(HWND owner, const PourPlan& plan, const BatchHeader& header) noexcept {
    try {
        if (!note_) note_ = AskBatchNote(owner);
        BatchHeader now = header;
        now.time = CurrentBatchTime();
        now.note = *note_;
        now.batchId = batchId_;
        batch_ = BatchOfPour(plan, now);
    } catch (...) {
        return u"Замес не записан: не хватило памяти.";
    }
    const WideString error = AppendBatchToJournal(*batch_, path_);
    written_ = error.empty();
    readingsWritten_ = ReadingCount(plan);
    return error;
}

bool WeighJournal::MayClose(HWND owner, const PourPlan& plan, const BatchHeader& header) noexcept {
    if (!AnythingRecorded(plan) || Written(plan)) return true;
    if (!plan.Finished() &&
        MessageBoxW(owner, kAbandonQuestion, kConfirmCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    const WideString error = Write(owner, plan, header);
    return error.empty() || CloseDespite(owner, error);
}

}  // namespace lacqueron
