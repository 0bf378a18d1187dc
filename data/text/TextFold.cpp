#include "data/text/TextFold.h"

namespace lacqueron {
namespace {

// Cyrillic capitals: Ѐ..Џ fold to ѐ..џ, А..Я to а..я.
constexpr char16_t kCyrillicFirstExtra = u'\u0400';
constexpr char16_t kCyrillicLastExtra = u'\u040F';
constexpr char16_t kExtraToSmall = 0x50;
constexpr char16_t kCyrillicFirstCapital = u'А';
constexpr char16_t kCyrillicLastCapital = u'Я';
constexpr char16_t kCapitalToSmall = 0x20;
constexpr char16_t kNoBreakSpace = u'\u00A0';

}  // namespace

char16_t FoldLetter(char16_t c) noexcept {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + (u'a' - u'A'));
    if (c >= kCyrillicFirstCapital && c <= kCyrillicLastCapital) return static_cast<char16_t>(c + kCapitalToSmall);
    if (c >= kCyrillicFirstExtra && c <= kCyrillicLastExtra) c = static_cast<char16_t>(c + kExtraToSmall);
    return c == u'ё' ? u'е' : c;
}

WideString FoldText(std::u16string_view text) {
    WideString folded(text);
    for (char16_t& c : folded) c = FoldLetter(c);
    return folded;
}

std::u16string_view TrimSpaces(std::u16string_view text) noexcept {
    const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t' || c == kNoBreakSpace; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace lacqueron
