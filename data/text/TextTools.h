// Lines, Windows-1251 text and the number readers of the data package.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/ByteBuffer.h"
#include "core/WideString.h"
#include "data/text/StringList.h"

namespace lacqueron {

enum EmptyLines : int { kKeepEmptyLines = 0, kDropEmptyLines = 1 };

// Splits a buffer at CR, LF and CR LF. Caller owns the result; null when the buffer is null.
RefPtr<INarrowStringList> SplitLines(IByteBuffer* buffer, EmptyLines emptyLines) noexcept;

// Decodes Windows-1251 (the data package's code page) on every platform.
WideString ToWide(const char* text);
// The same for bytes that may hold a zero, as a file's.
WideString Cp1251ToWide(std::string_view bytes);
// The reverse, for the tools: false when a character has no 1251 byte.
bool ToCp1251(const WideString& text, NarrowString& out);

// Whole numbers: white space, optional sign ("-" negates modulo 2^32), digits;
// saturates at 4294967295. Null or no digits give 0.
std::uint32_t ParseUnsigned(const char16_t* text) noexcept;
// White space, optional sign, digits; saturates at the signed 32-bit limits.
std::int32_t ParseSigned(const char16_t* text) noexcept;
// The first "," or "." is the decimal point; digits, one point, optional exponent.
// No number gives 0.
double ParseDecimal(const char16_t* text) noexcept;

}  // namespace lacqueron
