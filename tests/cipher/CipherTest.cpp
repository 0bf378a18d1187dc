#include "data/cipher/Cipher.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tests/cipher/Hex.h"

namespace lacqueron {
namespace {

using testing::Bytes;
using testing::FromHex;
using testing::Pattern;
using testing::ToHex;

// NIST SP 800-38A F.3.13 (encrypt) and F.3.14 (decrypt), CFB128-AES128.
const Bytes kKey = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
const Bytes kVector = FromHex("000102030405060708090a0b0c0d0e0f");
const Bytes kPlain = FromHex(
    "6bc1bee22e409f96e93d7e117393172a"
    "ae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52ef"
    "f69f2445df4f9b17ad2b417be66c3710");
const Bytes kCipher = FromHex(
    "3b3fd92eb72dad20333449f8e83cfb4a"
    "c8a64537a0b3a93fcde3cdad9f1ce58b"
    "26751f67a3cbb140b1808cf187a4f4df"
    "c04b05357c5d1c0eeac4c66f9ff7f2e6");

RefPtr<ICipher> MakeCipher() {
    auto factory = CreateCipherFactory();
    EXPECT_TRUE(factory);
    return factory ? factory->CreateCipher() : nullptr;
}

RefPtr<ICipher> Keyed(const Bytes& key = kKey, const Bytes& vector = kVector) {
    auto cipher = MakeCipher();
    EXPECT_EQ(cipher->SelectMode(kCipherModeAes128), 1);
    EXPECT_EQ(cipher->SetKey(key.data(), 16), 1);
    EXPECT_EQ(cipher->SetIV(vector.data(), 16), 1);
    return cipher;
}

enum class Direction { kEncrypt, kDecrypt };

int Apply(ICipher& cipher, Direction direction, const std::uint8_t* in, std::uint32_t length, std::uint8_t* out) {
    return direction == Direction::kEncrypt ? cipher.Encrypt(in, length, out) : cipher.Decrypt(in, length, out);
}

TEST(CipherFactory, AnswersItsIdentifierAndMakesFreshCiphers) {
    auto factory = CreateCipherFactory();
    ASSERT_TRUE(factory);
    EXPECT_TRUE(QueryAs<ICipherFactory>(factory.get(), iid::CipherFactory));
    auto first = factory->CreateCipher();
    auto second = factory->CreateCipher();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(QueryAs<ICipher>(first.get(), iid::Cipher));
    EXPECT_FALSE(QueryAs<ICipher>(first.get(), iid::CipherFactory));
}

TEST(CipherVectors, EncryptsSp80038aF313) {
    Bytes out(kPlain.size());
    ASSERT_EQ(Keyed()->Encrypt(kPlain.data(), 64, out.data()), 1);
    EXPECT_EQ(ToHex(out), ToHex(kCipher));
}

TEST(CipherVectors, DecryptsSp80038aF314) {
    Bytes out(kCipher.size());
    ASSERT_EQ(Keyed()->Decrypt(kCipher.data(), 64, out.data()), 1);
    EXPECT_EQ(ToHex(out), ToHex(kPlain));
}

TEST(CipherVectors, WorksInPlace) {
    Bytes data = kCipher;
    ASSERT_EQ(Keyed()->Decrypt(data.data(), 64, data.data()), 1);
    EXPECT_EQ(data, kPlain);
    ASSERT_EQ(Keyed()->Encrypt(data.data(), 64, data.data()), 1);
    EXPECT_EQ(data, kCipher);
}

// Cuts of one stream into consecutive calls; the pieces are continued through the
// partly used feedback register.
const std::vector<std::vector<std::uint32_t>> kSplits = {
    {1, 63}, {15, 1, 48}, {16, 16, 16, 16}, {17, 30, 17}, {3, 3, 3, 3, 3, 49}, {40, 1, 1, 22},
    {7, 9, 7, 9, 32}, {31, 33}, std::vector<std::uint32_t>(64, 1)};

class CipherSplit : public ::testing::TestWithParam<std::tuple<Direction, std::vector<std::uint32_t>>> {};

TEST_P(CipherSplit, PiecesGiveTheSameBytesAsOneCall) {
    const auto& [direction, pieces] = GetParam();
    const Bytes& in = direction == Direction::kEncrypt ? kPlain : kCipher;
    const Bytes& expected = direction == Direction::kEncrypt ? kCipher : kPlain;
    auto cipher = Keyed();
    Bytes out(64);
    std::uint32_t at = 0;
    for (std::uint32_t piece : pieces) {
        ASSERT_EQ(Apply(*cipher, direction, in.data() + at, piece, out.data() + at), 1);
        at += piece;
    }
    ASSERT_EQ(at, 64u);
    EXPECT_EQ(ToHex(out), ToHex(expected));
}

INSTANTIATE_TEST_SUITE_P(Cuts, CipherSplit,
                         ::testing::Combine(::testing::Values(Direction::kEncrypt, Direction::kDecrypt),
                                            ::testing::ValuesIn(kSplits)));

TEST(CipherStream, ArbitraryCutsOfALongStreamAgree) {
    const Bytes plain = Pattern(5000, 7);
    Bytes whole(plain.size());
    ASSERT_EQ(Keyed()->Encrypt(plain.data(), 5000, whole.data()), 1);
    std::uint32_t seed = 99;
    for (int round = 0; round < 20; ++round) {
        auto cipher = Keyed();
        Bytes out(plain.size());
        std::uint32_t at = 0;
        while (at < whole.size()) {
            seed = seed * 1103515245u + 12345u;
            const std::uint32_t piece = std::min<std::uint32_t>(1 + (seed >> 16) % 70, 5000 - at);
            ASSERT_EQ(cipher->Decrypt(whole.data() + at, piece, out.data() + at), 1);
            at += piece;
        }
        ASSERT_EQ(out, plain) << "round " << round;
    }
}

// The word-wise path (aligned) and the bytewise one (misaligned) agree.
TEST(CipherStream, AlignmentDoesNotChangeTheResult) {
    const Bytes plain = Pattern(1000, 3);
    Bytes reference(plain.size());
    ASSERT_EQ(Keyed()->Encrypt(plain.data(), 1000, reference.data()), 1);
    std::vector<std::uint32_t> storage(600);
    auto* base = reinterpret_cast<std::uint8_t*>(storage.data());
    for (int inShift = 0; inShift < 4; ++inShift) {
        for (int outShift = 0; outShift < 4; ++outShift) {
            std::uint8_t* in = base + inShift;
            std::uint8_t* out = base + 1100 + outShift;
            std::copy(reference.begin(), reference.end(), in);
            ASSERT_EQ(Keyed()->Decrypt(in, 1000, out), 1);
            EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out)) << inShift << "/" << outShift;
            std::copy(plain.begin(), plain.end(), in);
            ASSERT_EQ(Keyed()->Encrypt(in, 1000, out), 1);
            EXPECT_TRUE(std::equal(reference.begin(), reference.end(), out)) << inShift << "/" << outShift;
        }
    }
}

