#include "scale/ScaleProtocol.h"

namespace lacqueron {

std::string_view ScaleCommandBytes(ScaleProtocol protocol, ScaleCommand command) noexcept {
    switch (command) {
        case ScaleCommand::Poll:
            // Until the choice settles the scale is asked too: a streaming scale ignores it.
            return protocol == ScaleProtocol::Continuous ? std::string_view() : "SI\r\n";
        // Both protocols take the same tare and zero; a scale that only prints ignores them.
        case ScaleCommand::Tare: return "T\r\n";
        case ScaleCommand::Zero: return "Z\r\n";
    }
    return {};
}

void ProtocolDetector::Observe(const ScaleLine& line) noexcept {
    if (current_ != ScaleProtocol::Automatic) return;
    if (line.format == ScaleLineFormat::Polled) current_ = ScaleProtocol::Polled;
    if (line.format == ScaleLineFormat::Continuous) current_ = ScaleProtocol::Continuous;
}

}  // namespace lacqueron
