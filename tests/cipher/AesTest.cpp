#include "data/cipher/Aes.h"

#include <gtest/gtest.h>

#include "tests/cipher/Hex.h"

namespace lacqueron {
namespace {

using testing::Bytes;
using testing::FromHex;
using testing::ToHex;

struct BlockCase {
    const char* name;
    const char* key;
    const char* plain;
    const char* cipher;
};

// FIPS-197 appendix C.1 and the worked example of appendix B.
const BlockCase kBlockCases[] = {
    {"AppendixC1", "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"AppendixB", "2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
     "3925841d02dc09fbdc118597196a0b32"},
};

class AesBlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(AesBlock, EncryptsThePublishedVector) {
    std::uint32_t roundKeys[aes::kRoundKeyWords128];
    aes::ExpandKey128(FromHex(GetParam().key).data(), roundKeys);
    const Bytes plain = FromHex(GetParam().plain);
    Bytes out(16);
    aes::EncryptBlock128(roundKeys, plain.data(), out.data());
    EXPECT_EQ(ToHex(out), GetParam().cipher);
    Bytes inPlace = plain;
    aes::EncryptBlock128(roundKeys, inPlace.data(), inPlace.data());
    EXPECT_EQ(inPlace, out);
}

INSTANTIATE_TEST_SUITE_P(Fips197, AesBlock, ::testing::ValuesIn(kBlockCases),
                         [](const auto& info) { return std::string(info.param.name); });

// FIPS-197 appendix A.1: words of the expanded key 2b7e1516 28aed2a6 abf71588 09cf4f3c.
TEST(AesKeySchedule, ExpandsThePublishedKey) {
    std::uint32_t w[aes::kRoundKeyWords128];
    aes::ExpandKey128(FromHex("2b7e151628aed2a6abf7158809cf4f3c").data(), w);
    const std::uint32_t expected[][2] = {{0, 0x2b7e1516}, {3, 0x09cf4f3c}, {4, 0xa0fafe17}, {5, 0x88542cb1},
                                         {36, 0xac7766f3}, {39, 0x575c006e}, {40, 0xd014f9a8}, {41, 0xc9ee2589},
                                         {42, 0xe13f0cc8}, {43, 0xb6630ca6}};
    for (const auto& [index, word] : expected) EXPECT_EQ(w[index], word) << "w[" << index << "]";
}

}  // namespace
}  // namespace lacqueron
