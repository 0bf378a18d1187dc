#include "core/Utf8.h"

namespace lacqueron {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kFirstHighSurrogate = 0xD800;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kLastSurrogate = 0xDFFF;

bool IsHighSurrogate(char32_t c) { return c >= kFirstHighSurrogate && c < kFirstLowSurrogate; }
bool IsLowSurrogate(char32_t c) { return c >= kFirstLowSurrogate && c <= kLastSurrogate; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < kFirstSupplementary) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16(WideString& out, char32_t c) {
    if (c >= kFirstSupplementary) {
        out.push_back(static_cast<char16_t>(kFirstHighSurrogate + ((c - kFirstSupplementary) >> 10)));
        out.push_back(static_cast<char16_t>(kFirstLowSurrogate + ((c - kFirstSupplementary) & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

// One sequence from text[i]: its code point when valid, and the bytes it spans either
// way (a malformed one ends before the first byte that cannot continue it).
struct Sequence {
    char32_t code = 0;
    std::size_t length = 1;
    bool valid = false;
};

Sequence ReadSequence(std::string_view text, std::size_t i, char32_t largest) noexcept {
    // The smallest code point each sequence length may carry; anything less is overlong.
    static constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, kFirstSupplementary};
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra;
    char32_t c;
    if (lead < 0x80) {
        extra = 0, c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07;
    } else {
        return {};
    }
    Sequence sequence;
    for (std::size_t k = 1; k <= extra; ++k, ++sequence.length) {
        if (i + k >= text.size()) return sequence;
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return sequence;
        c = c << 6 | (next & 0x3F);
    }
    sequence.code = c;
    sequence.valid = c >= kSmallest[extra] && c <= largest && c <= kLargestCodePoint && !IsHighSurrogate(c) &&
                     !IsLowSurrogate(c);
    return sequence;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = kFirstSupplementary + ((c - kFirstHighSurrogate) << 10 | (text[i + 1] - kFirstLowSurrogate));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool FromUtf8(std::string_view text, WideString& out, std::size_t* badOffset, char32_t largest) {
    // Clearing keeps the capacity, so a string reused record after record stops allocating.
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        const Sequence sequence = ReadSequence(text, i, largest);
        if (!sequence.valid) {
            if (badOffset) *badOffset = i;
            return false;
        }
        AppendUtf16(out, sequence.code);
        i += sequence.length;
    }
    return true;
}

WideString FromUtf8Lenient(std::string_view text) {
    WideString out;
    for (std::size_t i = 0; i < text.size();) {
        const Sequence sequence = ReadSequence(text, i, kLargestCodePoint);
        AppendUtf16(out, sequence.valid ? sequence.code : kReplacement);
        i += sequence.length;
    }
    return out;
}

}  // namespace lacqueron
