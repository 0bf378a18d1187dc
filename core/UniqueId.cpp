#include "core/UniqueId.h"

#include <chrono>
#include <random>

namespace lacqueron {
namespace {

constexpr int kHalfWord = 32;
// Spreads the clock's nanoseconds over all 64 bits before they meet the random ones.
constexpr std::uint64_t kGoldenRatio64 = 0x9E3779B97F4A7C15ull;

std::uint64_t RandomBits() noexcept {
    try {
        std::random_device random;
        return static_cast<std::uint64_t>(random()) << kHalfWord | random();
    } catch (...) {
        return 0;  // no random source on this system
    }
}

}  // namespace

std::uint64_t NewUniqueId() noexcept {
    const auto nanoseconds = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count());
    const std::uint64_t id = RandomBits() ^ (nanoseconds * kGoldenRatio64);
    return id != 0 ? id : kGoldenRatio64;
}

}  // namespace lacqueron
