#include "journal/JournalText.h"

#include <cmath>
#include <limits>

#include "core/IntegerText.h"
#include "journal/StandingBatches.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kSecondsPerMinute = 60;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::uint32_t kTenThousandthsPerUnit = 10000;
constexpr double kLargestBatchAmount = std::numeric_limits<std::int32_t>::max();  // what a record can hold
constexpr std::size_t kDamageLinesShown = 10;
constexpr char16_t kTextLineEnd[] = u"\r\n";

// The proleptic Gregorian date of a day counted from 1970-01-01 (H. Hinnant's civil_from_days).
struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};
CivilDate DateFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

// "250 г" or "250 мл", as the amount field shows it.
WideString AmountText(std::int64_t amount, std::uint32_t weightType) {
    return IntegerText(amount) + (weightType == kGrams ? u" г" : u" мл");
}

}  // namespace

WideString FormatBatchTime(const BatchTime& time) {
    const std::int64_t local = time.utcSeconds + time.localOffsetMinutes * kSecondsPerMinute;
    std::int64_t days = local / kSecondsPerDay;
    std::int64_t secondOfDay = local % kSecondsPerDay;
    if (secondOfDay < 0) secondOfDay += kSecondsPerDay, --days;
    const CivilDate date = DateFromDays(days);
    const std::int64_t minuteOfDay = secondOfDay / kSecondsPerMinute;
    const WideString year = IntegerText(date.year, 4);
    return IntegerText(date.day, 2) + u"." + IntegerText(date.month, 2) + u"." + year + u" " +
           IntegerText(static_cast<std::uint64_t>(minuteOfDay / kMinutesPerHour), 2) + u":" +
           IntegerText(static_cast<std::uint64_t>(minuteOfDay % kMinutesPerHour), 2);
}

WideString FormatHundredths(Hundredths value, char16_t decimalMark) {
    // Unsigned, so that the smallest 64-bit value has a magnitude too.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    return (value < 0 ? u"-" : u"") + IntegerText(magnitude / kHundredthsPerGram) + decimalMark +
           IntegerText(magnitude % kHundredthsPerGram, 2);
}

WideString FormatCorrection(const BatchCorrection& correction, char16_t decimalMark) {
    return IntegerText(correction.factorTenThousandths / kTenThousandthsPerUnit) + decimalMark +
           IntegerText(correction.factorTenThousandths % kTenThousandthsPerUnit, 4) + u" → " +
           FormatHundredths(correction.newTotal, decimalMark) + u" г" + (correction.accepted ? u"" : u" (отклонён)");
}

namespace {

WideString LabText(const BatchLab& lab, char16_t mark) {
    return FormatHundredths(lab.l, mark) + u" " + FormatHundredths(lab.a, mark) + u" " + FormatHundredths(lab.b, mark);
}

WideString PastesText(const std::vector<BatchPaste>& pastes, char16_t mark) {
    if (pastes.empty()) return u"ничего";
    WideString text;
    for (const BatchPaste& paste : pastes)
        text += (text.empty() ? u"" : u", ") + paste.code + u" " + FormatHundredths(paste.weight, mark) + u" г";
    return text;
}

}  // namespace

WideString FormatMeasureRound(const BatchMeasureRound& round, std::size_t number, char16_t decimalMark) {
    return u"Поправка по замеру " + IntegerText(number) + u": цель " + LabText(round.target, decimalMark) +
           u", проба " + LabText(round.measured, decimalMark) + u", ΔE00 " +
           FormatHundredths(round.deltaE, decimalMark) + u", ожидалось " +
           FormatHundredths(round.predicted, decimalMark) + u"; предложено: " +
           PastesText(round.proposed, decimalMark) + u"; налито: " + PastesText(round.poured, decimalMark);
}

WideString FormatBatchAmount(const BatchRecord& batch) { return AmountText(batch.amount, batch.weightType); }

