// The stored values of the amount's unit and of the paint's purpose, as the profile
// keeps them and the catalogue's bases name their purpose.
#pragma once

#include <cstdint>

namespace lacqueron {

enum WeightUnit : std::uint32_t { kGrams = 1, kMillilitres = 2 };

// One surface material with its finish each.
enum Purpose : std::uint32_t {
    kPurposeDashboardPvcMatt = 1,
    kPurposeHideGloss = 2,
    kPurposeHideMatt = 3,
    kPurposePlasticGloss = 4,
    kPurposePlasticMattLighter = 5,
    kPurposePlasticMattSaturated = 6,
};

constexpr std::uint32_t kFirstPurpose = kPurposeDashboardPvcMatt;
constexpr std::uint32_t kLastPurpose = kPurposePlasticMattSaturated;

}  // namespace lacqueron
