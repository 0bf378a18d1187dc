#include "data/text/StringList.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace lacqueron {
namespace {

template <class Char>
std::size_t TextLength(const Char* text) noexcept {
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// Folds only A-Z; every other character, Cyrillic included, compares exactly.
template <class Char>
Char FoldLatin(Char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <class Char>
bool TextsEqual(const Char* a, const Char* b, bool ignoreCase) noexcept {
    for (;; ++a, ++b) {
        const Char x = ignoreCase ? FoldLatin(*a) : *a;
        const Char y = ignoreCase ? FoldLatin(*b) : *b;
        if (x != y) return false;
        if (x == 0) return true;
    }
}

template <class Char>
constexpr Guid ListId() noexcept {
    if constexpr (sizeof(Char) == 1) return iid::NarrowStringList;
    else return iid::WideStringList;
}

template <class Char>
class StringList final : public ObjectImpl<IStringList<Char>, StringList<Char>> {
public:
    static constexpr Guid kInterfaceIds[] = {ListId<Char>()};

    ~StringList() override { Clear(); }

    int Insert(const Char* text, std::int32_t position) noexcept override {
        if (position < -1) return 0;
        if (!Append(text, text ? TextLength(text) : 0)) return 0;
        if (position >= 0 && static_cast<std::uint32_t>(position) < count_ - 1) {
            Char* added = items_[count_ - 1];
            std::memmove(items_ + position + 1, items_ + position,
                         (count_ - 1 - position) * sizeof(Char*));
            items_[position] = added;
        }
        return 1;
    }

    int RemoveAt(std::uint32_t index) noexcept override {
        if (index >= count_) return 0;
        std::free(items_[index]);
        std::memmove(items_ + index, items_ + index + 1, (count_ - index - 1) * sizeof(Char*));
        --count_;
        return 1;
    }

    void Clear() noexcept override {
        for (std::uint32_t i = 0; i < count_; ++i) std::free(items_[i]);
        std::free(items_);
        items_ = nullptr;
        count_ = 0;
        capacity_ = 0;
    }

    std::uint32_t GetCount() noexcept override { return count_; }

    const Char* GetAt(std::uint32_t index) noexcept override {
        if (index >= count_) return nullptr;
        return items_[index] ? items_[index] : kEmpty;
    }

    int SetAt(std::uint32_t index, const Char* text) noexcept override {
        if (index >= count_) return 0;
        Char* copy = nullptr;
        if (!Copy(text, text ? TextLength(text) : 0, copy)) return 0;
        std::free(items_[index]);
        items_[index] = copy;
        return 1;
    }

    std::uint32_t Split(const Char* text, const Char* separator, std::int32_t length) noexcept override {
        const std::size_t separatorLength = separator ? TextLength(separator) : 0;
        // An empty separator means the text is a zero-separated list.
        const Char zero[1] = {0};
        if (separatorLength == 0) separator = zero;
        return SplitWith(text, length, separatorLength == 0, [&](const Char* at, std::size_t left) {
            const std::size_t n = separatorLength == 0 ? 1 : separatorLength;
            if (n > left) return std::size_t{0};
            for (std::size_t i = 0; i < n; ++i)
                if (at[i] != separator[i]) return std::size_t{0};
            return n;
        });
    }

    std::uint32_t SplitAtChar(const Char* text, Char separator, std::int32_t length) noexcept override {
        return SplitWith(text, length, separator == 0, [&](const Char* at, std::size_t) {
            return std::size_t{*at == separator ? 1u : 0u};
        });
    }

    std::uint32_t SplitAtAny(const Char* text, const Char* separators, std::int32_t length) noexcept override {
        // An empty set behaves like an empty separator: the zero character separates.
        const bool zeroSeparated = separators == nullptr || *separators == 0;
        return SplitWith(text, length, zeroSeparated, [&](const Char* at, std::size_t) {
            if (zeroSeparated) return std::size_t{*at == 0 ? 1u : 0u};
            for (const Char* s = separators; *s != 0; ++s)
                if (*at == *s) return std::size_t{1};
            return std::size_t{0};
        });
    }

    std::uint32_t Join(Char* destination, Char separator) noexcept override {
        std::uint64_t size = 1;
        for (std::uint32_t i = 0; i < count_; ++i) {
            size += items_[i] ? TextLength(items_[i]) : 0;
            if (i + 1 < count_ || separator == 0) ++size;
        }
        if (separator == 0 && count_ == 0) ++size;
        if (size > UINT32_MAX) return 0;
        if (destination != nullptr) {
            Char* out = destination;
            for (std::uint32_t i = 0; i < count_; ++i) {
                if (items_[i]) {
                    const std::size_t n = TextLength(items_[i]);
                    std::memcpy(out, items_[i], n * sizeof(Char));
                    out += n;
                }
                if (i + 1 < count_ || separator == 0) *out++ = separator;
            }
            if (separator == 0 && count_ == 0) *out++ = 0;
            *out = 0;
        }
        return static_cast<std::uint32_t>(size);
    }

    int Find(const Char* text, int flags, std::uint32_t* index) noexcept override {
        const Char* wanted = text ? text : kEmpty;
        for (std::uint32_t i = 0; i < count_; ++i) {
            if (TextsEqual(items_[i] ? items_[i] : kEmpty, wanted, (flags & 1) != 0)) {
                if (index) *index = i;
                return 1;
            }
        }
        return 0;
    }

    int SetAtGrow(std::uint32_t index, const Char* text) noexcept override {
        while (count_ <= index)
            if (!Append(nullptr, 0)) return 0;
        return SetAt(index, text);
    }

private:
    static constexpr Char kEmpty[1] = {0};
    // Keeps the pointer array within a 31-bit byte size on every platform.
    static constexpr std::uint32_t kMaxItems = 0x7FFFFFFFu / sizeof(Char*);

    // A copy cut at the first zero; an empty text becomes a null item.
    static bool Copy(const Char* text, std::size_t length, Char*& copy) noexcept {
        copy = nullptr;
        std::size_t n = 0;
        while (n < length && text[n] != 0) ++n;
        if (n == 0) return true;
        copy = static_cast<Char*>(std::malloc((n + 1) * sizeof(Char)));
        if (!copy) return false;
        std::memcpy(copy, text, n * sizeof(Char));
        copy[n] = 0;
        return true;
    }

    bool Grow() noexcept {
        if (count_ < capacity_) return true;
        const std::uint32_t wanted = capacity_ == 0 ? 1 : capacity_ * 2;
        if (capacity_ >= kMaxItems) return false;
        const std::uint32_t next = wanted > kMaxItems ? kMaxItems : wanted;
        auto* grown = static_cast<Char**>(std::realloc(items_, next * sizeof(Char*)));
        if (!grown) return false;
        items_ = grown;
        capacity_ = next;
        return true;
    }

    bool Append(const Char* text, std::size_t length) noexcept {
        if (!Grow()) return false;
        Char* copy = nullptr;
        if (!Copy(text, length, copy)) return false;
        items_[count_++] = copy;
        return true;
    }

    // Scans the text and appends the fields between separator matches.
    // matchAt(position, charactersLeft) gives the length of a separator match there, or 0.
    template <class MatchAt>
    std::uint32_t SplitWith(const Char* text, std::int32_t length, bool zeroSeparated, MatchAt matchAt) noexcept {
        if (text == nullptr) return 0;
        std::size_t total = 0;
        if (length == -1) {
            if (zeroSeparated) {
                // Strings up to the empty one; the length ends with the last string.
                std::size_t at = 0;
                while (text[at] != 0) {
                    at += TextLength(text + at);
                    total = at;
                    ++at;
                }
            } else {
                total = TextLength(text);
            }
        } else if (length > 0) {
            total = static_cast<std::size_t>(length);
        }
        if (total == 0) return 0;

        std::uint32_t fields = 0;
        std::size_t fieldStart = 0;
        std::size_t at = 0;
        while (at < total) {
            const std::size_t matched = matchAt(text + at, total - at);
            if (matched == 0) {
                ++at;
                continue;
            }
            if (!Append(text + fieldStart, at - fieldStart)) return fields;
            ++fields;
            at += matched;
            fieldStart = at;
        }
        if (!Append(text + fieldStart, total - fieldStart)) return fields;
        return fields + 1;
    }

    Char** items_ = nullptr;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = 0;
};

template <class Char>
RefPtr<IStringList<Char>> CreateList(const Char* text, const Char* separator) noexcept {
    auto* list = NewObject<StringList<Char>>();
    if (list == nullptr) return nullptr;
    auto result = RefPtr<IStringList<Char>>::Adopt(list);
    if (text != nullptr) result->Split(text, separator, -1);
    return result;
}

}  // namespace

RefPtr<IWideStringList> CreateWideStringList() noexcept {
    return CreateList<char16_t>(nullptr, nullptr);
}

RefPtr<IWideStringList> CreateWideStringList(const char16_t* text, const char16_t* separator) noexcept {
    return CreateList<char16_t>(text, separator);
}

RefPtr<INarrowStringList> CreateNarrowStringList() noexcept {
    return CreateList<char>(nullptr, nullptr);
}

RefPtr<INarrowStringList> CreateNarrowStringList(const char* text) noexcept {
    return CreateList<char>(text, "\t");
}

}  // namespace lacqueron
