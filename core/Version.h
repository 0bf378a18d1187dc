// The program's version: 1.1.20. The profile and the version resource carry it too.
#pragma once

#include <cstdint>

namespace lacqueron {

inline constexpr std::uint32_t kVersionMajor = 1;
inline constexpr std::uint32_t kVersionMinor = 1;
inline constexpr std::uint32_t kVersionBuild = 20;

}  // namespace lacqueron
