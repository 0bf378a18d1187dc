#include <gtest/gtest.h>

#include <cstring>

#include "tests/cipher/CfbVector.h"

namespace lacqueron {
namespace {

using testing::Bytes;
using testing::kVectorCipher;
using testing::kVectorPlain;
using testing::Pattern;

// The SP 800-38A example read as a section: its plain text is a 16-byte prefix
// followed by 48 bytes of content.
SectionKey VectorKey() {
    SectionKey key{};
    std::memcpy(key.key, testing::kVectorKey.data(), 16);
    std::memcpy(key.vector, testing::kVectorIV.data(), 16);
    return key;
}
const Bytes& kSection = kVectorCipher;

Bytes Content(IByteBuffer& buffer) {
    return Bytes(buffer.GetData(), buffer.GetData() + buffer.GetLength());
}

class SectionDecoderTest : public ::testing::Test {
protected:
    RefPtr<ICipher> cipher = testing::NewCipher();
    SectionKey key = VectorKey();
};

class SectionLengths : public SectionDecoderTest, public ::testing::WithParamInterface<std::uint32_t> {};

// Every length decodes completely, the last partial block as a stream.
TEST_P(SectionLengths, ContentIsThePlainTextAfterThePrefix) {
    const std::uint32_t length = GetParam();
    auto content = DecodeSection(kSection.data(), length, cipher.get(), key);
    ASSERT_TRUE(content);
    const Bytes expected(kVectorPlain.begin() + std::min<std::uint32_t>(length, 16), kVectorPlain.begin() + length);
    EXPECT_EQ(Content(*content), expected);
    EXPECT_EQ(content->Tell(), content->GetLength()) << "positioned at its end";
}

INSTANTIATE_TEST_SUITE_P(Lengths, SectionLengths, ::testing::Values(1u, 15u, 16u, 17u, 31u, 32u, 33u, 50u, 64u));

TEST_F(SectionDecoderTest, DecodingAgainStartsFromTheSameState) {
    auto first = DecodeSection(kSection.data(), 50, cipher.get(), key);
    Bytes scratch(7);
    cipher->Decrypt(kSection.data(), 7, scratch.data());  // leaves the stream mid-block
    cipher->SelectMode(11);                                // and without a mode
    auto second = DecodeSection(kSection.data(), 50, cipher.get(), key);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Content(*first), Content(*second));
}

TEST_F(SectionDecoderTest, MissingSectionOrCipherGivesNull) {
    EXPECT_FALSE(DecodeSection(nullptr, 64, cipher.get(), key));
    EXPECT_FALSE(DecodeSection(kSection.data(), 64, nullptr, key));
    // Decrypt refuses an empty input, so an empty section is a failure as well.
    EXPECT_FALSE(DecodeSection(kSection.data(), 0, cipher.get(), key));
}

TEST_F(SectionDecoderTest, ALargeSectionDecodesToWhatWasEncrypted) {
    const Bytes plain = Pattern(546072, 5);
    Bytes section(plain.size());
    ASSERT_EQ(testing::KeyedCipher(key.key, key.vector)->Encrypt(plain.data(), 546072, section.data()), 1);
    auto content = DecodeSection(section.data(), 546072, cipher.get(), key);
    ASSERT_TRUE(content);
    ASSERT_EQ(content->GetLength(), 546056u);
    EXPECT_TRUE(std::equal(plain.begin() + 16, plain.end(), content->GetData()));
}

// A cipher that fails at one chosen step.
class FailingCipher final : public ObjectImpl<ICipher, FailingCipher> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::Cipher};
    explicit FailingCipher(int failingStep) : failingStep_(failingStep) {}
    int SelectMode(int) noexcept override { return failingStep_ != 0; }
    int SetKey(const std::uint8_t*, std::uint32_t) noexcept override { return failingStep_ != 1; }
    int SetIV(const std::uint8_t*, std::uint32_t) noexcept override { return failingStep_ != 2; }
    int Encrypt(const std::uint8_t*, std::uint32_t, std::uint8_t*) noexcept override { return 0; }
    int Decrypt(const std::uint8_t*, std::uint32_t length, std::uint8_t* out) noexcept override {
        std::memset(out, 0, length);
        return failingStep_ != 3;
    }

private:
    int failingStep_;
};

class SectionDecoderFailures : public ::testing::TestWithParam<int> {};

TEST_P(SectionDecoderFailures, AnyFailingCipherStepGivesNull) {
    auto failing = RefPtr<FailingCipher>::Adopt(new FailingCipher(GetParam()));
    EXPECT_FALSE(DecodeSection(kSection.data(), 64, failing.get(), VectorKey()));
}

INSTANTIATE_TEST_SUITE_P(Steps, SectionDecoderFailures, ::testing::Values(0, 1, 2, 3));

}  // namespace
}  // namespace lacqueron
