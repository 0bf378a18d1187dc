// Ordered lists of zero-terminated strings, narrow and wide, filled by splitting text.
#pragma once

#include <cstdint>

#include "core/Object.h"

namespace lacqueron {

// Operations 3 to 14, shared by both variants (Char is char or char16_t).
// A stored text is cut at its first zero; an empty text is kept as a null item and
// reads back as the empty string.
template <class Char>
class IStringList : public IObject {
public:
    virtual int Insert(const Char* text, std::int32_t position) noexcept = 0;
    virtual int RemoveAt(std::uint32_t index) noexcept = 0;
    virtual void Clear() noexcept = 0;
    virtual std::uint32_t GetCount() noexcept = 0;
    // Null when index >= count (compared unsigned).
    virtual const Char* GetAt(std::uint32_t index) noexcept = 0;
    virtual int SetAt(std::uint32_t index, const Char* text) noexcept = 0;
    virtual std::uint32_t Split(const Char* text, const Char* separator, std::int32_t length) noexcept = 0;
    virtual std::uint32_t SplitAtChar(const Char* text, Char separator, std::int32_t length) noexcept = 0;
    virtual std::uint32_t SplitAtAny(const Char* text, const Char* separators, std::int32_t length) noexcept = 0;
    virtual std::uint32_t Join(Char* destination, Char separator) noexcept = 0;
    virtual int Find(const Char* text, int flags, std::uint32_t* index) noexcept = 0;
    virtual int SetAtGrow(std::uint32_t index, const Char* text) noexcept = 0;

protected:
    ~IStringList() = default;
};

using INarrowStringList = IStringList<char>;
using IWideStringList = IStringList<char16_t>;

// Creating functions; the caller owns the result, null when memory runs out.
RefPtr<IWideStringList> CreateWideStringList() noexcept;
RefPtr<IWideStringList> CreateWideStringList(const char16_t* text, const char16_t* separator) noexcept;
RefPtr<INarrowStringList> CreateNarrowStringList() noexcept;
// Split at TAB.
RefPtr<INarrowStringList> CreateNarrowStringList(const char* text) noexcept;

}  // namespace lacqueron
