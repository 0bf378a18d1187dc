// The protocol a scale speaks: what to send it and how the automatic choice settles.
#pragma once

#include <cstdint>
#include <string_view>

#include "scale/ScaleLine.h"

namespace lacqueron {

// Stored as the ScaleProtocol registry value.
enum class ScaleProtocol : std::uint32_t { Automatic = 0, Polled = 1, Continuous = 2 };

enum class ScaleCommand : std::uint8_t { Poll, Tare, Zero };

// The bytes to send, line end included; empty when the protocol has no such command
// (a stream is never polled).
std::string_view ScaleCommandBytes(ScaleProtocol protocol, ScaleCommand command) noexcept;

// Settles the automatic choice from the first line that shows its format. A configured
// protocol stays as it is whatever arrives.
class ProtocolDetector {
public:
    explicit ProtocolDetector(ScaleProtocol configured) noexcept : configured_(configured), current_(configured) {}

    void Observe(const ScaleLine& line) noexcept;
    // Back to the configured choice, as for a scale plugged in again.
    void Reset() noexcept { current_ = configured_; }
    ScaleProtocol current() const noexcept { return current_; }

private:
    ScaleProtocol configured_;
    ScaleProtocol current_;
};

}  // namespace lacqueron
