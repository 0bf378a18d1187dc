// One line from a scale, understood: a weight, a state of the scale, or the reason it
// cannot be used. Covers the polled "SI" replies and the continuous stream.
#pragma once

#include <cstdint>
#include <string_view>

namespace lacqueron {

enum class ScaleLineKind : std::uint8_t {
    Reading,       // a weight in hundredths of a gram
    Busy,          // "S I": the scale cannot answer now
    Overload,      // "S +", "OL,...": above the scale's range
    Underload,     // "S -": below its zero range
    Refused,       // a scale line that cannot be used; reason says why
    Unrecognised,  // not a scale line at all (noise, a command echo, a wrong baud rate)
};

// Which protocol a line belongs to; Unknown for lines that tell nothing.
enum class ScaleLineFormat : std::uint8_t { Unknown, Polled, Continuous };

enum class ScaleRefusal : std::uint8_t {
    None,
    NoUnit,      // a number without a unit
    NotGrams,    // oz, lb, ct, pcs or anything other than g and kg
    BadNumber,   // no digits, two points, digits split by spaces
    OutOfRange,  // beyond kMaxScaleHundredths
};

// Ten tonnes: no mixing scale shows more; also keeps every reading in 32 bits.
inline constexpr std::int64_t kMaxScaleHundredths = 1'000'000'000;

struct ScaleLine {
    ScaleLineKind kind = ScaleLineKind::Unrecognised;
    ScaleLineFormat format = ScaleLineFormat::Unknown;
    std::int64_t hundredths = 0;  // Reading only; kg converted, extra decimals rounded half away from zero
    bool stable = false;          // Reading only
    ScaleRefusal refusal = ScaleRefusal::None;
};

// Parses one line without its line end. Never fails: anything else is Unrecognised.
ScaleLine ParseScaleLine(std::string_view line) noexcept;

}  // namespace lacqueron
