// The scale settings of the weighing dialog, kept per user in the bench's registry key
// beside the resolution. A value that is missing, of another type or out of range
// gives manual entry or the default.
#pragma once

#include <cstdint>

#include "core/RegistryKeyInterface.h"
#include "core/WideString.h"
#include "scale/ScaleProtocol.h"

namespace lacqueron {

inline constexpr std::uint32_t kManualEntry = 0;  // no port: the painter types the reading
inline constexpr std::uint32_t kMaxScalePort = 256;
inline constexpr std::uint32_t kDefaultScaleBaud = 9600;
// The rates a scale offers; anything else stored is a mistake.
inline constexpr std::uint32_t kScaleBauds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct ScaleSettings {
    std::uint32_t port = kManualEntry;  // 1 to 256 for COM1 to COM256
    std::uint32_t baud = kDefaultScaleBaud;
    ScaleProtocol protocol = ScaleProtocol::Automatic;
    bool autoRecord = false;

    bool operator==(const ScaleSettings&) const = default;
};

// "COM1" to "COM256" (Latin letters in any case, no leading zeros) gives 1 to 256;
// anything else, the empty text included, gives kManualEntry.
std::uint32_t ParseScalePortName(const char16_t* text) noexcept;
// u"COM5" for 5; empty for kManualEntry.
WideString ScalePortName(std::uint32_t port);

// Reads ScalePort, ScaleBaud, ScaleProtocol and AutoRecord; a null key gives the defaults.
ScaleSettings ReadScaleSettings(IRegistryKey* key) noexcept;
// Writes all four; failed writes are ignored like every other profile write.
void WriteScaleSettings(IRegistryKey* key, const ScaleSettings& settings) noexcept;

}  // namespace lacqueron
