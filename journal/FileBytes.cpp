#include "journal/FileBytes.h"

#include <algorithm>
#include <cstring>

namespace lacqueron {

char* FileBytes::Extend(std::size_t length) {
    const std::size_t needed = size_ + length;
    if (needed > capacity_) {
        // The first read is taken at its size; what others append later grows it by halves.
        const std::size_t capacity = capacity_ == 0 ? needed : std::max(needed, capacity_ + capacity_ / 2);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
        data_ = std::move(grown);
        capacity_ = capacity;
    }
    char* const end = data_.get() + size_;
    size_ = needed;
    return end;
}

void FileBytes::Append(std::string_view more) {
    if (!more.empty()) std::memcpy(Extend(more.size()), more.data(), more.size());
}

void FileBytes::DropFront(std::size_t length) noexcept {
    if (length < size_) std::memmove(data_.get(), data_.get() + length, size_ - length);
    size_ = length < size_ ? size_ - length : 0;
}

}  // namespace lacqueron
