#include "data/cipher/Cipher.h"

#include <cstring>

#include "data/cipher/Aes.h"

namespace lacqueron {
namespace {

// 16 × number of rounds; 0 while no mode is selected.
constexpr std::uint8_t kRoundsAes128 = 160;

struct CipherContext {
    std::uint32_t roundKeys[aes::kRoundKeyWords128];
    std::uint8_t rounds;
    std::uint8_t position;  // bytes of the feedback register already used
};

inline bool WordAligned(const void* p) noexcept {
    return (reinterpret_cast<std::uintptr_t>(p) & 3) == 0;
}

inline std::uint32_t Load32(const std::uint8_t* p) noexcept {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

inline void Store32(std::uint8_t* p, std::uint32_t w) noexcept {
    std::memcpy(p, &w, 4);
}

// CFB with a 128-bit feedback segment; a last short segment is used as a stream and
// the next call goes on from the byte where this one stopped. The register takes the
// ciphertext: the input when decrypting, the output when encrypting.
class Cipher final : public ObjectImpl<ICipher, Cipher> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::Cipher};

    int SelectMode(int selector) noexcept override {
        context_ = CipherContext{};
        if ((selector & 0xFF) != kCipherModeAes128) return 0;
        context_.rounds = kRoundsAes128;
        context_.position = 0;
        return 1;
    }

    int SetKey(const std::uint8_t* key, std::uint32_t length) noexcept override {
        if (key == nullptr || length != aes::kKeySize128) return 0;
        auto copy = CreateByteBuffer(0, aes::kKeySize128);
        if (!copy || copy->Write(key, length, nullptr) == 0) return 0;
        keyCopy_ = std::move(copy);
        aes::ExpandKey128(key, context_.roundKeys);
        context_.rounds = kRoundsAes128;
        context_.position = 0;
        return 1;
    }

    int SetIV(const std::uint8_t* vector, std::uint32_t length) noexcept override {
        if (vector == nullptr || length != aes::kBlockSize) return 0;
        std::memcpy(feedback_, vector, aes::kBlockSize);
        return 1;
    }

    int Encrypt(const std::uint8_t* source, std::uint32_t length, std::uint8_t* destination) noexcept override {
        return Run<false>(source, length, destination);
    }

    int Decrypt(const std::uint8_t* source, std::uint32_t length, std::uint8_t* destination) noexcept override {
        return Run<true>(source, length, destination);
    }

private:
    template <bool decrypting>
    static inline std::uint8_t Step(std::uint8_t in, std::uint8_t& registerByte) noexcept {
        const auto out = static_cast<std::uint8_t>(in ^ registerByte);
        registerByte = decrypting ? in : out;
        return out;
    }

    template <bool decrypting>
    static inline std::uint32_t StepWord(std::uint32_t in, std::uint32_t& registerWord) noexcept {
        const std::uint32_t out = in ^ registerWord;
        registerWord = decrypting ? in : out;
        return out;
    }

    template <bool decrypting>
    int Run(const std::uint8_t* source, std::uint32_t length, std::uint8_t* destination) noexcept {
        if (source == nullptr || destination == nullptr || length == 0) return 0;
        // Every way to a zero rounds byte also zeroes the position, so a cipher without a
        // mode would need a fresh block before its first byte: refuse it up front.
        if (context_.rounds != kRoundsAes128) return 0;

        unsigned p = context_.position;
        while (p != 0 && length != 0) {
            *destination++ = Step<decrypting>(*source++, feedback_[p]);
            p = (p + 1) & 15;
            --length;
        }

        if (WordAligned(source) && WordAligned(destination) && WordAligned(feedback_)) {
            while (length >= aes::kBlockSize) {
                aes::EncryptBlock128(context_.roundKeys, feedback_, feedback_);
                for (std::size_t i = 0; i < aes::kBlockSize; i += 4) {
                    std::uint32_t r = Load32(feedback_ + i);
                    Store32(destination + i, StepWord<decrypting>(Load32(source + i), r));
                    Store32(feedback_ + i, r);
                }
                source += aes::kBlockSize;
                destination += aes::kBlockSize;
                length -= aes::kBlockSize;
            }
        } else {
            while (length >= aes::kBlockSize) {
                aes::EncryptBlock128(context_.roundKeys, feedback_, feedback_);
                for (std::size_t i = 0; i < aes::kBlockSize; ++i)
                    destination[i] = Step<decrypting>(source[i], feedback_[i]);
                source += aes::kBlockSize;
                destination += aes::kBlockSize;
                length -= aes::kBlockSize;
            }
        }

        if (length != 0) {
            aes::EncryptBlock128(context_.roundKeys, feedback_, feedback_);
            for (std::uint32_t i = 0; i < length; ++i) destination[i] = Step<decrypting>(source[i], feedback_[i]);
            p = length;
        }
        context_.position = static_cast<std::uint8_t>(p);
        return 1;
    }

    RefPtr<IByteBuffer> keyCopy_;
    CipherContext context_{};
    alignas(4) std::uint8_t feedback_[aes::kBlockSize]{};
};

class CipherFactory final : public ObjectImpl<ICipherFactory, CipherFactory> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::CipherFactory};

    RefPtr<ICipher> CreateCipher() noexcept override { return RefPtr<ICipher>::Adopt(NewObject<Cipher>()); }
};

}  // namespace

RefPtr<ICipherFactory> CreateCipherFactory() noexcept {
    return RefPtr<ICipherFactory>::Adopt(NewObject<CipherFactory>());
}

}  // namespace lacqueron
