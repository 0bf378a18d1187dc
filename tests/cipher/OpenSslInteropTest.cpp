// `openssl enc -aes-128-cfb` is CFB with a 128-bit segment, used as a stream for the
// last partial block: the same as our cipher, so both must agree byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/cipher/CfbVector.h"
#include "tests/support/RunCommand.h"

namespace lacqueron {
namespace {

using testing::Bytes;
using testing::KeyedCipher;
using testing::Pattern;
using testing::ToHex;

// Runs openssl on the input and returns what it writes; ok = false when it fails.
Bytes OpenSsl(bool decrypt, const Bytes& key, const Bytes& vector, const Bytes& input, bool& ok) {
    const std::string path = test::ScratchPath(::testing::TempDir(), "lacqueron-cfb-input");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(input.data()),
                                                static_cast<std::streamsize>(input.size()));
    const test::CommandResult result = test::RunCommand("openssl enc -aes-128-cfb" + std::string(decrypt ? " -d" : "") +
                                                        " -K " + ToHex(key) + " -iv " + ToHex(vector) + " -in " + path);
    std::remove(path.c_str());
    ok = result.status == 0;
    return Bytes(result.out.begin(), result.out.end());
}

class OpenSslInterop : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void SetUp() override {
        LACQUERON_REQUIRE_TOOL("openssl");
    }
    const std::uint32_t length = GetParam();
    const Bytes key = Pattern(16, length);
    const Bytes vector = Pattern(16, length + 1000);
    const Bytes plain = Pattern(length, length + 2000);
};

TEST_P(OpenSslInterop, OurEncryptionIsOpenSslsAndItDecryptsIt) {
    Bytes ours(length);
    ASSERT_EQ(KeyedCipher(key.data(), vector.data())->Encrypt(plain.data(), length, ours.data()), 1);
    bool ok = false;
    const Bytes theirs = OpenSsl(false, key, vector, plain, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ToHex(ours), ToHex(theirs));
    const Bytes opened = OpenSsl(true, key, vector, ours, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(opened, plain);
}

TEST_P(OpenSslInterop, WeDecryptWhatOpenSslEncrypted) {
    bool ok = false;
    const Bytes sealed = OpenSsl(false, key, vector, plain, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(sealed.size(), plain.size());
    Bytes opened(length);
    ASSERT_EQ(KeyedCipher(key.data(), vector.data())->Decrypt(sealed.data(), length, opened.data()), 1);
    EXPECT_EQ(opened, plain);
}

INSTANTIATE_TEST_SUITE_P(Lengths, OpenSslInterop, ::testing::Values(1u, 15u, 16u, 17u, 100u, 1000u, 4099u));

}  // namespace
}  // namespace lacqueron
