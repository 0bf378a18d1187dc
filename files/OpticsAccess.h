// The shop's calibrations of the pastes: optics.lqo in the data folder.
#pragma once

#include <memory>

#include "core/WideString.h"
#include "tint/OpticsStore.h"

namespace lacqueron {

constexpr char16_t kOpticsFileName[] = u"optics.lqo";

// Opens and reads the calibrations at path; a file not there yet opens empty. Null, with
// the Russian reason in error, when the folder cannot be reached or the file read.
std::unique_ptr<OpticsStore> OpenOptics(const WideString& path, WideString& error) noexcept;

}  // namespace lacqueron
