// All text of the catalogue and the windows is UTF-16 on every platform.
#pragma once

#include <string>

namespace lacqueron {

using WideString = std::u16string;
using NarrowString = std::string;

#ifdef _WIN32
// Windows' wchar_t is one UTF-16 unit; these are the only bridges to the W functions.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline const wchar_t* WinText(const WideString& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline WideString FromWinText(const wchar_t* text) {
    return text ? WideString(reinterpret_cast<const char16_t*>(text)) : WideString();
}
inline WideString FromWinText(const wchar_t* text, std::size_t length) {
    return WideString(reinterpret_cast<const char16_t*>(text), length);
}
#endif

}  // namespace lacqueron
