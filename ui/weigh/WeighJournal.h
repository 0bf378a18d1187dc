// What the weighing dialog writes into the journal, and when it may close: a batch is
// written when it is finished or left after a reading, with the note asked the first
// time, and again under the same batch id when a paste is added after that; a batch
// that cannot be written keeps the dialog open unless the painter says otherwise. The
// journal is in the data folder: each write runs on a thread of its own and its outcome
// comes back by the dialog's message, so a share that stalls never freezes the dialog.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "journal/JournalFile.h"
#include "pour/PourBatch.h"
#include "pour/PourPlan.h"

namespace lacqueron {

// Opens the journal's file at the path; null when it cannot be opened.
using OpenJournalFile = std::function<std::unique_ptr<JournalFile>(const WideString& path)>;

class WeighJournal {
public:
    // The message a write's outcome is told by, its number in wParam.
    static constexpr UINT kWrittenMessage = WM_APP + 43;
    // What closing now means: close, stay, or wait for the batch's write on its way.
    enum class Closing { kClose, kStay, kWait };

    // Without `open`, the file is opened through Win32.
    explicit WeighJournal(WideString path, OpenJournalFile open = {})
        : path_(std::move(path)), open_(std::move(open)) {}

    // A new batch: nothing of it written yet, and an id of its own for its records.
    void StartBatch() noexcept;
    // Starts writing the batch as the plan has it now, under the header but for its time
    // and note, which are taken now, and its id; told to `dialog` by kWrittenMessage.
    // Empty when started, else why not.
    WideString Write(HWND dialog, const PourPlan& plan, const BatchHeader& header) noexcept;
    bool Writing() const noexcept { return writing_.has_value(); }
    // At kWrittenMessage: empty when the batch was written, else why not; none for
    // another write's message.
    std::optional<WideString> OnWritten(WPARAM number) noexcept;
    // Whether the journal has the batch with every reading that stands now. A paste
    // poured after the batch was written makes it due again, as a later record of the
    // same batch that readers take in place of the earlier one.
    bool Written(const PourPlan& plan) const noexcept;
    // The batch as last written, for the label.
    const BatchRecord* Batch() const noexcept { return batch_ ? &*batch_ : nullptr; }

    // Asks what closing now means for the batch and starts its write when it is due:
    // kWait until the write is told, and then CloseAfter decides.
    Closing MayClose(HWND dialog, const PourPlan& plan, const BatchHeader& header) noexcept;
    // Whether to close once the write closing waited for is told with `error`.
    bool CloseAfter(HWND owner, const WideString& error) noexcept;

private:
    struct Outcome;

    WideString path_;
    OpenJournalFile open_;
    std::uint64_t batchId_ = 0;
    std::optional<WideString> note_;
    std::optional<BatchRecord> batch_;
    bool written_ = false;
    std::size_t readingsWritten_ = 0;
    // The write on its way: its number, the readings it carries, and where its outcome lands.
    std::optional<std::uint64_t> writing_;
    std::uint64_t lastWrite_ = 0;
    std::size_t readingsWriting_ = 0;
    std::shared_ptr<Outcome> outcome_;
};

// Whether any reading stands.
bool AnythingRecorded(const PourPlan& plan) noexcept;
// How many readings stand; a paste added has none of its own.
std::size_t ReadingCount(const PourPlan& plan) noexcept;

}  // namespace lacqueron
