#include "core/ByteBuffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace lacqueron {
namespace {

constexpr std::uint64_t kMaxSize = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t kMinimumStep = 16;

template <class Char>
std::uint32_t TextLength(const Char* text) noexcept {
    std::uint32_t n = 0;
    if (text != nullptr)
        while (text[n] != 0) ++n;
    return n;
}

class ByteBuffer final : public ObjectImpl<IByteBuffer, ByteBuffer> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::MemoryStream, iid::ByteBuffer, iid::ByteStream};

    ByteBuffer(std::uint32_t stepLimitHint, std::uint32_t initialCapacity) noexcept {
        const std::uint32_t initial = initialCapacity < kMinimumStep ? kMinimumStep : initialCapacity;
        step_ = initial;
        stepLimit_ = stepLimitHint > initial ? stepLimitHint : initial;
        data_ = static_cast<std::uint8_t*>(std::calloc(initial, 1));
        capacity_ = data_ != nullptr ? initial : 0;
    }
    ~ByteBuffer() override { std::free(data_); }

    std::uint32_t Read(void* destination, std::uint32_t count, int* eof) noexcept override {
        return ReadBytes(destination, count, eof);
    }

    int Write(const void* source, std::uint32_t count, int* err) noexcept override {
        if (source == nullptr || count == 0) return 0;
        if (data_ == nullptr || !Grow(std::uint64_t{position_} + count)) {
            SetFlag(err);
            return 0;
        }
        std::memcpy(data_ + position_, source, count);
        position_ += count;
        if (position_ > length_) length_ = position_;
        return 1;
    }

    std::uint32_t Seek(std::int32_t offset, int origin) noexcept override {
        if (data_ == nullptr) return 0;
        std::int64_t target = position_;
        if (origin == kSeekFromStart) target = offset;
        else if (origin == kSeekFromCurrent) target = std::int64_t{position_} + offset;
        else if (origin == kSeekFromEnd) target = std::int64_t{length_} + offset;
        return MoveTo(target);
    }

    std::uint32_t Tell() noexcept override { return position_; }

    std::uint8_t ReadU8(int* eof) noexcept override { return ReadValue<std::uint8_t>(eof); }
    std::uint16_t ReadU16(int* eof) noexcept override { return ReadValue<std::uint16_t>(eof); }
    std::uint32_t ReadU32(int* eof) noexcept override { return ReadValue<std::uint32_t>(eof); }
    std::uint64_t ReadU64(int* eof) noexcept override { return ReadValue<std::uint64_t>(eof); }
    double ReadDouble(int* eof) noexcept override { return ReadValue<double>(eof); }
    std::uint32_t ReadString(char16_t* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept override {
        return ReadStringW(buffer, size, eof, prefixKind);
    }

    int WriteU8(std::uint8_t value, int* err) noexcept override { return Write(&value, sizeof value, err); }
    int WriteU16(std::uint16_t value, int* err) noexcept override { return Write(&value, sizeof value, err); }
    int WriteU32(std::uint32_t value, int* err) noexcept override { return Write(&value, sizeof value, err); }
    int WriteU64(std::uint64_t value, int* err) noexcept override { return Write(&value, sizeof value, err); }
    int WriteDouble(double value, int* err) noexcept override { return Write(&value, sizeof value, err); }
    int WriteString(const char16_t* text, int* err, int prefixKind) noexcept override {
        return WriteStringW(text, err, prefixKind);
    }

    std::uint16_t ReadChar16(int* eof) noexcept override { return ReadU16(eof); }
    std::uint32_t ReadStringA(char* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept override {
        return ReadPrefixed(buffer, size, eof, prefixKind);
    }
    std::uint32_t ReadStringW(char16_t* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept override {
        return ReadPrefixed(buffer, size, eof, prefixKind);
    }
    int WriteChar16(std::uint16_t value, int* err) noexcept override { return WriteU16(value, err); }
    int WriteStringA(const char* text, int* err, int prefixKind) noexcept override {
        return WritePrefixed(text, err, prefixKind);
    }
    int WriteStringW(const char16_t* text, int* err, int prefixKind) noexcept override {
        return WritePrefixed(text, err, prefixKind);
    }

    std::uint32_t GetLength() noexcept override { return length_; }
    const char16_t* GetName() noexcept override { return u""; }
    int IsValid() noexcept override { return data_ != nullptr ? 1 : 0; }
    // Only the low 32 bits of the offset count.
    std::uint64_t Seek64(std::int64_t offset, int origin) noexcept override {
        return Seek(static_cast<std::int32_t>(static_cast<std::uint32_t>(offset)), origin);
    }
    std::uint64_t Tell64() noexcept override { return position_; }
    std::uint64_t GetLength64() noexcept override { return length_; }

    std::uint8_t* GetData() noexcept override { return data_; }

    int Remove(std::uint32_t offset, std::uint32_t count) noexcept override {
        if (offset >= length_) return 0;
        if (count >= length_ - offset) {
            length_ = offset;
            if (position_ > offset) position_ = offset;
            return 1;
        }
        const std::uint32_t end = offset + count;
        std::memmove(data_ + offset, data_ + end, length_ - end);
        length_ -= count;
        if (position_ >= end) position_ -= count;
        else if (position_ > offset) position_ = offset;
        return 1;
    }

    std::uint8_t* Reserve(std::uint32_t count) noexcept override {
        if (data_ == nullptr || !Grow(std::uint64_t{position_} + count)) return nullptr;
        return data_ + position_;
    }

    // Counts are unsigned: a count of 2^31 or more moves forward (and is clamped)
    // rather than being taken as a negative offset.
    int Advance(std::uint32_t count) noexcept override {
        if (data_ != nullptr) MoveTo(std::int64_t{position_} + count);
        return 1;
    }

private:
    static void SetFlag(int* flag) noexcept {
        if (flag != nullptr) *flag = 1;
    }

    // Clamps to the storage, extends the length when moving past it.
    std::uint32_t MoveTo(std::int64_t target) noexcept {
        if (target < 0) target = 0;
        if (target > capacity_) target = capacity_;
        position_ = static_cast<std::uint32_t>(target);
        if (position_ > length_) length_ = position_;
        return position_;
    }

    // Sizes beyond 32 bits fail like a failed allocation, leaving everything unchanged.
    bool Grow(std::uint64_t required) noexcept {
        if (required <= capacity_) return true;
        if (required > kMaxSize) return false;
        std::uint64_t capacity = capacity_;
        std::uint64_t step = step_;
        while (capacity < required) {
            if (step >= stepLimit_) {
                // The step is fixed from here on: take the remaining steps at once.
                capacity += (required - capacity + step - 1) / step * step;
                break;
            }
            capacity += step;
            step = capacity < stepLimit_ ? capacity : stepLimit_;
        }
        if (capacity > kMaxSize) return false;
        step_ = static_cast<std::uint32_t>(step);

        auto* block = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(capacity)));
        if (block == nullptr) return false;
        std::memcpy(block, data_, length_);
        std::memset(block + length_, 0, static_cast<std::size_t>(capacity - length_));
        std::free(data_);
        data_ = block;
        capacity_ = static_cast<std::uint32_t>(capacity);
        return true;
    }

    std::uint32_t ReadBytes(void* destination, std::uint64_t count, int* eof) noexcept {
        if (destination == nullptr || count == 0) return 0;
        if (data_ == nullptr) {
            SetFlag(eof);
            return 0;
        }
        const std::uint32_t left = length_ - position_;
        if (count > left) {
            count = left;
            SetFlag(eof);
        }
        std::memcpy(destination, data_ + position_, static_cast<std::size_t>(count));
        position_ += static_cast<std::uint32_t>(count);
        return static_cast<std::uint32_t>(count);
    }

    template <class T>
    T ReadValue(int* eof) noexcept {
        T value{};
        ReadBytes(&value, sizeof value, eof);
        return value;
    }

    int WritePrefix(std::uint32_t count, int* err, int prefixKind) noexcept {
        switch (prefixKind) {
        case kPrefix8Bit: return WriteU8(static_cast<std::uint8_t>(count), err);
        case kPrefix16Bit: return WriteU16(static_cast<std::uint16_t>(count), err);
        default: return WriteU32(count, err);
        }
    }

    std::uint32_t ReadPrefix(int* eof, int prefixKind) noexcept {
        switch (prefixKind) {
        case kPrefix8Bit: return ReadU8(eof);
        case kPrefix16Bit: return ReadU16(eof);
        default: return ReadU32(eof);
        }
    }

    template <class Char>
    int WritePrefixed(const Char* text, int* err, int prefixKind) noexcept {
        const std::uint32_t count = TextLength(text);
        const int written = WritePrefix(count, err, prefixKind);
        if (written == 0 || count == 0) return written;
        const std::uint64_t bytes = std::uint64_t{count} * sizeof(Char);
        if (bytes > kMaxSize) {
            SetFlag(err);
            return 0;
        }
        return Write(text, static_cast<std::uint32_t>(bytes), err);
    }

    // With a null buffer: peeks at the stored count. Otherwise reads at most size - 1
    // characters, terminates them and skips the rest; returns the bytes read.
    template <class Char>
    std::uint32_t ReadPrefixed(Char* buffer, std::uint32_t size, int* eof, int prefixKind) noexcept {
        const std::uint32_t start = position_;
        int prefixEof = 0;
        const std::uint32_t count = ReadPrefix(&prefixEof, prefixKind);
        if (prefixEof != 0) SetFlag(eof);
        if (buffer == nullptr) {
            MoveTo(start);
            return count;
        }
        if (prefixEof != 0) return 0;

        const std::uint64_t wanted = count;
        const std::uint64_t fits = size == 0 ? 0 : size - 1;  // room left for the terminator
        const std::uint64_t taken = wanted < fits ? wanted : fits;
        const std::uint32_t read = ReadBytes(buffer, taken * sizeof(Char), eof);
        if (size != 0) buffer[read / sizeof(Char)] = 0;
        if (taken < wanted) MoveTo(std::int64_t{position_} + static_cast<std::int64_t>((wanted - taken) * sizeof(Char)));
        return read;
    }

    std::uint8_t* data_ = nullptr;
    std::uint32_t position_ = 0;
    std::uint32_t step_ = 0;
    std::uint32_t stepLimit_ = 0;
    std::uint32_t capacity_ = 0;
    std::uint32_t length_ = 0;
};

}  // namespace

RefPtr<IByteBuffer> CreateByteBuffer(std::uint32_t stepLimitHint, std::uint32_t initialCapacity) noexcept {
    auto buffer = RefPtr<IByteBuffer>::Adopt(NewObject<ByteBuffer>(stepLimitHint, initialCapacity));
    if (buffer && buffer->IsValid() == 0) return nullptr;
    return buffer;
}

}  // namespace lacqueron
