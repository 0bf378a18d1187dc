// UTF-8 for the data package's source files, which people edit in ordinary editors.
#pragma once

#include <cstddef>
#include <string>

#include "core/WideString.h"

namespace datapack {

// False on a malformed sequence, an overlong form, a surrogate or a code point above
// U+FFFF (the program's text is UTF-16 without pairs); badOffset is then its byte offset.
bool Utf8ToWide(const std::string& text, lacqueron::WideString& out, std::size_t& badOffset);
std::string WideToUtf8(const lacqueron::WideString& text);

}  // namespace datapack
