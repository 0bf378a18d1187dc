// A growing buffer for a log file's bytes, read straight into it.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace lacqueron {

// A file's bytes in memory that is not zeroed before a read fills it: a file of many
// megabytes is then written into fresh memory once, not twice.
class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(std::string_view bytes) { Append(bytes); }

    // Adds `length` bytes for the caller to fill and returns where they start.
    char* Extend(std::size_t length);
    void Append(std::string_view more);
    // Gives back the last `length` bytes, as after a read that failed.
    void Shrink(std::size_t length) noexcept { size_ -= length; }
    // Forgets the first `length` bytes; the storage stays for what is read next.
    void DropFront(std::size_t length) noexcept;

    std::string_view view() const noexcept { return {data_.get(), size_}; }
    std::size_t size() const noexcept { return size_; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace lacqueron
