// Decoding the largest data section (the picture, 546072 bytes) as the loader does it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "data/cipher/Cipher.h"

namespace {

using namespace lacqueron;

constexpr std::uint32_t kPictureSectionLength = 546072;

SectionKey BenchKey() {
    SectionKey key{};
    for (int i = 0; i < 16; ++i) {
        key.key[i] = static_cast<std::uint8_t>(0x3C ^ (i * 29));
        key.vector[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 7));
    }
    return key;
}

std::vector<std::uint8_t> MakeSection(std::uint32_t length, const SectionKey& key) {
    std::vector<std::uint8_t> plain(length);
    std::uint32_t seed = 12345;
    for (auto& b : plain) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    std::vector<std::uint8_t> section(length);
    auto cipher = CreateCipherFactory()->CreateCipher();
    cipher->SelectMode(kCipherModeAes128);
    cipher->SetKey(key.key, 16);
    cipher->SetIV(key.vector, 16);
    cipher->Encrypt(plain.data(), length, section.data());
    return section;
}

void DecodePictureSection(benchmark::State& state) {
    const SectionKey key = BenchKey();
    const auto section = MakeSection(kPictureSectionLength, key);
    auto cipher = CreateCipherFactory()->CreateCipher();
    for (auto _ : state) {
        auto content = DecodeSection(section.data(), kPictureSectionLength, cipher.get(), key);
        if (!content) {
            state.SkipWithError("DecodeSection failed");
            break;
        }
        benchmark::DoNotOptimize(content->GetData());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kPictureSectionLength);
}
BENCHMARK(DecodePictureSection)->Unit(benchmark::kMicrosecond);

// The cipher alone, in place, without the two buffers DecodeSection makes.
void DecryptInPlace(benchmark::State& state) {
    const SectionKey key = BenchKey();
    auto data = MakeSection(kPictureSectionLength, key);
    auto cipher = CreateCipherFactory()->CreateCipher();
    cipher->SelectMode(kCipherModeAes128);
    cipher->SetKey(key.key, 16);
    cipher->SetIV(key.vector, 16);
    for (auto _ : state) {
        cipher->Decrypt(data.data(), kPictureSectionLength, data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kPictureSectionLength);
}
BENCHMARK(DecryptInPlace)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
