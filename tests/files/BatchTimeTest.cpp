// A batch's time under a zone that is not UTC: ctest runs this with TZ set to
// Asia/Yekaterinburg, five hours east of UTC all year round.
#include <gtest/gtest.h>

#include <ctime>

#include "files/JournalAccess.h"

namespace lacqueron {
namespace {

constexpr std::int32_t kYekaterinburgMinutes = 5 * 60;
constexpr std::int64_t kClockSlackSeconds = 60;

TEST(BatchTime, KeepsTheLocalOffsetOfTheMoment) {
    const BatchTime time = CurrentBatchTime();
    EXPECT_EQ(time.localOffsetMinutes, kYekaterinburgMinutes);
    // The seconds stay UTC, whatever the zone.
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    EXPECT_LT(time.utcSeconds > now ? time.utcSeconds - now : now - time.utcSeconds, kClockSlackSeconds);
}

}  // namespace
}  // namespace lacqueron
