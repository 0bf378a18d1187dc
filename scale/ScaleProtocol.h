// The protocol a scale speaks: how its lines read, what to send it and how the
// automatic choice settles.
#pragma once

#include <cstdint>
#include <string_view>

#include "scale/ScaleLine.h"

namespace lacqueron {

// Stored as the ScaleProtocol registry value: numbers never change meaning, a new
// protocol takes the next one.
enum class ScaleProtocol : std::uint32_t {
    Automatic = 0,
    Polled = 1,      // "SI" answered by "S S 123.45 g"
    Continuous = 2,  // "ST,GS,+00123.45  g" and bare weights, unasked
    EscPolled = 3,   // ESC P answered by a 16- or 22-character line; ESC T tares
    Legend = 4,      // "12.73 g ?" with a legend, continuous or on IP, SP, CP; T tares
    Marked = 5,      // "SI" answered by "? +   123.45 g  "; T and Z
    Prefixed = 6,    // "S"/"U" before each weight, unasked
};
inline constexpr ScaleProtocol kLastScaleProtocol = ScaleProtocol::Prefixed;

enum class ScaleCommand : std::uint8_t { Poll, Tare, Zero };

// The bytes to send, line end included; empty when the protocol has no such command
// (a stream is never polled).
std::string_view ScaleCommandBytes(ScaleProtocol protocol, ScaleCommand command) noexcept;

// Whether a scale of this protocol may send lines unasked, so a search listens for it.
bool ScaleProtocolStreams(ScaleProtocol protocol) noexcept;

// The protocol's name in the weighing dialog's list; null for a number no protocol has.
const char16_t* ScaleProtocolName(ScaleProtocol protocol) noexcept;

// The format of the lines the protocol's own parser gives.
ScaleLineFormat ScaleProtocolFormat(ScaleProtocol protocol) noexcept;

// One line as the protocol reads it. Automatic, Polled and Continuous read the lines of
// both first protocols (ParseScaleLine), as they always have; each other protocol reads
// only its own lines, so that a line of one is never taken for a weight of another.
ScaleLine ParseScaleLine(ScaleProtocol protocol, std::string_view line) noexcept;

// Settles the automatic choice between Polled and Continuous from the first line that
// shows its format. A configured protocol stays as it is whatever arrives.
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