WideString FormatCanAmount(const BatchRecord& batch) {
    if (batch.corrections.empty() || batch.finalTotal <= 0 || batch.amount <= 0) return FormatBatchAmount(batch);
    // In doubles: a damaged record's weights may be anything, and nothing here may overflow.
    double final = static_cast<double>(batch.finalTotal) / kHundredthsPerGram;
    if (batch.weightType != kGrams) {
        double recipeTotal = 0;
        for (const BatchComponent& component : batch.components)
            recipeTotal += static_cast<double>(component.recipeWeight);
        if (!(recipeTotal > 0)) return FormatBatchAmount(batch);
        final = static_cast<double>(batch.amount) * static_cast<double>(batch.finalTotal) / recipeTotal;
    }
    if (!(final <= kLargestBatchAmount)) return FormatBatchAmount(batch);
    return AmountText(std::llround(final), batch.weightType);
}

WideString AdditionsHeading() { return u"Добавлено при подборе:"; }

WideString BatchStatusText(BatchStatus status) { return status == BatchStatus::Done ? u"готово" : u"прервано"; }

WideString DescribeJournalDamage(const JournalDamage& damage, const LogWords& words) {
    WideString reason;
    switch (damage.kind) {
    case JournalDamageKind::BadHeader: reason = words.notLike; break;
    case JournalDamageKind::NewerVersion: reason = words.newer; break;
    case JournalDamageKind::TruncatedRecord: reason = u"запись оборвана: её не успели дописать до конца"; break;
    case JournalDamageKind::BadChecksum: reason = u"данные записи испорчены (не сходится контрольная сумма)"; break;
    case JournalDamageKind::BadPayload: reason = u"в записи неверные поля"; break;
    case JournalDamageKind::UnexpectedBytes: reason = u"посторонние данные между записями"; break;
    }
    const WideString where = u"байт " + IntegerText(damage.offset);
    if (damage.recordNumber == 0) return u"Начало файла (" + where + u"): " + reason;
    return u"Запись " + IntegerText(damage.recordNumber) + u" (" + where + u"): " + reason;
}

WideString JournalDamageMessage(const JournalContents& journal) {
    return LogDamageMessage(kJournalWords, StandingBatches(journal).size(), journal.Damage());
}

WideString LogDamageMessage(const LogWords& words, std::size_t read, const std::vector<JournalDamage>& damage) {
    if (damage.empty()) return {};
    WideString text = WideString(words.title) + u" повреждён. Прочитано " + words.counted + u": " + IntegerText(read) +
                      u". Повреждённые места пропущены, файл оставлен как есть." + kTextLineEnd;
    for (std::size_t i = 0; i < damage.size() && i < kDamageLinesShown; ++i)
        text += kTextLineEnd + DescribeJournalDamage(damage[i], words);
    if (damage.size() > kDamageLinesShown)
        text += kTextLineEnd + (u"И ещё мест: " + IntegerText(damage.size() - kDamageLinesShown) + u".");
    return text;
}

WideString DescribeAppendFailure(JournalAppendResult result, std::u16string_view notDone, const LogWords& words) {
    const WideString lead(notDone);
    switch (result) {
    case JournalAppendResult::Appended: return {};
    case JournalAppendResult::NotAJournal:
        return lead + u": " + words.file +
               u" не распознан или записан более новой версией программы. Файл оставлен без изменений.";
    case JournalAppendResult::TooLarge: return lead + u": слишком длинная запись.";
    case JournalAppendResult::WriteFailed: return lead + u": не удалось записать " + words.file + u".";
    case JournalAppendResult::Busy: return lead + u". " + words.busy;
    case JournalAppendResult::Refused: return lead + u".";
    }
    return {};
}

WideString DescribeAppendFailure(JournalAppendResult result) {
    return DescribeAppendFailure(result, u"Замес не записан", kJournalWords);
}

}  // namespace lacqueron