TEST(CipherStream, RoundTripsFromAnyPosition) {
    for (std::uint32_t lead = 0; lead < 16; ++lead) {
        const Bytes plain = Pattern(100, lead);
        auto encryptor = Keyed();
        auto decryptor = Keyed();
        Bytes skip(lead + 1);
        if (lead != 0) {
            encryptor->Encrypt(skip.data(), lead, skip.data());
            decryptor->Decrypt(skip.data(), lead, skip.data());
        }
        Bytes sealed(100), opened(100);
        ASSERT_EQ(encryptor->Encrypt(plain.data(), 100, sealed.data()), 1);
        ASSERT_EQ(decryptor->Decrypt(sealed.data(), 100, opened.data()), 1);
        EXPECT_EQ(opened, plain) << "after " << lead << " bytes";
    }
}

TEST(CipherState, SetIVKeepsThePosition) {
    auto cipher = Keyed();
    Bytes five(5);
    ASSERT_EQ(cipher->Encrypt(five.data(), 5, five.data()), 1);
    const Bytes vector = Pattern(16, 42);
    ASSERT_EQ(cipher->SetIV(vector.data(), 16), 1);
    std::uint8_t zero = 0, out = 0;
    ASSERT_EQ(cipher->Decrypt(&zero, 1, &out), 1);
    EXPECT_EQ(out, vector[5]) << "byte 5 of the new register is used as it is";
}

