// Ids that records written on different benches into one shared folder keep apart.
#pragma once

#include <cstdint>

namespace lacqueron {

// A new id, never 0, different from every other bench's with near certainty: the clock
// and the system's random source. Without a random source, the clock alone.
std::uint64_t NewUniqueId() noexcept;

}  // namespace lacqueron
