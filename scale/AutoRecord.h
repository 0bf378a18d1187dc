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

// How long a reading must stay stable and within tolerance.
inline constexpr std::int64_t kAutoRecordHoldMs = 1000;
// Readings come at 5 a second or more: a longer gap means the scale was not watched,
// so the hold starts again.
inline constexpr std::int64_t kAutoRecordMaxGapMs = 500;

// The reading to record now, or nothing: the last reading, when it and every reading
// back over at least kAutoRecordHoldMs were stable, within tolerance of the target
// (both in hundredths) and no more than kAutoRecordMaxGapMs apart. Readings are in
// order of arrival. An unstable reading is never recorded.
std::optional<std::int64_t> AutoRecordReading(std::span<const TimedReading> readings, std::int64_t target,
                                              std::int64_t tolerance) noexcept;

}  // namespace lacqueron
