#include "scale/AutoRecord.h"

namespace lacqueron {

std::optional<std::int64_t> AutoRecordReading(std::span<const TimedReading> readings,
                                              const AutoRecordStep& step) noexcept {
    const auto qualifies = [&](const TimedReading& r) {
        const std::int64_t off = r.hundredths - step.target;
        const bool poured = r.hundredths - step.lastRecorded >= step.division;
        return r.stable && poured && off <= step.tolerance && -off <= step.tolerance;
    };
    if (readings.empty() || !qualifies(readings.back())) return std::nullopt;

    const TimedReading& last = readings.back();
    for (std::size_t i = readings.size() - 1; i > 0; --i) {
        const TimedReading& earlier = readings[i - 1];
        if (!qualifies(earlier) || readings[i].timeMs - earlier.timeMs > kAutoRecordMaxGapMs) return std::nullopt;
        if (last.timeMs - earlier.timeMs >= kAutoRecordHoldMs) return last.hundredths;
    }
    return std::nullopt;
}

}  // namespace lacqueron
