// Copying one log's records into another, as when the data folder moves: what the
// target lacks is appended, nothing in either file is written over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "journal/JournalFile.h"
#include "journal/JournalStore.h"

namespace lacqueron {

// The intact frames of the log `from` that the log `to` does not hold, compared whole
// (kind, payload and checksum), in from's order and each once, as one block to append.
std::string FramesMissingFrom(std::string_view to, std::string_view from);

// Reads `from` under its shared lock, then under `to`'s exclusive lock appends what `to`
// lacks in one write, with the header first when `to` is empty. `copied` counts the
// records appended. A source that is no log of this version gives NotAJournal and
// copies nothing, as does a target that is none.
JournalAppendResult CopyMissingRecords(JournalFile& from, JournalFile& to, std::size_t& copied,
                                       std::chrono::milliseconds lockLimit = kJournalLockLimit);

}  // namespace lacqueron
