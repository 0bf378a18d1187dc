#include "data/catalogue/PackageBuilder.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace lacqueron {

namespace {

bool ResetCipher(ICipher& cipher, const SectionKey& key) noexcept {
    return cipher.SelectMode(kCipherModeAes128) && cipher.SetKey(key.key, sizeof key.key) &&
           cipher.SetIV(key.vector, sizeof key.vector);
}

// The prefix block of a section: the index and the key pair run through the cipher
// itself, so it looks random yet a rebuild gives the same bytes.
bool PrefixBlock(ICipher& cipher, const SectionKey& key, int index, std::uint8_t (&prefix)[kSectionPrefixLength]) noexcept {
    std::uint8_t seed[kSectionPrefixLength];
    for (std::uint32_t i = 0; i < kSectionPrefixLength; ++i)
        seed[i] = static_cast<std::uint8_t>(key.key[i] ^ key.vector[kSectionPrefixLength - 1 - i] ^ (index * 0x3B + i));
    return ResetCipher(cipher, key) && cipher.Encrypt(seed, sizeof seed, prefix);
}

}  // namespace

std::unique_ptr<OwnedPackage> EncryptPackage(const SectionContents& contents, const SectionKey& key) {
    RefPtr<ICipherFactory> factory = CreateCipherFactory();
    RefPtr<ICipher> cipher = factory ? factory->CreateCipher() : nullptr;
    if (!cipher) return nullptr;

    auto owned = std::make_unique<OwnedPackage>();
    owned->package.key = key;
    for (int index = 0; index < kSectionCount; ++index) {
        const NarrowString& content = contents[index];
        if (content.size() > std::numeric_limits<std::uint32_t>::max() - kSectionPrefixLength) return nullptr;
        std::vector<std::uint8_t> plain(kSectionPrefixLength + content.size());
        std::uint8_t prefix[kSectionPrefixLength];
        if (!PrefixBlock(*cipher, key, index, prefix)) return nullptr;
        std::copy(prefix, prefix + kSectionPrefixLength, plain.begin());
        std::copy(content.begin(), content.end(), plain.begin() + kSectionPrefixLength);

        std::vector<std::uint8_t>& encrypted = owned->encrypted[index];
        encrypted.resize(plain.size());
        if (!ResetCipher(*cipher, key) ||
            !cipher->Encrypt(plain.data(), static_cast<std::uint32_t>(plain.size()), encrypted.data()))
            return nullptr;
        owned->package.sections[index] = DataSection{encrypted.data(), static_cast<std::uint32_t>(encrypted.size())};
    }
    return owned;
}

}  // namespace lacqueron
