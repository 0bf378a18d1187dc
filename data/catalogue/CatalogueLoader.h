// Builds the catalogue from a data package, after reading the stored profile values.
#pragma once

#include <cstdint>

#include "core/AppModule.h"
#include "data/catalogue/Catalogue.h"
#include "data/catalogue/DataPackage.h"

namespace lacqueron {

// The three values the main dialog keeps and the profile stores.
struct ProfileValues {
    std::int32_t targetWeight = 100;
    std::uint32_t weightType = 1;  // 1 grams, 2 millilitres
    std::uint32_t purpose = 1;     // 1..6
};

// Appends to an empty catalogue; reports nothing. Lines that fail a check are passed
// over; a section that fails to decode contributes nothing.
void LoadCatalogue(IAppModule& module, const DataPackage& package, Catalogue& catalogue,
                   ProfileValues& values);

}  // namespace lacqueron
