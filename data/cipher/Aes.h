// AES-128 encryption (FIPS-197) in the table-driven form. Only the forward cipher:
// CFB mode never needs the inverse.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lacqueron::aes {

inline constexpr std::size_t kBlockSize = 16;
inline constexpr std::size_t kKeySize128 = 16;
inline constexpr std::size_t kRoundKeyWords128 = 44;

// Round keys as FIPS-197 words: byte 4i is the most significant byte of word i.
void ExpandKey128(const std::uint8_t key[kKeySize128], std::uint32_t roundKeys[kRoundKeyWords128]) noexcept;

// in and out may be the same block.
void EncryptBlock128(const std::uint32_t roundKeys[kRoundKeyWords128], const std::uint8_t in[kBlockSize],
                     std::uint8_t out[kBlockSize]) noexcept;

}  // namespace lacqueron::aes
