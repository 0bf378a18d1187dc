#include "data/cipher/Aes.h"

#include <array>

namespace lacqueron::aes {
namespace {

using ByteTable = std::array<std::uint8_t, 256>;
using WordTable = std::array<std::uint32_t, 256>;

constexpr std::uint8_t Times2(std::uint8_t x) {
    return static_cast<std::uint8_t>((x << 1) ^ ((x & 0x80) != 0 ? 0x1B : 0));
}

constexpr std::uint8_t RotateLeft8(std::uint8_t x, int n) {
    return static_cast<std::uint8_t>((x << n) | (x >> (8 - n)));
}

// Walks the multiplicative group with generator 3 (p) and its inverse (q), so that
// q = p^-1 at every step; the S-box is the affine map of the inverse.
constexpr ByteTable MakeSBox() {
    ByteTable box{};
    std::uint8_t p = 1;
    std::uint8_t q = 1;
    do {
        p = static_cast<std::uint8_t>(p ^ Times2(p));
        q = static_cast<std::uint8_t>(q ^ (q << 1));
        q = static_cast<std::uint8_t>(q ^ (q << 2));
        q = static_cast<std::uint8_t>(q ^ (q << 4));
        if ((q & 0x80) != 0) q ^= 0x09;
        box[p] = static_cast<std::uint8_t>(q ^ RotateLeft8(q, 1) ^ RotateLeft8(q, 2) ^ RotateLeft8(q, 3) ^
                                           RotateLeft8(q, 4) ^ 0x63);
    } while (p != 1);
    box[0] = 0x63;
    return box;
}

constexpr ByteTable kSBox = MakeSBox();

constexpr std::uint32_t RotateRight(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

// SubBytes, ShiftRows' byte choice and MixColumns of one byte in one lookup:
// column S.(2, 1, 1, 3), turned by `rotation` bytes for the byte's row.
constexpr WordTable MakeRoundTable(int rotation) {
    WordTable table{};
    for (int x = 0; x < 256; ++x) {
        const std::uint8_t s = kSBox[x];
        const std::uint8_t s2 = Times2(s);
        const std::uint8_t s3 = static_cast<std::uint8_t>(s2 ^ s);
        const std::uint32_t column = (std::uint32_t{s2} << 24) | (std::uint32_t{s} << 16) |
                                     (std::uint32_t{s} << 8) | s3;
        table[x] = rotation == 0 ? column : RotateRight(column, 8 * rotation);
    }
    return table;
}

constexpr WordTable kTe0 = MakeRoundTable(0);
constexpr WordTable kTe1 = MakeRoundTable(1);
constexpr WordTable kTe2 = MakeRoundTable(2);
constexpr WordTable kTe3 = MakeRoundTable(3);

static_assert(kSBox[0x00] == 0x63 && kSBox[0x01] == 0x7C && kSBox[0x53] == 0xED && kSBox[0xFF] == 0x16);
static_assert(kTe0[0x00] == 0xC66363A5u && kTe3[0x01] == 0x7C7C84F8u);

constexpr std::uint32_t kRoundConstants[10] = {0x01000000, 0x02000000, 0x04000000, 0x08000000, 0x10000000,
                                               0x20000000, 0x40000000, 0x80000000, 0x1B000000, 0x36000000};

inline std::uint32_t LoadWord(const std::uint8_t* p) noexcept {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline void StoreWord(std::uint8_t* p, std::uint32_t w) noexcept {
    p[0] = static_cast<std::uint8_t>(w >> 24);
    p[1] = static_cast<std::uint8_t>(w >> 16);
    p[2] = static_cast<std::uint8_t>(w >> 8);
    p[3] = static_cast<std::uint8_t>(w);
}

inline std::uint32_t SubWord(std::uint32_t w) noexcept {
    return (std::uint32_t{kSBox[w >> 24]} << 24) | (std::uint32_t{kSBox[(w >> 16) & 0xFF]} << 16) |
           (std::uint32_t{kSBox[(w >> 8) & 0xFF]} << 8) | kSBox[w & 0xFF];
}

inline std::uint32_t Round(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                           std::uint32_t key) noexcept {
    return kTe0[a >> 24] ^ kTe1[(b >> 16) & 0xFF] ^ kTe2[(c >> 8) & 0xFF] ^ kTe3[d & 0xFF] ^ key;
}

// The last round has no MixColumns.
inline std::uint32_t LastRound(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                               std::uint32_t key) noexcept {
    return ((std::uint32_t{kSBox[a >> 24]} << 24) | (std::uint32_t{kSBox[(b >> 16) & 0xFF]} << 16) |
            (std::uint32_t{kSBox[(c >> 8) & 0xFF]} << 8) | kSBox[d & 0xFF]) ^
           key;
}

}  // namespace

void ExpandKey128(const std::uint8_t key[kKeySize128], std::uint32_t roundKeys[kRoundKeyWords128]) noexcept {
    for (int i = 0; i < 4; ++i) roundKeys[i] = LoadWord(key + 4 * i);
    for (std::size_t i = 4; i < kRoundKeyWords128; ++i) {
        std::uint32_t temp = roundKeys[i - 1];
        if (i % 4 == 0) temp = SubWord((temp << 8) | (temp >> 24)) ^ kRoundConstants[i / 4 - 1];
        roundKeys[i] = roundKeys[i - 4] ^ temp;
    }
}

void EncryptBlock128(const std::uint32_t roundKeys[kRoundKeyWords128], const std::uint8_t in[kBlockSize],
                     std::uint8_t out[kBlockSize]) noexcept {
    const std::uint32_t* rk = roundKeys;
    std::uint32_t s0 = LoadWord(in) ^ rk[0];
    std::uint32_t s1 = LoadWord(in + 4) ^ rk[1];
    std::uint32_t s2 = LoadWord(in + 8) ^ rk[2];
    std::uint32_t s3 = LoadWord(in + 12) ^ rk[3];
    for (int round = 1; round < 10; ++round) {
        rk += 4;
        const std::uint32_t t0 = Round(s0, s1, s2, s3, rk[0]);
        const std::uint32_t t1 = Round(s1, s2, s3, s0, rk[1]);
        const std::uint32_t t2 = Round(s2, s3, s0, s1, rk[2]);
        const std::uint32_t t3 = Round(s3, s0, s1, s2, rk[3]);
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    StoreWord(out, LastRound(s0, s1, s2, s3, rk[0]));
    StoreWord(out + 4, LastRound(s1, s2, s3, s0, rk[1]));
    StoreWord(out + 8, LastRound(s2, s3, s0, s1, rk[2]));
    StoreWord(out + 12, LastRound(s3, s0, s1, s2, rk[3]));
}

}  // namespace lacqueron::aes
