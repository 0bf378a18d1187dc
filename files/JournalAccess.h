// The program's journal of batches: journal.lqj in the data folder (files/DataFolder.h).
#pragma once

#include <memory>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "journal/JournalStore.h"

namespace lacqueron {

// The journal's path; empty when there is no data folder.
WideString JournalPath();

// Opens and reads the journal at path (a damaged one too: see its Contents().Damage());
// null when the file cannot be opened or read, or another bench holds it past
// kJournalLockLimit, with the Russian reason in error.
std::unique_ptr<JournalStore> OpenJournal(const WideString& path, WideString& error) noexcept;

// Now, as a batch's end time: UTC and the local offset of the moment.
BatchTime CurrentBatchTime() noexcept;

// Writes a finished or abandoned batch at the end of the journal at path, reading only
// the file's header and last record; empty when it was written, else why not in
// Russian, for a message box (a journal held by another bench past kJournalLockLimit
// among the reasons).
WideString AppendBatchToJournal(const BatchRecord& batch, const WideString& path = JournalPath()) noexcept;
// The same through a journal file opened already (null when it could not be).
WideString AppendBatchToJournal(const BatchRecord& batch, std::unique_ptr<JournalFile> file) noexcept;

}  // namespace lacqueron
