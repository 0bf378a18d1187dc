// `openssl enc -aes-128-cfb` is CFB with a 128-bit segment, used as a stream for the
// last partial block: the same as our cipher, so both must agree byte for byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/cipher/CfbVector.h"

namespace lacqueron {
namespace {

using testing::Bytes;
using testing::KeyedCipher;
using testing::Pattern;
using testing::ToHex;

bool HaveOpenSsl() {
    return std::system("openssl version >/dev/null 2>&1") == 0;
}

class TempFile {
public:
    explicit TempFile(const Bytes& content) {
        char name[] = "/tmp/lacqueron-cfb-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) return;
        path_ = name;
        std::size_t done = 0;
        while (done < content.size()) {
            const ssize_t n = write(fd, content.data() + done, content.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
    }
    ~TempFile() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Runs openssl on the input and returns what it writes; empty with ok = false on failure.
Bytes OpenSsl(bool decrypt, const Bytes& key, const Bytes& vector, const Bytes& input, bool& ok) {
    TempFile in(input);
    const std::string command = "openssl enc -aes-128-cfb" + std::string(decrypt ? " -d" : "") + " -K " + ToHex(key) +
                                " -iv " + ToHex(vector) + " -in " + in.Path();
    Bytes out;
    std::FILE* pipe = popen(command.c_str(), "r");
    ok = pipe != nullptr;
    if (pipe == nullptr) return out;
    std::uint8_t chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.insert(out.end(), chunk, chunk + n);
    ok = pclose(pipe) == 0;
    return out;
}

class OpenSslInterop : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void SetUp() override {
        if (!HaveOpenSsl()) GTEST_SKIP() << "openssl is not installed";
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
