#include "data/cipher/Cipher.h"

namespace lacqueron {

RefPtr<IByteBuffer> DecodeSection(const std::uint8_t* section, std::uint32_t length, ICipher* cipher,
                                  const SectionKey& key) noexcept {
    if (section == nullptr || cipher == nullptr) return nullptr;
    // Every section starts from the same state, whatever was decoded before.
    if (cipher->SelectMode(kCipherModeAes128) == 0 || cipher->SetKey(key.key, sizeof key.key) == 0 ||
        cipher->SetIV(key.vector, sizeof key.vector) == 0)
        return nullptr;

    // Deciphered straight into the buffer's storage.
    auto plain = CreateByteBuffer(0, length);
    if (!plain) return nullptr;
    std::uint8_t* target = plain->Reserve(length);
    if (target == nullptr) return nullptr;
    const int deciphered = cipher->Decrypt(section, length, target);
    plain->Advance(length);
    if (deciphered == 0) return nullptr;

    const std::uint32_t plainLength = plain->GetLength();
    const std::uint32_t contentLength = plainLength > kSectionPrefixLength ? plainLength - kSectionPrefixLength : 0;
    auto content = CreateByteBuffer(0, contentLength);
    if (!content) return nullptr;
    if (contentLength != 0 &&
        content->Write(plain->GetData() + kSectionPrefixLength, contentLength, nullptr) == 0)
        return nullptr;
    return content;
}

}  // namespace lacqueron
