#include "journal/JournalFilter.h"

#include <algorithm>

#include "data/text/TextFold.h"
#include "journal/StandingBatches.h"

namespace lacqueron {
namespace {

bool ContainsFolded(std::u16string_view text, const std::u16string& foldedQuery) {
    if (foldedQuery.size() > text.size()) return false;
    for (std::size_t start = 0; start + foldedQuery.size() <= text.size(); ++start) {
        std::size_t k = 0;
        while (k < foldedQuery.size() && FoldLetter(text[start + k]) == foldedQuery[k]) ++k;
        if (k == foldedQuery.size()) return true;
    }
    return false;
}

}  // namespace

std::vector<std::size_t> SelectBatches(const JournalContents& journal, std::u16string_view query) {
    const std::u16string folded = FoldText(query);

    const std::vector<std::size_t> standing = StandingBatches(journal);
    std::vector<std::size_t> selected;
    selected.reserve(standing.size());
    BatchRecord batch;  // reused, so that searching allocates little
    for (auto at = standing.rbegin(); at != standing.rend(); ++at) {
        const std::size_t i = *at;
        if (!folded.empty()) {
            journal.DecodeInto(i, batch);
            if (!ContainsFolded(batch.colourCode, folded) && !ContainsFolded(batch.colourName, folded) &&
                !ContainsFolded(batch.note, folded))
                continue;
        }
        selected.push_back(i);
    }
    // Written order is nearly time order already; the stable sort keeps the later written first.
    std::stable_sort(selected.begin(), selected.end(),
                     [&](std::size_t a, std::size_t b) { return journal.UtcSeconds(a) > journal.UtcSeconds(b); });
    return selected;
}

}  // namespace lacqueron
