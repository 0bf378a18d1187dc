// 16-byte interface identifiers in the usual binary layout: Data1 (32-bit), Data2 and
// Data3 (16-bit), all little-endian, then 8 bytes. Compared as raw bytes.
#pragma once

#include <array>
#include <cstdint>

namespace lacqueron {

struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

constexpr Guid MakeGuid(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                        std::array<std::uint8_t, 8> data4) noexcept {
    Guid g;
    g.bytes[0] = static_cast<std::uint8_t>(data1);
    g.bytes[1] = static_cast<std::uint8_t>(data1 >> 8);
    g.bytes[2] = static_cast<std::uint8_t>(data1 >> 16);
    g.bytes[3] = static_cast<std::uint8_t>(data1 >> 24);
    g.bytes[4] = static_cast<std::uint8_t>(data2);
    g.bytes[5] = static_cast<std::uint8_t>(data2 >> 8);
    g.bytes[6] = static_cast<std::uint8_t>(data3);
    g.bytes[7] = static_cast<std::uint8_t>(data3 >> 8);
    for (int i = 0; i < 8; ++i) g.bytes[8 + i] = data4[i];
    return g;
}

// The program's own identifiers: {E7DDCExx-5AB5-4FF4-979B-F81DFCC1F074}.
constexpr Guid ProgramGuid(std::uint8_t xx) noexcept {
    return MakeGuid(0xE7DDCE00u | xx, 0x5AB5, 0x4FF4, {0x97, 0x9B, 0xF8, 0x1D, 0xFC, 0xC1, 0xF0, 0x74});
}

namespace iid {
// The generic identifier (IUnknown); every object answers it.
inline constexpr Guid Unknown = MakeGuid(0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});
// A class without an identifier of its own lists this one.
inline constexpr Guid Null{};

inline constexpr Guid AppModule = ProgramGuid(0x75);
inline constexpr Guid AppModuleBase = ProgramGuid(0x76);
inline constexpr Guid RegistryKey = ProgramGuid(0x78);
inline constexpr Guid RegistryKeyBase = ProgramGuid(0x79);
inline constexpr Guid ByteStream = ProgramGuid(0x7E);
inline constexpr Guid ByteBuffer = ProgramGuid(0x80);
inline constexpr Guid WideStringList = ProgramGuid(0x81);
inline constexpr Guid MemoryStream = ProgramGuid(0x83);
inline constexpr Guid NarrowStringList = ProgramGuid(0xCD);
inline constexpr Guid Cipher = ProgramGuid(0xCF);
inline constexpr Guid CipherFactory = ProgramGuid(0xD0);
}  // namespace iid

}  // namespace lacqueron
