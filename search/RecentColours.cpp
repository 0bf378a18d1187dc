#include "search/RecentColours.h"

#include <algorithm>

#include "data/text/TextFold.h"

namespace lacqueron {
namespace {

bool IsUsableTitle(std::u16string_view title) noexcept {
    return !title.empty() && title.size() <= RecentColours::kMaxTitle &&
           std::none_of(title.begin(), title.end(), [](char16_t c) { return c < u' '; });
}

}  // namespace

bool RecentColours::Note(const WideString& title) {
    if (TrimSpaces(title).empty() || (!titles_.empty() && titles_.front() == title)) return false;
    const auto earlier = std::find(titles_.begin(), titles_.end(), title);
    if (earlier != titles_.end()) titles_.erase(earlier);
    titles_.insert(titles_.begin(), title);
    if (titles_.size() > kLimit) titles_.resize(kLimit);
    return true;
}

WideString RecentColours::Serialise() const {
    WideString content;
    for (const WideString& title : titles_) {
        content += title;
        content.push_back(u'\0');
    }
    content.push_back(u'\0');
    return content;
}

std::optional<RecentColours> RecentColours::Parse(std::u16string_view content) {
    RecentColours recent;
    if (content.empty()) return recent;
    if (content.back() != u'\0') return std::nullopt;
    content.remove_suffix(1);
    // The list's own terminator; a list written without it is read all the same.
    if (!content.empty() && content.back() == u'\0') content.remove_suffix(1);
    if (content.empty()) return recent;
    for (;;) {
        const std::size_t end = content.find(u'\0');
        const std::u16string_view title = content.substr(0, end);
        if (!IsUsableTitle(title)) return std::nullopt;
        const WideString owned(title);
        if (recent.titles_.size() < kLimit &&
            std::find(recent.titles_.begin(), recent.titles_.end(), owned) == recent.titles_.end())
            recent.titles_.push_back(owned);
        if (end == std::u16string_view::npos) break;
        content.remove_prefix(end + 1);
    }
    return recent;
}

}  // namespace lacqueron
