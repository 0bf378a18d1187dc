#include "search/TypeAheadBuffer.h"

namespace lacqueron {
namespace {

bool IsLowSurrogate(char16_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(char16_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

bool TypeAheadBuffer::Continues(std::uint32_t time) const noexcept {
    // Unsigned difference: right across the clock's wrap.
    return !text_.empty() && time - lastKey_ < kPauseMs;
}

void TypeAheadBuffer::StartKey(std::uint32_t time) {
    if (!Continues(time)) text_.clear();
    lastKey_ = time;
}

void TypeAheadBuffer::Type(char16_t c, std::uint32_t time) {
    StartKey(time);
    text_.push_back(c);
}

void TypeAheadBuffer::Backspace(std::uint32_t time) {
    StartKey(time);
    if (text_.empty()) return;
    const bool pair = text_.size() >= 2 && IsLowSurrogate(text_.back()) && IsHighSurrogate(text_[text_.size() - 2]);
    text_.resize(text_.size() - (pair ? 2 : 1));
}

}  // namespace lacqueron
