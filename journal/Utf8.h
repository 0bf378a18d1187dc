// UTF-8 for the journal's texts; UTF-16 surrogate pairs become one four-byte sequence.
#pragma once

#include <string>
#include <string_view>

#include "core/WideString.h"

namespace lacqueron {

// A lone surrogate is written as U+FFFD.
std::string ToUtf8(std::u16string_view text);

// False on a malformed or overlong sequence, an encoded surrogate or a code point
// above U+10FFFF; out then holds what came before it.
bool FromUtf8(std::string_view text, WideString& out);

}  // namespace lacqueron
