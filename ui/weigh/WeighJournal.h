// What the weighing dialog writes into the journal, and when it may close: a batch is
// written when it is finished or left after a reading, with the note asked the first
// time, and again under the same batch id when a paste is added after that; a batch
// that cannot be written keeps the dialog open unless the painter says otherwise.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "pour/PourBatch.h"
#include "pour/PourPlan.h"

namespace lacqueron {

class WeighJournal {
public:
    explicit WeighJournal(WideString path) : path_(std::move(path)) {}

    // A new batch: nothing of it written yet, and an id of its own for its records.
    void StartBatch() noexcept;
    // Writes the batch as the plan has it now, under the header but for its time and
    // note, which are taken now, and its id; empty when written, else why not.
    WideString Write(HWND owner, const PourPlan& plan, const BatchHeader& header) noexcept;
    // Whether the journal has the batch with every reading that stands now. A paste
    // poured after the batch was written makes it due again, as a later record of the
    // same batch that readers take in place of the earlier one.
    bool Written(const PourPlan& plan) const noexcept;
    // The batch as last written, for the label.
    const BatchRecord* Batch() const noexcept { return batch_ ? &*batch_ : nullptr; }

    // Asks what closing now means for the batch and writes it; false when the dialog
    // stays open.
    bool MayClose(HWND owner, const PourPlan& plan, const BatchHeader& header) noexcept;

private:
    WideString path_;
    std::uint64_t batchId_ = 0;
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
