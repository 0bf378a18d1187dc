// One line from a scale, understood: a weight, a state of the scale, or the reason it
// cannot be used. ParseScaleLine covers the polled "SI" replies and the continuous
// stream; each other protocol has its own parser (ScaleFormats.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lacqueron {

enum class ScaleLineKind : std::uint8_t {
    Reading,       // a weight in hundredths of a gram
    Busy,          // "S I", "Err 12": the scale cannot answer now
    Overload,      // "S +", "OL,...": above the scale's range
    Underload,     // "S -": below its zero range
    Refused,       // a scale line that cannot be used; reason says why
    Unrecognised,  // not a scale line at all (noise, a command echo, a wrong baud rate)
};

// Which protocol a line belongs to; Unknown for lines that tell nothing.
enum class ScaleLineFormat : std::uint8_t { Unknown, Polled, Continuous, EscPolled, Legend, Marked, Prefixed };

enum class ScaleRefusal : std::uint8_t {
    None,
    NoUnit,      // a number without a unit
    NotGrams,    // oz, lb, ct, dwt, pcs or anything other than g, gr and kg; unit says which
    BadNumber,   // no digits, two points, digits split by spaces
    OutOfRange,  // beyond kMaxScaleHundredths
};

// Ten tonnes: no mixing scale shows more; also keeps every reading in 32 bits.
inline constexpr std::int64_t kMaxScaleHundredths = 1'000'000'000;
// The letters of a refused unit kept: enough for "dwt", "ozt" or "pcs".
inline constexpr std::size_t kScaleUnitChars = 4;
using ScaleUnit = std::array<char, kScaleUnitChars>;

struct ScaleLine {
    ScaleLineKind kind = ScaleLineKind::Unrecognised;
    ScaleLineFormat format = ScaleLineFormat::Unknown;
    std::int64_t hundredths = 0;  // Reading only; kg converted, extra decimals rounded half away from zero
    bool stable = false;          // Reading only
    ScaleRefusal refusal = ScaleRefusal::None;
    ScaleUnit unit{};             // NotGrams only: the unit as written, cut to kScaleUnitChars, zero-padded
};

// Parses one line without its line end. Never fails: anything else is Unrecognised.
ScaleLine ParseScaleLine(std::string_view line) noexcept;

}  // namespace lacqueron
