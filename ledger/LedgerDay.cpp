#include "ledger/LedgerDay.h"

#include "journal/JournalText.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kSecondsPerMinute = 60;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int32_t kMonthsPerYear = 12;
constexpr std::size_t kDateLength = 10;  // "ДД.ММ.ГГГГ"
constexpr std::int32_t kFirstYear = 1900;
constexpr std::int32_t kLastYear = 9999;

bool IsLeap(std::int32_t year) noexcept { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) noexcept {
    constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Digits at [from, from + count), or -1.
std::int32_t DigitsAt(std::u16string_view text, std::size_t from, std::size_t count) {
    std::int32_t value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return -1;
        value = value * 10 + (text[i] - u'0');
    }
    return value;
}

}  // namespace

DayNumber LocalDay(const BatchTime& time) noexcept {
    const std::int64_t local = time.utcSeconds + time.localOffsetMinutes * kSecondsPerMinute;
    std::int64_t day = local / kSecondsPerDay;
    if (local % kSecondsPerDay < 0) --day;
    return static_cast<DayNumber>(day);
}

// Days from 1970-01-01, counting years from March so that a leap day ends its year.
std::optional<DayNumber> DayOfDate(std::int32_t year, std::int32_t month, std::int32_t day) noexcept {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > kMonthsPerYear || day < 1 ||
        day > DaysInMonth(year, month))
        return std::nullopt;
    const std::int32_t marchYear = month <= 2 ? year - 1 : year;
    const std::int32_t marchMonth = month <= 2 ? month + 9 : month - 3;
    const std::int32_t dayOfYear = (153 * marchMonth + 2) / 5 + day - 1;
    const std::int32_t days = marchYear * 365 + marchYear / 4 - marchYear / 100 + marchYear / 400 + dayOfYear;
    constexpr std::int32_t kDaysTo1970 = 719468;
    return days - kDaysTo1970;
}

WideString FormatDay(DayNumber day) {
    return FormatBatchTime({static_cast<std::int64_t>(day) * kSecondsPerDay, 0}).substr(0, kDateLength);
}

std::optional<DayNumber> ParseDayText(std::u16string_view text) {
    if (text.size() != kDateLength || text[2] != u'.' || text[5] != u'.') return std::nullopt;
    return DayOfDate(DigitsAt(text, 6, 4), DigitsAt(text, 3, 2), DigitsAt(text, 0, 2));
}

}  // namespace lacqueron
