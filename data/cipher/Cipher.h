// AES-128 in CFB mode (128-bit feedback, last segment used as a stream), the
// cipher factory service and section decoding.
#pragma once

#include <cstdint>

#include "core/ByteBuffer.h"
#include "core/Object.h"

namespace lacqueron {

// Operations 3 to 7; each returns 1 for success and 0 for failure.
class ICipher : public IObject {
public:
    virtual int SelectMode(int selector) noexcept = 0;
    virtual int SetKey(const std::uint8_t* key, std::uint32_t length) noexcept = 0;
    virtual int SetIV(const std::uint8_t* vector, std::uint32_t length) noexcept = 0;
    virtual int Encrypt(const std::uint8_t* source, std::uint32_t length, std::uint8_t* destination) noexcept = 0;
    virtual int Decrypt(const std::uint8_t* source, std::uint32_t length, std::uint8_t* destination) noexcept = 0;

protected:
    ~ICipher() = default;
};

class ICipherFactory : public IObject {
public:
    // A new cipher, owned by the caller; null when memory runs out.
    virtual RefPtr<ICipher> CreateCipher() noexcept = 0;

protected:
    ~ICipherFactory() = default;
};

// Caller owns the result.
RefPtr<ICipherFactory> CreateCipherFactory() noexcept;

inline constexpr int kCipherModeAes128 = 10;
inline constexpr std::uint32_t kSectionPrefixLength = 16;

struct SectionKey {
    std::uint8_t key[16];
    std::uint8_t vector[16];
};

// One encrypted block of the data package.
struct DataSection {
    const std::uint8_t* bytes;
    std::uint32_t length;
};

// Decrypts a section from the key's starting state and returns its content (the
// plain text after the 16-byte prefix) in a new buffer positioned at its end.
// Null when the section or cipher is missing or the cipher fails.
RefPtr<IByteBuffer> DecodeSection(const std::uint8_t* section, std::uint32_t length, ICipher* cipher,
                                  const SectionKey& key) noexcept;

}  // namespace lacqueron
