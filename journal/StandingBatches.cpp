#include "journal/StandingBatches.h"

#include <algorithm>
#include <unordered_set>

namespace lacqueron {

std::vector<std::size_t> StandingBatches(const JournalContents& journal) {
    const std::size_t count = journal.BatchCount();
    std::vector<std::size_t> standing;
    standing.reserve(count);
    // From the end, so the first record met of an id is its latest.
    std::unordered_set<std::uint64_t> met;
    met.reserve(count);
    for (std::size_t i = count; i-- > 0;) {
        const std::uint64_t id = journal.BatchId(i);
        if (id == 0 || met.insert(id).second) standing.push_back(i);
    }
    std::reverse(standing.begin(), standing.end());
    return standing;
}

}  // namespace lacqueron
