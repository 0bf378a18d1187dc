// CRC-32 of the log's records. Every record of a file is checked when it opens, so a
// store of many megabytes is checked at the speed of this function.
#include <array>
#include <cstddef>
#include <cstdint>

#include "journal/JournalFormat.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define LACQUERON_CRC_FOLDING 1
#endif

namespace lacqueron {
namespace {

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;
constexpr std::size_t kCrcSlices = 8;

// Slice-by-8 tables: eight input bytes per step, where the processor has no carry-less multiply.
using CrcTables = std::array<std::array<std::uint32_t, 256>, kCrcSlices>;
constexpr CrcTables MakeCrcTables() {
    CrcTables tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n)
        for (std::size_t slice = 1; slice < kCrcSlices; ++slice)
            tables[slice][n] = (tables[slice - 1][n] >> 8) ^ tables[0][tables[slice - 1][n] & 0xFF];
    return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

// The register without the inversions at the start and the end.
std::uint32_t SlicedCrc(const unsigned char* p, std::size_t size, std::uint32_t crc) noexcept {
    for (; size >= kCrcSlices; size -= kCrcSlices, p += kCrcSlices) {
        const std::uint32_t low = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        crc = kCrcTables[7][low & 0xFF] ^ kCrcTables[6][low >> 8 & 0xFF] ^ kCrcTables[5][low >> 16 & 0xFF] ^
              kCrcTables[4][low >> 24] ^ kCrcTables[3][p[4]] ^ kCrcTables[2][p[5]] ^ kCrcTables[1][p[6]] ^
              kCrcTables[0][p[7]];
    }
    for (; size > 0; --size, ++p) crc = kCrcTables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc;
}

#ifdef LACQUERON_CRC_FOLDING

// Folding with carry-less multiplies: four 16-byte lanes are carried forward 64 bytes at
// a time, then folded into one, which is carried 16 bytes at a time. Each fold keeps
// the remainder of the polynomial, so the last 16 bytes and the rest, run through the
// tables, give the same CRC. The constants are powers of x modulo the polynomial,
// bit-reflected, for the two distances folded: 512 and 128 bits.
constexpr std::size_t kLane = 16;
constexpr std::size_t kLanes = 4;
constexpr std::size_t kFoldBlock = kLane * kLanes;
constexpr long long kFold512Low = 0x154442BD4;
constexpr long long kFold512High = 0x1C6E41596;
constexpr long long kFold128Low = 0x1751997D0;
constexpr long long kFold128High = 0x0CCAA009E;
constexpr int kLowTimesLow = 0x00;
constexpr int kHighTimesHigh = 0x11;

__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i lane, __m128i constants, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(lane, constants, kLowTimesLow),
                                       _mm_clmulepi64_si128(lane, constants, kHighTimesHigh)),
                         next);
}

__attribute__((target("pclmul,sse2"))) inline __m128i Load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// For at least kFoldBlock bytes.
__attribute__((target("pclmul,sse2"))) std::uint32_t FoldedCrc(const unsigned char* p, std::size_t size,
                                                                std::uint32_t crc) noexcept {
    __m128i lanes[kLanes];
    for (std::size_t i = 0; i < kLanes; ++i) lanes[i] = Load(p + i * kLane);
    lanes[0] = _mm_xor_si128(lanes[0], _mm_cvtsi32_si128(static_cast<int>(crc)));
    p += kFoldBlock;
    size -= kFoldBlock;
    const __m128i by512 = _mm_set_epi64x(kFold512High, kFold512Low);
    for (; size >= kFoldBlock; size -= kFoldBlock, p += kFoldBlock)
        for (std::size_t i = 0; i < kLanes; ++i) lanes[i] = Fold(lanes[i], by512, Load(p + i * kLane));
    const __m128i by128 = _mm_set_epi64x(kFold128High, kFold128Low);
    __m128i folded = lanes[0];
    for (std::size_t i = 1; i < kLanes; ++i) folded = Fold(folded, by128, lanes[i]);
    for (; size >= kLane; size -= kLane, p += kLane) folded = Fold(folded, by128, Load(p));
    alignas(kLane) unsigned char last[kLane];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), folded);
    return SlicedCrc(p, size, SlicedCrc(last, kLane, 0));
}

bool CanFold() noexcept {
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return can;
}

#endif

}  // namespace

std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t crc) noexcept {
    const auto* p = static_cast<const unsigned char*>(data);
#ifdef LACQUERON_CRC_FOLDING
    if (size >= kFoldBlock && CanFold()) return ~FoldedCrc(p, size, ~crc);
#endif
    return ~SlicedCrc(p, size, ~crc);
}

std::uint32_t Crc32Sliced(const void* data, std::size_t size, std::uint32_t crc) noexcept {
    return ~SlicedCrc(static_cast<const unsigned char*>(data), size, ~crc);
}

}  // namespace lacqueron
