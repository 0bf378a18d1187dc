// A target as the painter names it: typed L*a*b*, or a catalogue colour's code
// ("RAL 3020", or "3020" for short), whose screen colour stands for it.
#pragma once

#include <string_view>

#include "colour/Colorimetry.h"
#include "colour/TargetText.h"
#include "data/catalogue/Catalogue.h"

namespace lacqueron {

// The catalogue's colour with this code, "RAL " added when the code lacks it; null when
// there is none. code is UTF-8.
const ColourEntry* FindCatalogueColour(const Catalogue& catalogue, std::string_view code);

enum class TargetInputResult { kLab, kCatalogueColour, kNoSuchColour, kLightnessOutOfRange, kAxisOutOfRange };

// Three numbers are L*a*b*; anything else is looked up as a code. A catalogue colour is
// approximate: its screen colour, not a measurement.
TargetInputResult ReadTargetInput(const Catalogue& catalogue, std::string_view text, colour::Lab& lab);

}  // namespace lacqueron
