// The in-memory catalogue: settings, colours, recipes and mix components, and the
// picture. Built once by the loader and read-only afterwards. Records keep their
// address for the catalogue's life: the main dialog's rows point at recipes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ByteBuffer.h"
#include "core/WideString.h"

namespace lacqueron {

// An ordered list whose records never move: nodes come from blocks of BlockSize.
template <class T, std::size_t BlockSize = 10>
class RecordList {
public:
    T& Append(T record) {
        if (count_ % BlockSize == 0) blocks_.push_back(std::make_unique<T[]>(BlockSize));
        T& slot = blocks_.back()[count_ % BlockSize];
        slot = std::move(record);
        ++count_;
        return slot;
    }
    std::size_t size() const noexcept { return count_; }
    bool empty() const noexcept { return count_ == 0; }
    T& operator[](std::size_t i) noexcept { return blocks_[i / BlockSize][i % BlockSize]; }
    const T& operator[](std::size_t i) const noexcept { return blocks_[i / BlockSize][i % BlockSize]; }
    void clear() noexcept { blocks_.clear(); count_ = 0; }

    template <class List, class Ref>
    class Iter {
    public:
        Iter(List* list, std::size_t i) : list_(list), i_(i) {}
        Ref operator*() const { return (*list_)[i_]; }
        Iter& operator++() { ++i_; return *this; }
        bool operator!=(const Iter& other) const { return i_ != other.i_; }
    private:
        List* list_;
        std::size_t i_;
    };
    Iter<RecordList, T&> begin() { return {this, 0}; }
    Iter<RecordList, T&> end() { return {this, count_}; }
    Iter<const RecordList, const T&> begin() const { return {this, 0}; }
    Iter<const RecordList, const T&> end() const { return {this, count_}; }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t count_ = 0;
};

struct SettingEntry {
    WideString key;  // never empty
    WideString value;
};

struct ColourEntry {
    std::int32_t number = 0;
    std::uint32_t rgb = 0;  // COLORREF layout: red in the low byte
    WideString code;
    WideString name;
};

struct RecipeItem {
    WideString code;
    double amount = 0;
};

struct ColourRecipe {
    std::int32_t number = 0;
    WideString title;  // always starts with "RAL "
    std::vector<RecipeItem> items;
};

enum ComponentKind : std::int32_t { kPigment = 1, kBase = 2, kOther = 3 };

enum ComponentFlags : std::uint32_t { kHasFormula = 1u << 0, kHasPigmentFactor = 1u << 1 };

struct FormulaTerm {
    WideString code;
    double share = 0;  // > 0; the shares of one formula add up to 1
};

struct MixComponent {
    ComponentKind kind = kOther;
    std::int32_t purpose = 0;  // 1..6 for a base, 0 otherwise
    std::uint32_t flags = 0;
    double density = 0;  // g/ml; <= 0 means none given
    double pigmentFactor = 1.0;
    WideString code;
    WideString name;
    WideString note;
    std::vector<FormulaTerm> formula;

    bool hasFormula() const noexcept { return (flags & kHasFormula) != 0; }
    bool hasPigmentFactor() const noexcept { return (flags & kHasPigmentFactor) != 0; }
};

// The picture section as loaded: the decoded buffer, a prepared BITMAPINFOHEADER
// (40 bytes plus room for the declared palette) and the pixel data offset.
struct CataloguePicture {
    RefPtr<IByteBuffer> buffer;
    std::vector<std::uint8_t> header;
    std::uint32_t pixelOffset = 0;

    bool empty() const noexcept { return !buffer; }
};

// Latin-only case folding (A-Z); every other character compares exactly.
bool EqualFoldLatin(const WideString& a, const WideString& b) noexcept;

struct Catalogue {
    RecordList<ColourEntry> colours;
    RecordList<ColourRecipe> recipes;
    RecordList<MixComponent> components;
    RecordList<SettingEntry> settings;
    CataloguePicture picture;

    // First colour with this number, or null.
    const ColourEntry* findColour(std::int32_t number) const noexcept;
    // Value of the last entry whose key matches; empty when none.
    WideString setting(const WideString& key) const;
    // First pigment, or base of this purpose, with the code; null when none.
    const MixComponent* findComponent(const WideString& code, std::int32_t purpose) const noexcept;
    // First record with the code that is not a base of another purpose (loader only).
    const MixComponent* findTermComponent(const WideString& code, std::int32_t ownerPurpose) const noexcept;
};

}  // namespace lacqueron
