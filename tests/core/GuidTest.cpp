#include "core/Guid.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <objbase.h>
#endif

namespace lacqueron {
namespace {

struct GuidCase {
    const char* name;
    Guid guid;
    const char16_t* text;
    std::array<std::uint8_t, 16> bytes;
};

const GuidCase kGuidCases[] = {
    {"Unknown", iid::Unknown, u"{00000000-0000-0000-C000-000000000046}",
     {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
    {"AppModule", iid::AppModule, u"{E7DDCE75-5AB5-4FF4-979B-F81DFCC1F074}",
     {0x75, 0xCE, 0xDD, 0xE7, 0xB5, 0x5A, 0xF4, 0x4F, 0x97, 0x9B, 0xF8, 0x1D, 0xFC, 0xC1, 0xF0, 0x74}},
    {"ByteBuffer", iid::ByteBuffer, u"{E7DDCE80-5AB5-4FF4-979B-F81DFCC1F074}",
     {0x80, 0xCE, 0xDD, 0xE7, 0xB5, 0x5A, 0xF4, 0x4F, 0x97, 0x9B, 0xF8, 0x1D, 0xFC, 0xC1, 0xF0, 0x74}},
    {"CipherFactory", iid::CipherFactory, u"{E7DDCED0-5AB5-4FF4-979B-F81DFCC1F074}",
     {0xD0, 0xCE, 0xDD, 0xE7, 0xB5, 0x5A, 0xF4, 0x4F, 0x97, 0x9B, 0xF8, 0x1D, 0xFC, 0xC1, 0xF0, 0x74}},
    {"Mixed", MakeGuid(0x01234567, 0x89AB, 0xCDEF, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}),
     u"{01234567-89AB-CDEF-1032-547698BADCFE}",
     {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}},
};

class GuidLayout : public ::testing::TestWithParam<GuidCase> {};

TEST_P(GuidLayout, StoresFieldsLittleEndianThenTheEightBytes) {
    EXPECT_EQ(GetParam().guid.bytes, GetParam().bytes);
}

#ifdef _WIN32
// The platform's own parser of the written form must give the same 16 bytes.
TEST_P(GuidLayout, MatchesThePlatformGuid) {
    GUID platform{};
    ASSERT_EQ(IIDFromString(reinterpret_cast<LPCOLESTR>(GetParam().text), &platform), S_OK);
    static_assert(sizeof platform == 16);
    EXPECT_EQ(std::memcmp(&platform, GetParam().guid.bytes.data(), 16), 0);
}
#endif

INSTANTIATE_TEST_SUITE_P(Identifiers, GuidLayout, ::testing::ValuesIn(kGuidCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
