// Growable in-memory byte stream. Positions, counts and lengths are unsigned 32-bit.
// eof/err arguments are optional flags that an operation sets to 1 and never clears.
#pragma once

#include <cstdint>

#include "core/Object.h"

namespace lacqueron {

// Where Seek counts the offset from; any other origin leaves the cursor where it is.
enum SeekOrigin : int { kSeekFromStart = 0, kSeekFromCurrent = 1, kSeekFromEnd = 2 };

// The width of a length-prefixed string's character count; any other kind is 32-bit.
enum StringPrefixKind : int { kPrefix32Bit = 0, kPrefix16Bit = 1, kPrefix8Bit = 2 };

// Operations 3 to 30.
class IByteStream : public IObject {
public:
    virtual std::uint32_t Read(void* destination, std::uint32_t count, int* eof) noexcept = 0;
    virtual int Write(const void* source, std::uint32_t count, int* err) noexcept = 0;
    virtual std::uint32_t Seek(std::int32_t offset, int origin) noexcept = 0;
    virtual std::uint32_t Tell() noexcept = 0;
    virtual std::uint8_t ReadU8(int* eof) noexcept = 0;
    virtual std::uint16_t ReadU16(int* eof) noexcept = 0;
    virtual std::uint32_t ReadU32(int* eof) noexcept = 0;
    virtual std::uint64_t ReadU64(int* eof) noexcept = 0;
    virtual double ReadDouble(int* eof) noexcept = 0;
    virtual std::uint32_t ReadString(char16_t* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept = 0;
    virtual int WriteU8(std::uint8_t value, int* err) noexcept = 0;
    virtual int WriteU16(std::uint16_t value, int* err) noexcept = 0;
    virtual int WriteU32(std::uint32_t value, int* err) noexcept = 0;
    virtual int WriteU64(std::uint64_t value, int* err) noexcept = 0;
    virtual int WriteDouble(double value, int* err) noexcept = 0;
    virtual int WriteString(const char16_t* text, int* err, int prefixKind) noexcept = 0;
    virtual std::uint16_t ReadChar16(int* eof) noexcept = 0;
    virtual std::uint32_t ReadStringA(char* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept = 0;
    virtual std::uint32_t ReadStringW(char16_t* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept = 0;
    virtual int WriteChar16(std::uint16_t value, int* err) noexcept = 0;
    virtual int WriteStringA(const char* text, int* err, int prefixKind) noexcept = 0;
    virtual int WriteStringW(const char16_t* text, int* err, int prefixKind) noexcept = 0;
    virtual std::uint32_t GetLength() noexcept = 0;
    virtual const char16_t* GetName() noexcept = 0;
    virtual int IsValid() noexcept = 0;
    virtual std::uint64_t Seek64(std::int64_t offset, int origin) noexcept = 0;
    virtual std::uint64_t Tell64() noexcept = 0;
    virtual std::uint64_t GetLength64() noexcept = 0;

protected:
    ~IByteStream() = default;
};

// Operations 31 to 34.
class IByteBuffer : public IByteStream {
public:
    virtual std::uint8_t* GetData() noexcept = 0;
    virtual int Remove(std::uint32_t offset, std::uint32_t count) noexcept = 0;
    // Where the next count bytes go, without moving the cursor; null when it cannot grow.
    virtual std::uint8_t* Reserve(std::uint32_t count) noexcept = 0;
    virtual int Advance(std::uint32_t count) noexcept = 0;

protected:
    ~IByteBuffer() = default;
};

// Caller owns the result; null when memory runs out.
RefPtr<IByteBuffer> CreateByteBuffer(std::uint32_t stepLimitHint, std::uint32_t initialCapacity) noexcept;

}  // namespace lacqueron
