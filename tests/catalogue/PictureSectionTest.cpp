#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/catalogue/LoaderHarness.h"

namespace lacqueron {
namespace {

// What a bitmap file image declares; Make() writes it with its pixel data.
struct Bitmap {
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t pixelOffset = 54;
    std::size_t cutTo = SIZE_MAX;  // truncates the image
    char magic[2] = {'B', 'M'};

    std::string Make() const {
        const std::uint32_t pixels = 2 * 12;  // rows of 3 pixels padded to 12 bytes
        std::string image(54 + pixels, '\x5A');
        auto put = [&image](std::size_t at, std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
        };
        image[0] = magic[0];
        image[1] = magic[1];
        put(2, static_cast<std::uint32_t>(image.size()), 4);
        put(6, 0, 4);
        put(10, pixelOffset, 4);
        put(14, headerSize, 4);
        put(18, static_cast<std::uint32_t>(width), 4);
        put(22, static_cast<std::uint32_t>(height), 4);
        put(26, planes, 2);
        put(28, bitCount, 2);
        put(30, compression, 4);
        put(34, pixels, 4);
        put(38, 2835, 4);
        put(42, 2835, 4);
        put(46, coloursUsed, 4);
        put(50, coloursUsed, 4);
        if (cutTo < image.size()) image.resize(cutTo);
        return image;
    }
};

std::uint32_t HeaderField(const std::vector<std::uint8_t>& header, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | header[at + i];
    return value;
}

TEST(PictureSection, PreparesHeaderForValidBitmap) {
    Bitmap bitmap;
    bitmap.height = -2;
    bitmap.coloursUsed = 3;
    const auto loaded = test::LoadSection(kSectionPicture, bitmap.Make());
    const CataloguePicture& picture = loaded->catalogue.picture;
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.pixelOffset, 54u);
    ASSERT_EQ(picture.header.size(), 40u + 4 * 3);
    EXPECT_EQ(HeaderField(picture.header, 0, 4), 40u);
    EXPECT_EQ(HeaderField(picture.header, 4, 4), 3u);
    EXPECT_EQ(HeaderField(picture.header, 8, 4), 2u);  // absolute height
    EXPECT_EQ(HeaderField(picture.header, 12, 2), 1u);
    EXPECT_EQ(HeaderField(picture.header, 14, 2), 24u);
    EXPECT_EQ(HeaderField(picture.header, 20, 4), 24u);
    EXPECT_EQ(HeaderField(picture.header, 24, 4), 0u);  // resolution and colour counts not copied
    EXPECT_EQ(HeaderField(picture.header, 32, 4), 0u);
    EXPECT_EQ(picture.buffer->GetLength(), 54u + 24u);
    EXPECT_EQ(picture.buffer->GetData()[54], 0x5A);
}

TEST(PictureSection, PlanesTimesBitCountIsWhatCounts) {
    Bitmap bitmap;
    bitmap.planes = 3;
    bitmap.bitCount = 8;
    EXPECT_FALSE(test::LoadSection(kSectionPicture, bitmap.Make())->catalogue.picture.empty());
}

struct BadBitmap {
    const char* name;
    Bitmap bitmap;
};

class RefusedPicture : public ::testing::TestWithParam<BadBitmap> {};

TEST_P(RefusedPicture, StaysEmpty) {
    const auto loaded = test::LoadSection(kSectionPicture, GetParam().bitmap.Make());
    EXPECT_TRUE(loaded->catalogue.picture.empty());
    EXPECT_TRUE(loaded->catalogue.picture.header.empty());
}

Bitmap With(void (*change)(Bitmap&)) {
    Bitmap b;
    change(b);
    return b;
}

INSTANTIATE_TEST_SUITE_P(Checks, RefusedPicture, ::testing::Values(
    BadBitmap{"ThirtyTwoBits", With([](Bitmap& b) { b.bitCount = 32; })},
    BadBitmap{"Compressed", With([](Bitmap& b) { b.compression = 1; })},
    BadBitmap{"NoMagic", With([](Bitmap& b) { b.magic[0] = 'M'; b.magic[1] = 'B'; })},
    BadBitmap{"FileHeaderCut", With([](Bitmap& b) { b.cutTo = 13; })},
    BadBitmap{"InfoHeaderCut", With([](Bitmap& b) { b.cutTo = 53; })},
    BadBitmap{"NoPixelsAfterOffset", With([](Bitmap& b) { b.cutTo = 54; })},
    BadBitmap{"OffsetPastEnd", With([](Bitmap& b) { b.pixelOffset = 0xFFFFFFF0u; })},
    BadBitmap{"HugeColourCount", With([](Bitmap& b) { b.coloursUsed = 0x40000000u; })},
    BadBitmap{"ColourCountJustOver256", With([](Bitmap& b) { b.coloursUsed = 257; })},
    BadBitmap{"HeaderSizePastEnd", With([](Bitmap& b) { b.headerSize = 0x7FFFFFFFu; })}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureSection, AcceptsFullPalette) {
    Bitmap bitmap;
    bitmap.coloursUsed = 256;
    const auto loaded = test::LoadSection(kSectionPicture, bitmap.Make());
    EXPECT_EQ(loaded->catalogue.picture.header.size(), 40u + 1024u);
}

}  // namespace
}  // namespace lacqueron
