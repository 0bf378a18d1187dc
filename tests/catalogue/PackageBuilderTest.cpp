#include "data/catalogue/PackageBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/catalogue/LoaderHarness.h"
#ifndef _WIN32
#include "tests/support/RunCommand.h"
#endif

namespace lacqueron {
namespace {

SectionContents Contents() {
    SectionContents contents;
    contents[kSectionSettings] = "APPNAME\tTest";
    contents[kSectionColours] = std::string(1000, 'c') + "tail";
    contents[kSectionRecipes] = "";
    contents[kSectionComponents] = std::string("x");
    contents[kSectionPicture] = std::string("BM\0\0\xff", 5);
    return contents;
}

std::string Decode(const DataPackage& package, int index) {
    RefPtr<ICipherFactory> factory = CreateCipherFactory();
    RefPtr<ICipher> cipher = factory->CreateCipher();
    const DataSection& s = package.sections[index];
    RefPtr<IByteBuffer> buffer = DecodeSection(s.bytes, s.length, cipher.get(), package.key);
    if (!buffer) return "<null>";
    return std::string(reinterpret_cast<const char*>(buffer->GetData()), buffer->GetLength());
}

TEST(PackageBuilder, EverySectionDecodesToItsContent) {
    const auto owned = EncryptPackage(Contents(), test::kTestKey);
    ASSERT_TRUE(owned);
    for (int i = 0; i < kSectionCount; ++i) {
        EXPECT_EQ(owned->package.sections[i].length, Contents()[i].size() + kSectionPrefixLength);
        EXPECT_EQ(Decode(owned->package, i), Contents()[i]) << "section " << i;
    }
}

TEST(PackageBuilder, SameContentsGiveSamePackageAndPrefixesDiffer) {
    const auto a = EncryptPackage(Contents(), test::kTestKey);
    const auto b = EncryptPackage(Contents(), test::kTestKey);
    EXPECT_EQ(a->encrypted, b->encrypted);
    SectionContents same;
    same.fill("same");
    const auto c = EncryptPackage(same, test::kTestKey);
    for (int i = 1; i < kSectionCount; ++i)
        EXPECT_NE(c->encrypted[0], c->encrypted[i]) << "section " << i << " repeats the first section's prefix";
}

TEST(PackageBuilder, OtherKeyGivesOtherBytes) {
    SectionKey other = test::kTestKey;
    other.vector[15] ^= 0x80;
    EXPECT_NE(EncryptPackage(Contents(), test::kTestKey)->encrypted, EncryptPackage(Contents(), other)->encrypted);
}

#ifndef _WIN32
std::string Hex(const std::uint8_t* bytes, int n) {
    std::string out;
    char digits[3];
    for (int i = 0; i < n; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
    }
    return out;
}

// OpenSSL's AES-128-CFB (full-block feedback, stream at the end) is the independent reference.
TEST(PackageBuilder, OpenSslDecryptsSections) {
    LACQUERON_REQUIRE_TOOL("openssl");
    const auto owned = EncryptPackage(Contents(), test::kTestKey);
    const std::string path = test::ScratchPath(::testing::TempDir(), "package_section.bin");
    for (int i = 0; i < kSectionCount; ++i) {
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(owned->encrypted[i].data()), owned->encrypted[i].size());
        }
        const std::string command = "openssl enc -d -aes-128-cfb -K " + Hex(test::kTestKey.key, 16) + " -iv " +
                                    Hex(test::kTestKey.vector, 16) + " -in " + path;
        const test::CommandResult openssl = test::RunCommand(command);
        ASSERT_EQ(openssl.status, 0) << command;
        const std::string& plain = openssl.out;
        ASSERT_EQ(plain.size(), Contents()[i].size() + kSectionPrefixLength);
        EXPECT_EQ(plain.substr(kSectionPrefixLength), Contents()[i]) << "section " << i;
    }
    std::remove(path.c_str());
}
#endif  // the reference runs natively; Wine has no openssl to call

}  // namespace
}  // namespace lacqueron
