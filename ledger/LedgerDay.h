// Days of the ledger: the local day a batch or a record belongs to, and the date a
// table writes, "ДД.ММ.ГГГГ".
#pragma once

#include <optional>
#include <string_view>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "ledger/Ledger.h"

namespace lacqueron {

// The local day of a moment, by the offset it was recorded with.
DayNumber LocalDay(const BatchTime& time) noexcept;
// The day of a proleptic Gregorian date; none for a month or day out of range.
std::optional<DayNumber> DayOfDate(std::int32_t year, std::int32_t month, std::int32_t day) noexcept;
// "07.12.2026", and back; ParseDayText refuses anything else.
WideString FormatDay(DayNumber day);
std::optional<DayNumber> ParseDayText(std::u16string_view text);

}  // namespace lacqueron
