// The COM ports present on this machine, for the weighing dialog's choice of port.
#pragma once

#include <cstdint>
#include <vector>

namespace lacqueron {

// Port numbers (5 for COM5) in ascending order, each once: the DOS device names
// together with the serial ports the drivers list under HARDWARE\DEVICEMAP\SERIALCOMM.
// Empty when there is none or the lists cannot be read.
std::vector<std::uint32_t> ListComPorts() noexcept;

}  // namespace lacqueron
