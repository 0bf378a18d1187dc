// Whole numbers as every window, message and table writes them: plain ASCII digits with
// a leading minus, the same on every platform and in any locale.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/WideString.h"

namespace lacqueron {

// "-1234"; at least `width` digits, zeros in front ("07" for 7 at width 2).
WideString IntegerText(std::int64_t value, std::size_t width = 1);

}  // namespace lacqueron
