// Case folding for finding colours by name: Latin and Cyrillic letters by our own
// table, never by the C library's locale, with ё read as е.
#pragma once

#include <string_view>

#include "core/WideString.h"

namespace lacqueron {

// The small letter for a capital Latin or Cyrillic letter, е for ё and Ё; every other
// character unchanged.
char16_t FoldLetter(char16_t c) noexcept;

// The text with every character folded.
WideString FoldText(std::u16string_view text);

// The text without white space at either end.
std::u16string_view TrimSpaces(std::u16string_view text) noexcept;

}  // namespace lacqueron
