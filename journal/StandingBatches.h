// Which records of the journal are its batches. A batch changed after it was written (a
// paste added after its end) gets a later record with the same id; the file is never
// rewritten, so every reader takes the latest record of an id and passes over the rest.
#pragma once

#include <cstddef>
#include <vector>

#include "journal/JournalFormat.h"

namespace lacqueron {

// Batch indices of `journal` in file order, of the records no later record of the same
// batch replaces; records of id 0 always stand. One pass over the index, decoding none.
std::vector<std::size_t> StandingBatches(const JournalContents& journal);

}  // namespace lacqueron
