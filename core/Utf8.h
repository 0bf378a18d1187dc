// The one UTF-8 codec: the journal and its export, the data package's sources and the
// native program path. UTF-16 surrogate pairs become one four-byte sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/WideString.h"

namespace lacqueron {

constexpr char32_t kLargestCodePoint = 0x10FFFF;
// For text that must stay UTF-16 without pairs, as the data package's sources.
constexpr char32_t kLargestBasicCodePoint = 0xFFFF;

// A lone surrogate is written as U+FFFD.
std::string ToUtf8(std::u16string_view text);

// False on a malformed or overlong sequence, an encoded surrogate or a code point above
// largest; out then holds what came before it and badOffset, when given, the offset of
// the sequence's first byte.
bool FromUtf8(std::string_view text, WideString& out, std::size_t* badOffset = nullptr,
              char32_t largest = kLargestCodePoint);

// Every malformed sequence read as one U+FFFD, for names that must come through whatever
// their bytes, such as a file's path.
WideString FromUtf8Lenient(std::string_view text);

}  // namespace lacqueron