TEST(CipherState, SetKeyRestartsAtAFreshBlock) {
    auto cipher = Keyed();
    Bytes three(3);
    cipher->Decrypt(kCipher.data(), 3, three.data());
    ASSERT_EQ(cipher->SetKey(kKey.data(), 16), 1);
    ASSERT_EQ(cipher->SetIV(kVector.data(), 16), 1);
    Bytes out(64);
    ASSERT_EQ(cipher->Decrypt(kCipher.data(), 64, out.data()), 1);
    EXPECT_EQ(out, kPlain);
}

TEST(CipherModes, OnlyTheLowByteOfTheSelectorCounts) {
    Bytes withTen(64), with266(64);
    for (auto [selector, out] : {std::pair{10, &withTen}, std::pair{266, &with266}}) {
        auto cipher = Keyed();
        ASSERT_EQ(cipher->SelectMode(selector), 1);
        EXPECT_EQ(cipher->Decrypt(kCipher.data(), 64, out->data()), 1);
    }
    EXPECT_EQ(withTen, with266);
    EXPECT_NE(withTen, kPlain) << "selecting a mode clears the round keys";
}

TEST(CipherModes, AnUnknownModeBlocksUntilAModeOrKeyIsSet) {
    auto cipher = Keyed();
    Bytes out(64);
    for (int selector : {11, 0, 9, 138, -1}) {
        EXPECT_EQ(cipher->SelectMode(selector), 0) << selector;
        EXPECT_EQ(cipher->Decrypt(kCipher.data(), 64, out.data()), 0);
        EXPECT_EQ(cipher->Encrypt(kPlain.data(), 1, out.data()), 0);
    }
    ASSERT_EQ(cipher->SelectMode(10), 1);
    EXPECT_EQ(cipher->Decrypt(kCipher.data(), 64, out.data()), 1);
    cipher->SelectMode(11);
    ASSERT_EQ(cipher->SetKey(kKey.data(), 16), 1);
    ASSERT_EQ(cipher->SetIV(kVector.data(), 16), 1);
    ASSERT_EQ(cipher->Decrypt(kCipher.data(), 64, out.data()), 1);
    EXPECT_EQ(out, kPlain);
}

TEST(CipherModes, ANewCipherHasNoMode) {
    auto cipher = MakeCipher();
    Bytes out(16);
    EXPECT_EQ(cipher->Decrypt(kCipher.data(), 16, out.data()), 0);
}

TEST(CipherArguments, KeyAndVectorMustBeSixteenBytes) {
    auto cipher = MakeCipher();
    const Bytes bytes = Pattern(32, 1);
    for (std::uint32_t length : {0u, 15u, 17u, 24u, 32u}) {
        EXPECT_EQ(cipher->SetKey(bytes.data(), length), 0) << length;
        EXPECT_EQ(cipher->SetIV(bytes.data(), length), 0) << length;
    }
    EXPECT_EQ(cipher->SetKey(nullptr, 16), 0);
    EXPECT_EQ(cipher->SetIV(nullptr, 16), 0);
    Bytes out(16);
    EXPECT_EQ(cipher->Decrypt(kCipher.data(), 16, out.data()), 0) << "no key was taken";
}

TEST(CipherArguments, EmptyOrMissingDataFails) {
    auto cipher = Keyed();
    Bytes out(16);
    for (Direction direction : {Direction::kEncrypt, Direction::kDecrypt}) {
        EXPECT_EQ(Apply(*cipher, direction, kCipher.data(), 0, out.data()), 0);
        EXPECT_EQ(Apply(*cipher, direction, nullptr, 16, out.data()), 0);
        EXPECT_EQ(Apply(*cipher, direction, kCipher.data(), 16, nullptr), 0);
    }
    Bytes whole(64);
    ASSERT_EQ(cipher->Decrypt(kCipher.data(), 64, whole.data()), 1);
    EXPECT_EQ(whole, kPlain) << "refused calls leave the stream where it was";
}

}  // namespace
}  // namespace lacqueron
