// What the port reader reports to the weighing dialog: a weight, a state of the scale
// or a fault, with the Russian text the dialog shows for it. An event packs into two
// machine words so that a posted message owns nothing. Each carries the generation of
// the reader that produced it, so a window drops what a reader it replaced still sent.
#pragma once

#include <cstdint>

#include "core/WideString.h"
#include "scale/ScaleLine.h"
#include "scale/ScaleProtocol.h"

namespace lacqueron {

// A reader's number, stamped on its events. It wraps after 65536 readers, far more
// than are started while one reader's events still wait in a queue.
using ScaleGeneration = std::uint16_t;

enum class ScaleEventKind : std::uint8_t {
    Reading,      // hundredths and stable
    ScaleState,   // line: Busy, Overload or Underload
    LineRefused,  // refusal says why (a unit other than grams, a broken number)
    PortMissing,  // no such port on the machine
    PortBusy,     // another program holds the port
    PortLost,     // the port vanished while open (USB unplugged)
    Silent,       // the port is open but no scale line came for a while
    Found,        // the automatic search settled: ScaleEventProtocol and ScaleEventBaud
    NothingFound, // the automatic search tried every rate and protocol in vain
};

struct ScaleEvent {
    ScaleEventKind kind = ScaleEventKind::Reading;
    bool stable = false;
    ScaleLineKind line = ScaleLineKind::Reading;
    ScaleRefusal refusal = ScaleRefusal::None;
    // The weight of a reading; for a refused unit (NotGrams) its letters, packed by
    // ScaleEventFromLine and read back with ScaleEventUnit; for a search's outcome the
    // rate and protocol, packed by ScaleFoundEvent or NothingFoundEvent.
    std::int32_t hundredths = 0;
    ScaleGeneration generation = 0;

    bool operator==(const ScaleEvent&) const = default;
};

// The event a parsed line gives; nothing for an Unrecognised line.
bool ScaleEventFromLine(const ScaleLine& line, ScaleEvent& event) noexcept;

// The unit a NotGrams refusal saw, as the line wrote it (zero-padded); empty otherwise.
ScaleUnit ScaleEventUnit(const ScaleEvent& event) noexcept;

// The search found `protocol` at `baud`.
ScaleEvent ScaleFoundEvent(ScaleProtocol protocol, std::uint32_t baud) noexcept;
// The search found nothing, starting at `firstBaud` and going on through the rest of
// kDetectionBauds; `linesCame` when lines arrived that no protocol read (a rate or format
// set differently on the scale) rather than nothing at all (the cable, the port).
ScaleEvent NothingFoundEvent(std::uint32_t firstBaud, bool linesCame) noexcept;
// What a Found event says; Automatic and 0 for any other event.
ScaleProtocol ScaleEventProtocol(const ScaleEvent& event) noexcept;
// The rate a Found event found, or a NothingFound event started at; 0 for any other.
std::uint32_t ScaleEventBaud(const ScaleEvent& event) noexcept;

// Everything but the weight in one word; the weight travels as the second word.
std::uint32_t PackScaleEvent(const ScaleEvent& event) noexcept;
ScaleEvent UnpackScaleEvent(std::uint32_t word, std::int32_t hundredths) noexcept;

// The message for everything but a reading (a refused unit named, a search's outcome
// spelt out); empty for a reading. Throws std::bad_alloc.
WideString ScaleEventText(const ScaleEvent& event);

}  // namespace lacqueron
