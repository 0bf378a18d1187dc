// The journal's values and messages as the painter reads them.
#include <gtest/gtest.h>

#include "journal/JournalText.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

struct TimeCase {
    BatchTime time;
    const char16_t* text;
};

TEST(JournalText, LocalTimesAcrossDayYearAndLeapDay) {
    const TimeCase cases[] = {
        {{0, 0}, u"01.01.1970 00:00"},
        {{-1, 0}, u"31.12.1969 23:59"},
        {{951782400, 0}, u"29.02.2000 00:00"},      // a leap day of a century year
        {{1798761540, 180}, u"01.01.2027 02:59"},   // 23:59 UTC on New Year's Eve, Moscow time
        {{1798761600, -300}, u"31.12.2026 19:00"},  // west of Greenwich
    };
    for (const TimeCase& c : cases) EXPECT_EQ(FormatBatchTime(c.time), c.text) << c.time.utcSeconds;
}

TEST(JournalText, HundredthsWithADecimalComma) {
    EXPECT_EQ(FormatHundredths(5), u"0.05");
    EXPECT_EQ(FormatHundredths(-5), u"-0.05");
    EXPECT_EQ(FormatHundredths(123456), u"1234.56");
    EXPECT_EQ(FormatHundredths(INT64_MIN, kSpreadsheetDecimalMark), u"-92233720368547758,08");
}

TEST(JournalText, ADeclinedCorrectionIsMarked) {
    EXPECT_EQ(FormatCorrection({10250, 26350}), u"1.0250 → 263.50 г");
    EXPECT_EQ(FormatCorrection({10250, 26350, false}, kSpreadsheetDecimalMark), u"1,0250 → 263,50 г (отклонён)");
}

TEST(JournalText, ARoundOfCorrectionByMeasurement) {
    EXPECT_EQ(FormatMeasureRound({{5241, -310, 1800}, {5012, -150, 2230}, 312, 45, {{u"YEL", 40}, {u"BLK", 5}},
                                  {{u"YEL", 35}}},
                                 1),
              u"Поправка по замеру 1: цель 52.41 -3.10 18.00, проба 50.12 -1.50 22.30, ΔE00 3.12, ожидалось 0.45; "
              u"предложено: YEL 0.40 г, BLK 0.05 г; налито: YEL 0.35 г");
    EXPECT_EQ(FormatMeasureRound({{}, {}, 0, 0, {}, {}}, 2),
              u"Поправка по замеру 2: цель 0.00 0.00 0.00, проба 0.00 0.00 0.00, ΔE00 0.00, ожидалось 0.00; "
              u"предложено: ничего; налито: ничего");
}

TEST(JournalText, DamageMessageSaysWhatWasReadAndWhere) {
    std::string bytes = EncodeJournalHeader();
    for (std::uint32_t i = 0; i < 12; ++i) bytes += EncodeBatchFrame(test::SampleBatch(i)) + "?";
    const JournalContents journal = JournalContents::Parse(bytes);
    const WideString message = JournalDamageMessage(journal);
    EXPECT_TRUE(message.starts_with(u"Журнал замесов повреждён. Прочитано замесов: 12. "));
    // The header and the first sample record take 12 + 322 bytes.
    EXPECT_NE(message.find(u"\r\nЗапись 2 (байт 334): посторонние данные между записями\r\n"), WideString::npos);
    EXPECT_TRUE(message.ends_with(u"\r\nИ ещё мест: 2."));
    EXPECT_EQ(JournalDamageMessage(test::JournalOf({test::SampleBatch(0)})), u"");
}

}  // namespace
}  // namespace lacqueron
