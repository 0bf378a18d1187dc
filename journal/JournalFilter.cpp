#include "journal/JournalFilter.h"

#include <algorithm>

namespace lacqueron {
namespace {

constexpr char16_t kCyrillicCapitalA = u'\u0410';
constexpr char16_t kCyrillicCapitalYa = u'\u042F';
constexpr char16_t kCyrillicCapitalIe = u'\u0400';  // the first of the sixteen capitals before А
constexpr char16_t kCyrillicCapitalDzhe = u'\u040F';
constexpr char16_t kCyrillicIo = u'\u0451';
constexpr char16_t kCyrillicIe = u'\u0435';
constexpr char16_t kCyrillicLowerOffset = 0x20;          // А to а
constexpr char16_t kCyrillicExtendedLowerOffset = 0x50;  // Ѐ to ѐ
constexpr char16_t kLatinLowerOffset = u'a' - u'A';

bool ContainsFolded(std::u16string_view text, const std::u16string& foldedQuery) {
    if (foldedQuery.size() > text.size()) return false;
    for (std::size_t start = 0; start + foldedQuery.size() <= text.size(); ++start) {
        std::size_t k = 0;
        while (k < foldedQuery.size() && FoldForSearch(text[start + k]) == foldedQuery[k]) ++k;
        if (k == foldedQuery.size()) return true;
    }
    return false;
}

}  // namespace

char16_t FoldForSearch(char16_t c) noexcept {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + kLatinLowerOffset);
    if (c >= kCyrillicCapitalA && c <= kCyrillicCapitalYa) return static_cast<char16_t>(c + kCyrillicLowerOffset);
    if (c >= kCyrillicCapitalIe && c <= kCyrillicCapitalDzhe)
        c = static_cast<char16_t>(c + kCyrillicExtendedLowerOffset);
    return c == kCyrillicIo ? kCyrillicIe : c;
}

std::vector<std::size_t> SelectBatches(const JournalContents& journal, std::u16string_view query) {
    std::u16string folded(query);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldForSearch);

    std::vector<std::size_t> selected;
    selected.reserve(journal.BatchCount());
    BatchRecord batch;  // reused, so that searching allocates little
    for (std::size_t i = journal.BatchCount(); i-- > 0;) {
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
