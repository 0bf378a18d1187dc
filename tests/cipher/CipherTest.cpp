#include "data/cipher/Cipher.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tests/cipher/CfbVector.h"

namespace lacqueron {
namespace {

using testing::Bytes;
using testing::kVectorCipher;
using testing::kVectorIV;
using testing::kVectorKey;
using testing::kVectorPlain;
using testing::KeyedCipher;
using testing::Pattern;
using testing::ToHex;

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

// The vector in one call and cut into consecutive calls; the pieces are continued
// through the partly used feedback register.
const std::vector<std::vector<std::uint32_t>> kSplits = {
    {64}, {1, 63}, {15, 1, 48}, {16, 16, 16, 16}, {17, 30, 17}, std::vector<std::uint32_t>(64, 1)};

class CipherVectors : public ::testing::TestWithParam<std::tuple<Direction, std::vector<std::uint32_t>>> {};

TEST_P(CipherVectors, EncryptsF313AndDecryptsF314InAnyCuts) {
    const auto& [direction, pieces] = GetParam();
    const Bytes& in = direction == Direction::kEncrypt ? kVectorPlain : kVectorCipher;
    const Bytes& expected = direction == Direction::kEncrypt ? kVectorCipher : kVectorPlain;
    auto cipher = KeyedCipher();
    auto inPlaceCipher = KeyedCipher();
    Bytes out(64);
    Bytes inPlace = in;
    std::uint32_t at = 0;
    for (std::uint32_t piece : pieces) {
        ASSERT_EQ(Apply(*cipher, direction, in.data() + at, piece, out.data() + at), 1);
        ASSERT_EQ(Apply(*inPlaceCipher, direction, inPlace.data() + at, piece, inPlace.data() + at), 1);
        at += piece;
    }
    ASSERT_EQ(at, 64u);
    EXPECT_EQ(ToHex(out), ToHex(expected));
    EXPECT_EQ(ToHex(inPlace), ToHex(expected)) << "in place";
}

INSTANTIATE_TEST_SUITE_P(Cuts, CipherVectors,
                         ::testing::Combine(::testing::Values(Direction::kEncrypt, Direction::kDecrypt),
                                            ::testing::ValuesIn(kSplits)));

TEST(CipherStream, ArbitraryCutsOfALongStreamAgree) {
    const Bytes plain = Pattern(5000, 7);
    Bytes whole(plain.size());
    ASSERT_EQ(KeyedCipher()->Encrypt(plain.data(), 5000, whole.data()), 1);
    std::uint32_t seed = 99;
    for (int round = 0; round < 20; ++round) {
        auto cipher = KeyedCipher();
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
    ASSERT_EQ(KeyedCipher()->Encrypt(plain.data(), 1000, reference.data()), 1);
    std::vector<std::uint32_t> storage(600);
    auto* base = reinterpret_cast<std::uint8_t*>(storage.data());
    for (int inShift = 0; inShift < 4; ++inShift) {
        for (int outShift = 0; outShift < 4; ++outShift) {
            std::uint8_t* in = base + inShift;
            std::uint8_t* out = base + 1100 + outShift;
            std::copy(reference.begin(), reference.end(), in);
            ASSERT_EQ(KeyedCipher()->Decrypt(in, 1000, out), 1);
            EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out)) << inShift << "/" << outShift;
            std::copy(plain.begin(), plain.end(), in);
            ASSERT_EQ(KeyedCipher()->Encrypt(in, 1000, out), 1);
            EXPECT_TRUE(std::equal(reference.begin(), reference.end(), out)) << inShift << "/" << outShift;
        }
    }
}

TEST(CipherState, SetIVKeepsThePosition) {
    auto cipher = KeyedCipher();
    Bytes five(5);
    ASSERT_EQ(cipher->Encrypt(five.data(), 5, five.data()), 1);
    const Bytes vector = Pattern(16, 42);
    ASSERT_EQ(cipher->SetIV(vector.data(), 16), 1);
    std::uint8_t zero = 0, out = 0;
    ASSERT_EQ(cipher->Decrypt(&zero, 1, &out), 1);
    EXPECT_EQ(out, vector[5]) << "byte 5 of the new register is used as it is";
}

TEST(CipherState, SetKeyRestartsAtAFreshBlock) {
    auto cipher = KeyedCipher();
    Bytes three(3);
    cipher->Decrypt(kVectorCipher.data(), 3, three.data());
    ASSERT_EQ(cipher->SetKey(kVectorKey.data(), 16), 1);
    ASSERT_EQ(cipher->SetIV(kVectorIV.data(), 16), 1);
    Bytes out(64);
    ASSERT_EQ(cipher->Decrypt(kVectorCipher.data(), 64, out.data()), 1);
    EXPECT_EQ(out, kVectorPlain);
}

TEST(CipherModes, OnlyTheLowByteOfTheSelectorCounts) {
    Bytes withTen(64), with266(64);
    for (auto [selector, out] : {std::pair{10, &withTen}, std::pair{266, &with266}}) {
        auto cipher = KeyedCipher();
        ASSERT_EQ(cipher->SelectMode(selector), 1);
        EXPECT_EQ(cipher->Decrypt(kVectorCipher.data(), 64, out->data()), 1);
    }
    EXPECT_EQ(withTen, with266);
    EXPECT_NE(withTen, kVectorPlain) << "selecting a mode clears the round keys";
}

TEST(CipherModes, AnUnknownModeBlocksUntilAModeOrKeyIsSet) {
    auto cipher = KeyedCipher();
    Bytes out(64);
    for (int selector : {11, 0, 9, 138, -1}) {
        EXPECT_EQ(cipher->SelectMode(selector), 0) << selector;
        EXPECT_EQ(cipher->Decrypt(kVectorCipher.data(), 64, out.data()), 0);
        EXPECT_EQ(cipher->Encrypt(kVectorPlain.data(), 1, out.data()), 0);
    }
    ASSERT_EQ(cipher->SelectMode(10), 1);
    EXPECT_EQ(cipher->Decrypt(kVectorCipher.data(), 64, out.data()), 1);
    cipher->SelectMode(11);
    ASSERT_EQ(cipher->SetKey(kVectorKey.data(), 16), 1);
    ASSERT_EQ(cipher->SetIV(kVectorIV.data(), 16), 1);
    ASSERT_EQ(cipher->Decrypt(kVectorCipher.data(), 64, out.data()), 1);
    EXPECT_EQ(out, kVectorPlain);
}

TEST(CipherModes, ANewCipherHasNoMode) {
    auto cipher = testing::NewCipher();
    Bytes out(16);
    EXPECT_EQ(cipher->Decrypt(kVectorCipher.data(), 16, out.data()), 0);
}

TEST(CipherArguments, KeyAndVectorMustBeSixteenBytes) {
    auto cipher = testing::NewCipher();
    const Bytes bytes = Pattern(32, 1);
    for (std::uint32_t length : {0u, 15u, 17u, 24u, 32u}) {
        EXPECT_EQ(cipher->SetKey(bytes.data(), length), 0) << length;
        EXPECT_EQ(cipher->SetIV(bytes.data(), length), 0) << length;
    }
    EXPECT_EQ(cipher->SetKey(nullptr, 16), 0);
    EXPECT_EQ(cipher->SetIV(nullptr, 16), 0);
    Bytes out(16);
    EXPECT_EQ(cipher->Decrypt(kVectorCipher.data(), 16, out.data()), 0) << "no key was taken";
}

TEST(CipherArguments, EmptyOrMissingDataFails) {
    auto cipher = KeyedCipher();
    Bytes out(16);
    for (Direction direction : {Direction::kEncrypt, Direction::kDecrypt}) {
        EXPECT_EQ(Apply(*cipher, direction, kVectorCipher.data(), 0, out.data()), 0);
        EXPECT_EQ(Apply(*cipher, direction, nullptr, 16, out.data()), 0);
        EXPECT_EQ(Apply(*cipher, direction, kVectorCipher.data(), 16, nullptr), 0);
    }
    Bytes whole(64);
    ASSERT_EQ(cipher->Decrypt(kVectorCipher.data(), 64, whole.data()), 1);
    EXPECT_EQ(whole, kVectorPlain) << "refused calls leave the stream where it was";
}

}  // namespace
}  // namespace lacqueron
