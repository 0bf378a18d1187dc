// The digits every number the program reads is written with: ASCII '0' to '9' alone,
// whatever the locale (the C library's digit test depends on it).
#pragma once

namespace lacqueron {

constexpr bool IsAsciiDigit(char32_t c) noexcept { return c >= U'0' && c <= U'9'; }

}  // namespace lacqueron
