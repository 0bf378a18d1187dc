// When a live reading may be recorded without the painter pressing Enter.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace lacqueron {

struct TimedReading {
    std::int64_t timeMs;      // when it arrived, on any steady clock
    std::int64_t hundredths;  // the weight
    bool stable;
};

// The step waiting for a reading, all in hundredths.
struct AutoRecordStep {
    std::int64_t target = 0;        // the reading to reach
    std::int64_t tolerance = 0;     // allowed either side of the target
    std::int64_t lastRecorded = 0;  // the reading recorded before this step
    std::int64_t division = 1;      // the scale's resolution
};

// How long a reading must stay stable and within tolerance.
inline constexpr std::int64_t kAutoRecordHoldMs = 1000;
// Readings come at 5 a second or more: a longer gap means the scale was not watched,
// so the hold starts again.
inline constexpr std::int64_t kAutoRecordMaxGapMs = 500;

// The reading to record now, or nothing: the last reading, when it and every reading
// back over at least kAutoRecordHoldMs were stable, within tolerance of the target,
// at least one division above the last recorded reading and no more than
// kAutoRecordMaxGapMs apart. Readings are in order of arrival. An unstable reading is
// never recorded, nor one with nothing poured: a step that weighs no more than its
// tolerance is within it before a drop goes in, and is left to the painter's Enter.
std::optional<std::int64_t> AutoRecordReading(std::span<const TimedReading> readings,
                                              const AutoRecordStep& step) noexcept;

}  // namespace lacqueron
