// The colours the painter used last: at most ten distinct colour titles, newest
// first, kept as a REG_MULTI_SZ string list (each title ended by a null, one more
// null at the end).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "core/WideString.h"

namespace lacqueron {

class RecentColours {
public:
    static constexpr std::size_t kLimit = 10;
    // A title longer than this is no title of ours: the stored list is damaged.
    static constexpr std::size_t kMaxTitle = 64;

    const std::vector<WideString>& Titles() const noexcept { return titles_; }

    // Puts the title first, dropping its earlier place and whatever passes the limit.
    // False when the list stays as it was (the title was already first, or blank).
    bool Note(const WideString& title);

    WideString Serialise() const;
    // The list from stored content; nullopt when the content is damaged (no final
    // null, an empty or overlong title, control characters). Repeats after the first
    // and titles past the limit are dropped.
    static std::optional<RecentColours> Parse(std::u16string_view content);

private:
    std::vector<WideString> titles_;
};

}  // namespace lacqueron
