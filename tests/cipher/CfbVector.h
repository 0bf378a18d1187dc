// NIST SP 800-38A F.3.13 (encrypt) and F.3.14 (decrypt), CFB128-AES128, and a cipher keyed for it.
#pragma once

#include <gtest/gtest.h>

#include "data/cipher/Cipher.h"
#include "tests/cipher/Hex.h"

namespace lacqueron::testing {

inline const Bytes kVectorKey = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
inline const Bytes kVectorIV = FromHex("000102030405060708090a0b0c0d0e0f");
inline const Bytes kVectorPlain = FromHex(
    "6bc1bee22e409f96e93d7e117393172a"
    "ae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52ef"
    "f69f2445df4f9b17ad2b417be66c3710");
inline const Bytes kVectorCipher = FromHex(
    "3b3fd92eb72dad20333449f8e83cfb4a"
    "c8a64537a0b3a93fcde3cdad9f1ce58b"
    "26751f67a3cbb140b1808cf187a4f4df"
    "c04b05357c5d1c0eeac4c66f9ff7f2e6");

inline RefPtr<ICipher> NewCipher() {
    auto factory = CreateCipherFactory();
    EXPECT_TRUE(factory);
    auto cipher = factory ? factory->CreateCipher() : nullptr;
    EXPECT_TRUE(cipher);
    return cipher;
}

// A fresh AES-128 cipher with the key and vector set.
inline RefPtr<ICipher> KeyedCipher(const std::uint8_t* key = kVectorKey.data(),
                                   const std::uint8_t* vector = kVectorIV.data()) {
    auto cipher = NewCipher();
    EXPECT_EQ(cipher->SelectMode(kCipherModeAes128), 1);
    EXPECT_EQ(cipher->SetKey(key, 16), 1);
    EXPECT_EQ(cipher->SetIV(vector, 16), 1);
    return cipher;
}

}  // namespace lacqueron::testing
