// The text typed into a list: characters gather while they come quickly, a pause
// starts a new text. Times are milliseconds of a clock that may wrap (the message
// time of Windows).
#pragma once

#include <cstdint>

#include "core/WideString.h"

namespace lacqueron {

class TypeAheadBuffer {
public:
    // A pause this long or longer before a key starts a new text.
    static constexpr std::uint32_t kPauseMs = 1000;

    void Type(char16_t c, std::uint32_t time);
    // Removes the last character (a whole surrogate pair); after a pause the text is
    // simply gone.
    void Backspace(std::uint32_t time);
    // True while the text is still being typed: a key now would add to it.
    bool Continues(std::uint32_t time) const noexcept;
    const WideString& Text() const noexcept { return text_; }

private:
    void StartKey(std::uint32_t time);

    WideString text_;
    std::uint32_t lastKey_ = 0;
};

}  // namespace lacqueron
