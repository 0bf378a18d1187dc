// The fields of a record's payload: little-endian integers and UTF-8 texts with a u32
// byte count, written and read the same way for every kind of record.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/Utf8.h"
#include "core/WideString.h"
#include "journal/JournalFormat.h"

namespace lacqueron {

class PayloadWriter {
public:
    void U8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void U32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(v >> shift));
    }
    void U64(std::uint64_t v) {
        for (int shift = 0; shift < 64; shift += 8) U8(static_cast<std::uint8_t>(v >> shift));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void I64(std::int64_t v) { U64(static_cast<std::uint64_t>(v)); }
    void Text(const WideString& text) { Bytes(ToUtf8(text)); }
    // Bytes as they are, with a u32 count.
    void Bytes(std::string_view bytes) {
        U32(static_cast<std::uint32_t>(bytes.size()));
        bytes_ += bytes;
    }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

// Every read checks the bytes left; the first failure sticks.
class PayloadReader {
public:
    explicit PayloadReader(std::string_view bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t left() const { return bytes_.size() - position_; }
    std::uint64_t Unsigned(std::size_t width) {
        if (!ok_ || left() < width) return ok_ = false, 0;
        std::uint64_t v = 0;
        if constexpr (std::endian::native == std::endian::little) {
            // One load where the processor's order is the file's: an index holds millions.
            std::memcpy(&v, bytes_.data() + position_, width);
        } else {
            for (std::size_t i = 0; i < width; ++i)
                v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[position_ + i])) << (8 * i);
        }
        position_ += width;
        return v;
    }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::uint64_t U64() { return Unsigned(8); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::int64_t I64() { return static_cast<std::int64_t>(Unsigned(8)); }
    // A byte that must be 0 or 1.
    bool Flag() {
        const std::uint8_t v = U8();
        if (v > 1) ok_ = false;
        return v == 1;
    }
    void Text(WideString& text) {
        const std::uint32_t size = U32();
        if (!ok_ || left() < size || !FromUtf8(bytes_.substr(position_, size), text)) {
            ok_ = false;
            return;
        }
        position_ += size;
    }
    // Bytes written by PayloadWriter::Bytes; they point into the payload.
    std::string_view Bytes() {
        const std::uint32_t size = U32();
        if (!ok_ || left() < size) {
            ok_ = false;
            return {};
        }
        position_ += size;
        return bytes_.substr(position_ - size, size);
    }
    // Passes over a text without decoding it.
    void SkipText() { Bytes(); }
    // A count of items each at least `itemSize` bytes long, refused when they cannot fit.
    std::uint32_t Count(std::size_t itemSize) {
        const std::uint32_t count = U32();
        if (ok_ && count > left() / itemSize) ok_ = false;
        return ok_ ? count : 0;
    }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

// A record's id follows the fields of its kind; a record written before records had ids
// ends before it and has id 0. Fields a later version adds come after the id.
inline void WriteRecordId(PayloadWriter& out, RecordId id) { out.U64(id); }
inline RecordId ReadRecordId(PayloadReader& in) { return in.ok() && in.left() > 0 ? in.U64() : 0; }

}  // namespace lacqueron
