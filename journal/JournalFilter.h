// Which batches the journal window lists, in which order.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "journal/JournalFormat.h"

namespace lacqueron {

// Batch indices of `journal` that stand (StandingBatches.h), newest first (of equal times the later written first), of
// the batches whose code, name or note contain `query` when both are folded as the
// colour search folds them (data/text/TextFold.h); an empty query keeps every batch and
// decodes none.
std::vector<std::size_t> SelectBatches(const JournalContents& journal, std::u16string_view query);

}  // namespace lacqueron
