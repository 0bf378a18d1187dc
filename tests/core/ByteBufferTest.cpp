#include "core/ByteBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace lacqueron {
namespace {

using Bytes = std::vector<std::uint8_t>;

RefPtr<IByteBuffer> Make(std::uint32_t hint = 0, std::uint32_t initial = 0) {
    auto buffer = CreateByteBuffer(hint, initial);
    EXPECT_TRUE(buffer);
    return buffer;
}

RefPtr<IByteBuffer> MakeWith(const std::string& text) {
    auto buffer = Make();
    buffer->Write(text.data(), static_cast<std::uint32_t>(text.size()), nullptr);
    return buffer;
}

std::string Content(IByteBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetLength());
}

// Seeking clamps at the capacity, which makes it visible (and extends the length).
std::uint32_t Capacity(IByteBuffer& buffer) {
    return buffer.Seek(std::numeric_limits<std::int32_t>::max(), kSeekFromStart);
}

struct GrowthCase {
    std::uint32_t hint, initial, firstWrite;
    std::uint32_t capacityAfter;      // after writing firstWrite bytes
    std::uint32_t capacityAfterNext;  // after one more byte beyond that capacity
};

class ByteBufferGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(ByteBufferGrowth, StepFollowsTheHint) {
    const GrowthCase& c = GetParam();
    auto buffer = Make(c.hint, c.initial);
    EXPECT_EQ(Capacity(*buffer), c.initial < 16 ? 16u : c.initial) << "a new buffer";
    buffer->Seek(0, kSeekFromStart);
    const Bytes bytes(c.firstWrite, 0xAB);
    ASSERT_EQ(buffer->Write(bytes.data(), c.firstWrite, nullptr), 1);
    EXPECT_EQ(Capacity(*buffer), c.capacityAfter);
    ASSERT_EQ(buffer->WriteU8(1, nullptr), 1);
    EXPECT_EQ(Capacity(*buffer), c.capacityAfterNext);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteBufferGrowth, ::testing::Values(
    GrowthCase{0, 5, 1, 16, 32},           // step and limit 16
    GrowthCase{0, 0, 17, 32, 48},
    GrowthCase{0, 100, 250, 300, 400},     // 100 -> 200 -> 300, the step stays 100
    GrowthCase{1000, 16, 100, 128, 256},   // 16 -> 32 -> 64 -> 128, the step becomes 128
    GrowthCase{1000, 16, 1000, 1024, 2024},  // the step stops at the limit
    GrowthCase{40, 16, 33, 64, 104}));  // 16 -> 32 -> 64, then steps of 40

TEST(ByteBuffer, GrowthKeepsTheContentAndZeroesTheRest) {
    auto buffer = Make(0, 16);
    buffer->Write("0123456789", 10, nullptr);
    buffer->Seek(12, kSeekFromStart);
    buffer->Seek(-10, kSeekFromCurrent);
    const Bytes big(40, 0xEE);
    ASSERT_EQ(buffer->Write(big.data(), 40, nullptr), 1);  // grows from 16 to 48
    EXPECT_EQ(buffer->GetLength(), 42u);
    EXPECT_EQ(std::memcmp(buffer->GetData(), "01", 2), 0);
    buffer->Seek(0, kSeekFromEnd);
    EXPECT_EQ(buffer->ReadU64(nullptr), 0u);
    const std::uint32_t capacity = Capacity(*buffer);
    EXPECT_EQ(capacity, 48u);
    buffer->Seek(42, kSeekFromStart);
    Bytes tail(capacity - 42, 0xFF);
    EXPECT_EQ(buffer->Read(tail.data(), capacity - 42, nullptr), capacity - 42);
    EXPECT_EQ(tail, Bytes(capacity - 42, 0));
}

struct SeekCase {
    std::int32_t offset;
    int origin;
    std::uint32_t position;
    std::uint32_t length;
};

class ByteBufferSeek : public ::testing::TestWithParam<SeekCase> {};

