// Auto-record: a stable reading within tolerance for a whole second, never an unstable
// one, never across a gap in the readings, and never one with nothing poured since the
// last recorded reading.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "scale/AutoRecord.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kTarget = 12345;
constexpr std::int64_t kTolerance = 100;
constexpr std::int64_t kDivision = 1;
constexpr std::int64_t kEmptyCan = 0;
// The last recorded reading before a light step: the step weighs less than its tolerance.
constexpr std::int64_t kBeforeLightStep = 12300;

struct AutoRecordCase {
    const char* name;
    std::vector<TimedReading> readings;
    std::optional<std::int64_t> expected;
    std::int64_t lastRecorded = kEmptyCan;
};

std::ostream& operator<<(std::ostream& out, const AutoRecordCase& c) { return out << c.name; }

class AutoRecord : public testing::TestWithParam<AutoRecordCase> {};

TEST_P(AutoRecord, RecordsOnlyAHeldStableReading) {
    const AutoRecordCase& c = GetParam();
    EXPECT_EQ(AutoRecordReading(c.readings, {kTarget, kTolerance, c.lastRecorded, kDivision}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoRecord,
    testing::Values(
        AutoRecordCase{"none", {}, std::nullopt},
        AutoRecordCase{"held_one_second", {{0, 12340, true}, {500, 12350, true}, {1000, 12345, true}}, 12345},
        AutoRecordCase{"just_short_of_a_second", {{0, 12340, true}, {500, 12350, true}, {999, 12345, true}},
                       std::nullopt},
        AutoRecordCase{"tolerance_edges", {{0, 12245, true}, {500, 12445, true}, {1000, 12445, true}}, 12445},
        AutoRecordCase{"last_outside_tolerance", {{0, 12345, true}, {500, 12345, true}, {1000, 12446, true}},
                       std::nullopt},
        AutoRecordCase{"last_unstable", {{0, 12345, true}, {500, 12345, true}, {1000, 12345, false}},
                       std::nullopt},
        AutoRecordCase{"unstable_inside_the_second",
                       {{0, 12345, true}, {400, 12345, false}, {800, 12345, true}, {1200, 12345, true}},
                       std::nullopt},
        AutoRecordCase{"hold_restarts_after_leaving",
                       {{0, 12345, true}, {200, 13000, true}, {400, 12345, true}, {900, 12345, true},
                        {1400, 12340, true}},
                       12340},
        AutoRecordCase{"gap_in_the_readings", {{0, 12345, true}, {501, 12345, true}, {1001, 12345, true}},
                       std::nullopt},
        AutoRecordCase{"light_step_nothing_poured",
                       {{0, 12300, true}, {500, 12300, true}, {1000, 12300, true}},
                       std::nullopt, kBeforeLightStep},
        AutoRecordCase{"light_step_one_division_poured",
                       {{0, 12301, true}, {500, 12301, true}, {1000, 12301, true}},
                       12301, kBeforeLightStep}),
    [](const testing::TestParamInfo<AutoRecordCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
