// Stores the main dialog's three working values in the profile.
#pragma once

#include "core/AppModule.h"
#include "data/catalogue/CatalogueLoader.h"

namespace lacqueron {

// Writes TargetWeight, WeightType and Purpose, in that order, into the module's
// profile key; writes nothing when there is no key.
void SaveProfileValues(IAppModule& module, const ProfileValues& values) noexcept;

}  // namespace lacqueron
