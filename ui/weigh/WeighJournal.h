// What the weighing dialog writes into the journal, and when it may close: a batch is
// written once, when it is finished or left after a reading, with the note asked the
// first time; a batch that cannot be written keeps the dialog open unless the painter
// says otherwise.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "pour/PourBatch.h"
#include "pour/PourPlan.h"

namespace lacqueron {

class WeighJournal {
public:
    explicit WeighJournal(WideString path) : path_(std::move(path)) {}

    // Writes the batch as the plan has it now, under the header but for its time and
    // note, which are taken now; empty when written, else why not.
    WideString Write(HWND owner, const PourPlan& plan, const BatchHeader& header) noexcept;
    // Whether the journal has the batch with every reading that stands now. A paste
    // poured after the batch was written makes it due again, as a record of its own.
    bool Written(const PourPlan& plan) const noexcept;
    // The batch as last written, for the label.
    const BatchRecord* Batch() const noexcept { return batch_ ? &*batch_ : nullptr; }

    // Asks what closing now means for the batch and writes it; false when the dialog
    // stays open.
    bool MayClose(HWND owner, const PourPlan& plan, const BatchHeader& header) noexcept;

private:
    WideString path_;
    std::optional<WideString> note_;
    std::optional<BatchRecord> batch_;
    bool written_ = false;
    std::size_t readingsWritten_ = 0;
};

// Whether any reading stands.
bool AnythingRecorded(const PourPlan& plan) noexcept;
// How many readings stand; a paste added has none of its own.
std::size_t ReadingCount(const PourPlan& plan) noexcept;

}  // namespace lacqueron
