// printf-style formatting of configuration texts (the caption, the version line).
// The format comes from the data package, so it is untrusted: only conversions that
// match the given arguments are served, everything else is copied literally.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "core/WideString.h"

namespace lacqueron {

// One argument: an unsigned 32-bit number or a borrowed text.
class VersionArg {
public:
    VersionArg(std::uint32_t number) noexcept : number_(number) {}
    VersionArg(std::u16string_view text) noexcept : text_(text), isText_(true) {}
    VersionArg(const WideString& text) noexcept : VersionArg(std::u16string_view(text)) {}
    VersionArg(const char16_t* text) noexcept : VersionArg(std::u16string_view(text ? text : u"")) {}

    bool IsText() const noexcept { return isText_; }
    std::uint32_t Number() const noexcept { return number_; }
    std::u16string_view Text() const noexcept { return text_; }

private:
    std::uint32_t number_ = 0;
    std::u16string_view text_;
    bool isText_ = false;
};

// Serves %d %i %u %o %x %X (flags "-+ #0", width, precision, length h, hh or l) for
// number arguments, %s (flag "-", width, precision) for text arguments, and %%.
// Every conversion takes the next argument in order. A conversion that its argument
// cannot serve, or that has none, or that uses '*', positions, other lengths or other
// letters (%n %p %f %c ...), or a width or precision above 4096, is written as it
// stands in the format.
WideString FormatVersion(std::u16string_view format, std::initializer_list<VersionArg> args);

}  // namespace lacqueron