// From position 6 in a buffer of length 10 and capacity 16.
TEST_P(ByteBufferSeek, ClampsToTheStorageAndExtendsTheLength) {
    auto buffer = MakeWith("0123456789");
    buffer->Seek(6, kSeekFromStart);
    EXPECT_EQ(buffer->Seek(GetParam().offset, GetParam().origin), GetParam().position);
    EXPECT_EQ(buffer->Tell(), GetParam().position);
    EXPECT_EQ(buffer->GetLength(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteBufferSeek, ::testing::Values(
    SeekCase{-5, kSeekFromStart, 0, 10}, SeekCase{26, kSeekFromStart, 16, 16},
    SeekCase{3, kSeekFromStart, 3, 10}, SeekCase{3, kSeekFromCurrent, 9, 10},
    SeekCase{5, kSeekFromCurrent, 11, 11}, SeekCase{-3, kSeekFromEnd, 7, 10},
    SeekCase{2, kSeekFromEnd, 12, 12}, SeekCase{4, 3, 6, 10}));

TEST(ByteBuffer, Seek64UsesTheLow32BitsOfTheOffset) {
    auto buffer = MakeWith("0123456789");
    EXPECT_EQ(buffer->Seek64(0x100000005LL, kSeekFromStart), 5u);
    EXPECT_EQ(buffer->Seek64(0x1FFFFFFFFLL, kSeekFromCurrent), 4u);  // low half is -1
    EXPECT_EQ(buffer->Tell64(), 4u);
    EXPECT_EQ(buffer->GetLength64(), 10u);
}

TEST(ByteBuffer, SeekingForwardExposesZeros) {
    auto buffer = Make();
    buffer->Seek(8, kSeekFromStart);
    EXPECT_EQ(buffer->GetLength(), 8u);
    buffer->Seek(0, kSeekFromStart);
    EXPECT_EQ(buffer->ReadU64(nullptr), 0u);
}

TEST(ByteBuffer, ReadStopsAtTheLengthAndSetsEof) {
    auto buffer = MakeWith("abcdefgh");
    buffer->Seek(4, kSeekFromStart);
    char out[10] = {};
    int eof = 0;
    EXPECT_EQ(buffer->Read(out, 10, &eof), 4u);
    EXPECT_EQ(eof, 1);
    EXPECT_EQ(std::string(out), "efgh");
    eof = 0;
    EXPECT_EQ(buffer->Read(out, 10, &eof), 0u);
    EXPECT_EQ(eof, 1);
    eof = 0;
    EXPECT_EQ(buffer->Read(nullptr, 10, &eof), 0u);
    EXPECT_EQ(buffer->Read(out, 0, &eof), 0u);
    EXPECT_EQ(eof, 0) << "nothing asked for, nothing flagged";
    EXPECT_EQ(buffer->ReadU8(&eof), 0u);
    EXPECT_EQ(eof, 1);
}

TEST(ByteBuffer, WriteOfNothingStoresNothing) {
    auto buffer = Make();
    int err = 0;
    EXPECT_EQ(buffer->Write(nullptr, 4, &err), 0);
    EXPECT_EQ(buffer->Write("x", 0, &err), 0);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(buffer->GetLength(), 0u);
}

TEST(ByteBuffer, TypedValuesAreLittleEndian) {
    auto buffer = Make();
    buffer->WriteU8(0x01, nullptr);
    buffer->WriteU16(0x0302, nullptr);
    buffer->WriteChar16(0x0504, nullptr);
    buffer->WriteU32(0x09080706, nullptr);
    buffer->WriteU64(0x11100F0E0D0C0B0AULL, nullptr);
    buffer->WriteDouble(1.0, nullptr);
    const Bytes expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    ASSERT_EQ(buffer->GetLength(), expected.size());
    EXPECT_EQ(Bytes(buffer->GetData(), buffer->GetData() + expected.size()), expected);
    buffer->Seek(0, kSeekFromStart);
    EXPECT_EQ(buffer->ReadU8(nullptr), 0x01u);
    EXPECT_EQ(buffer->ReadU16(nullptr), 0x0302u);
    EXPECT_EQ(buffer->ReadChar16(nullptr), 0x0504u);
    EXPECT_EQ(buffer->ReadU32(nullptr), 0x09080706u);
    EXPECT_EQ(buffer->ReadU64(nullptr), 0x11100F0E0D0C0B0AULL);
    EXPECT_EQ(buffer->ReadDouble(nullptr), 1.0);
}

TEST(ByteBuffer, PartialTypedReadLeavesTheMissingBytesZero) {
    auto buffer = MakeWith("\x34\x12\x56");
    int eof = 0;
    EXPECT_EQ(buffer->Seek(0, kSeekFromStart), 0u);
    EXPECT_EQ(buffer->ReadU32(&eof), 0x561234u);
    EXPECT_EQ(eof, 1);
}

struct RemoveCase {
    std::uint32_t cursor, offset, count;
    int result;
    const char* content;
    std::uint32_t cursorAfter;
};

class ByteBufferRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(ByteBufferRemove, CutsOrClosesTheGap) {
    const RemoveCase& c = GetParam();
    auto buffer = MakeWith("0123456789");
    buffer->Seek(static_cast<std::int32_t>(c.cursor), kSeekFromStart);
    EXPECT_EQ(buffer->Remove(c.offset, c.count), c.result);
    EXPECT_EQ(Content(*buffer), c.content);
    EXPECT_EQ(buffer->Tell(), c.cursorAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteBufferRemove, ::testing::Values(
    RemoveCase{10, 2, 100, 1, "01", 2}, RemoveCase{1, 2, 100, 1, "01", 1},
    RemoveCase{10, 2, 8, 1, "01", 2}, RemoveCase{5, 10, 1, 0, "0123456789", 5},
    RemoveCase{10, 2, 3, 1, "0156789", 7}, RemoveCase{5, 2, 3, 1, "0156789", 2},
    RemoveCase{3, 2, 3, 1, "0156789", 2}, RemoveCase{1, 2, 3, 1, "0156789", 1},
    RemoveCase{4, 2, 0, 1, "0123456789", 4}));

TEST(ByteBuffer, ReserveAndAdvanceFillInPlace) {
    auto buffer = MakeWith("ab");
    std::uint8_t* at = buffer->Reserve(100);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at, buffer->GetData() + 2);
    EXPECT_EQ(buffer->GetLength(), 2u);
    EXPECT_EQ(buffer->Tell(), 2u);
    std::memset(at, 'z', 100);
    EXPECT_EQ(buffer->Advance(100), 1);
    EXPECT_EQ(buffer->GetLength(), 102u);
    EXPECT_EQ(Content(*buffer), "ab" + std::string(100, 'z'));
}

struct PrefixCase {
    int kind;
    std::uint32_t width;
};

class ByteBufferStrings : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ByteBufferStrings, NarrowStringRoundTripsBehindItsPrefix) {
    auto buffer = Make();
    EXPECT_EQ(buffer->WriteStringA("Hello", nullptr, GetParam().kind), 1);
    ASSERT_EQ(buffer->GetLength(), GetParam().width + 5);
    EXPECT_EQ(buffer->GetData()[0], 5u);
    EXPECT_EQ(Content(*buffer).substr(GetParam().width), "Hello");
    buffer->Seek(0, kSeekFromStart);
    EXPECT_EQ(buffer->ReadStringA(nullptr, 0, nullptr, GetParam().kind), 5u);
    EXPECT_EQ(buffer->Tell(), 0u) << "peeking consumes nothing";
    char text[16];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(buffer->ReadStringA(text, 16, nullptr, GetParam().kind), 5u);
    EXPECT_STREQ(text, "Hello");
}

TEST_P(ByteBufferStrings, WideStringIsTruncatedToTheBufferAndSkipped) {
    auto buffer = Make();
    const char16_t* stored = u"абвгдежзий";  // 10 characters, 20 bytes
    EXPECT_EQ(buffer->WriteStringW(stored, nullptr, GetParam().kind), 1);
    buffer->WriteU8(0x7A, nullptr);
    const std::uint32_t end = GetParam().width + 20;
    ASSERT_EQ(buffer->GetLength(), end + 1);
    buffer->Seek(0, kSeekFromStart);
    char16_t text[4] = {u'x', u'x', u'x', u'x'};
    int eof = 0;
    EXPECT_EQ(buffer->ReadStringW(text, 4, &eof, GetParam().kind), 6u);
    EXPECT_EQ(std::u16string(text), u"абв");
    EXPECT_EQ(buffer->Tell(), end);
    EXPECT_EQ(eof, 0);
    buffer->Seek(0, kSeekFromStart);
    char16_t whole[11];
    EXPECT_EQ(buffer->ReadString(whole, 11, nullptr, GetParam().kind), 20u);
    EXPECT_EQ(std::u16string(whole), stored);
    EXPECT_EQ(buffer->ReadU8(nullptr), 0x7Au);
}

TEST_P(ByteBufferStrings, EmptyStringIsItsPrefixAlone) {
    auto buffer = Make();
    EXPECT_EQ(buffer->WriteStringW(u"", nullptr, GetParam().kind), 1);
    EXPECT_EQ(buffer->WriteString(nullptr, nullptr, GetParam().kind), 1);
    EXPECT_EQ(buffer->GetLength(), 2 * GetParam().width);
    buffer->Seek(0, kSeekFromStart);
    char16_t text[2] = {u'x', u'x'};
    EXPECT_EQ(buffer->ReadStringW(text, 2, nullptr, GetParam().kind), 0u);
    EXPECT_EQ(text[0], 0);
}

TEST_P(ByteBufferStrings, TruncatedPrefixSetsEof) {
    auto buffer = Make();
    buffer->WriteU8(3, nullptr);
    // Start where fewer bytes than the prefix width are left.
    const std::uint32_t start = GetParam().width == 1 ? 1 : 0;
    buffer->Seek(static_cast<std::int32_t>(start), kSeekFromStart);
    int eof = 0;
    buffer->ReadStringA(nullptr, 0, &eof, GetParam().kind);
    EXPECT_EQ(eof, 1);
    EXPECT_EQ(buffer->Tell(), start);
    eof = 0;
    char text[4] = "abc";
    EXPECT_EQ(buffer->ReadStringA(text, 4, &eof, GetParam().kind), 0u);
    EXPECT_EQ(eof, 1);
    EXPECT_STREQ(text, "abc");
}

INSTANTIATE_TEST_SUITE_P(PrefixKinds, ByteBufferStrings, ::testing::Values(
    PrefixCase{kPrefix16Bit, 2}, PrefixCase{kPrefix8Bit, 1}, PrefixCase{kPrefix32Bit, 4}, PrefixCase{3, 4}));

TEST(ByteBuffer, StringBufferOfSizeZeroTakesNothingAndSkipsTheString) {
    auto buffer = Make();
    buffer->WriteStringA("abc", nullptr, kPrefix8Bit);
    buffer->Seek(0, kSeekFromStart);
    char untouched = 'q';
    EXPECT_EQ(buffer->ReadStringA(&untouched, 0, nullptr, kPrefix8Bit), 0u);
    EXPECT_EQ(untouched, 'q');
    EXPECT_EQ(buffer->Tell(), 4u);
}

TEST(ByteBuffer, StringShorterThanItsPrefixReadsWhatIsThere) {
    auto buffer = Make();
    buffer->WriteU8(9, nullptr);
    buffer->Write("abc", 3, nullptr);
    buffer->Seek(0, kSeekFromStart);
    char text[16];
    int eof = 0;
    EXPECT_EQ(buffer->ReadStringA(text, 16, &eof, kPrefix8Bit), 3u);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(eof, 1);
}

// Positions are 32-bit: an end beyond 2^32 must fail like a failed allocation
// rather than wrap into a small size.
TEST(ByteBufferLimits, WritePastFourGigabytesFails) {
    auto buffer = MakeWith("ab");
    buffer->Seek(1, kSeekFromStart);
    int err = 0;
    const char source[1] = {'z'};  // never read: the size check comes first
    EXPECT_EQ(buffer->Write(source, 0xFFFFFFFFu, &err), 0);
    EXPECT_EQ(err, 1);
    EXPECT_EQ(Content(*buffer), "ab");
    EXPECT_EQ(buffer->Tell(), 1u);
    EXPECT_EQ(buffer->Reserve(0xFFFFFFFFu), nullptr);
}

TEST(ByteBufferLimits, DoublingStepThatWouldWrapFails) {
    auto buffer = Make(0xFFFFFFFFu, 16);
    EXPECT_EQ(buffer->Reserve(0xFFFFFFF0u), nullptr);  // 16 -> ... -> 2^31 -> 2^32
    EXPECT_EQ(Capacity(*buffer), 16u);
    EXPECT_NE(buffer->Reserve(100), nullptr);
    EXPECT_EQ(Capacity(*buffer), 128u);
}

TEST(ByteBufferLimits, FixedStepThatWouldWrapFails) {
    auto buffer = Make(0, 4096);
    int err = 0;
    EXPECT_EQ(buffer->Reserve(0xFFFFF001u), nullptr);  // rounds up to 2^32
    EXPECT_EQ(buffer->WriteU8(7, &err), 1);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(Capacity(*buffer), 4096u);
}

TEST(ByteBufferLimits, AdvanceIsClampedToTheStorage) {
    auto buffer = Make(0, 32);
    buffer->Seek(8, kSeekFromStart);
    EXPECT_EQ(buffer->Advance(0x80000000u), 1);
    EXPECT_EQ(buffer->Tell(), 32u);
    EXPECT_EQ(buffer->GetLength(), 32u);
}

}  // namespace
}  // namespace lacqueron
