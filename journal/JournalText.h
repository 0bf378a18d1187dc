// The journal's values as the painter reads them: in the window, in the export and in
// messages. The program's windows and labels write a decimal point, as the recipe text
// does; only the CSV for spreadsheets writes a comma.
#pragma once

#include "journal/BatchRecord.h"
#include "journal/JournalFormat.h"
#include "journal/JournalStore.h"

namespace lacqueron {

// "07.12.2026 14:30", in the local time the batch was recorded in.
WideString FormatBatchTime(const BatchTime& time);

constexpr char16_t kWindowDecimalMark = u'.';
constexpr char16_t kSpreadsheetDecimalMark = u',';

// "263.50"; "-0.05" below zero; with a comma for a spreadsheet.
WideString FormatHundredths(Hundredths value, char16_t decimalMark = kWindowDecimalMark);

// "1.0250 → 263.50 г"; "1.0250 → 263.50 г (отклонён)" for one the painter declined.
WideString FormatCorrection(const BatchCorrection& correction, char16_t decimalMark = kWindowDecimalMark);

// "Поправка по замеру 1: цель 52.41 -3.10 18.00, проба 50.12 -1.50 22.30, ΔE00 3.12,
// ожидалось 0.45; предложено: YEL 0.40 г, BLK 0.05 г; налито: YEL 0.35 г"; with commas
// for a spreadsheet.
WideString FormatMeasureRound(const BatchMeasureRound& round, std::size_t number,
                              char16_t decimalMark = kWindowDecimalMark);

// "250 г" or "250 мл".
WideString FormatBatchAmount(const BatchRecord& batch);

// What the can holds, in the batch's unit, for its label: the amount ordered, or once a
// correction made the batch larger the scale's last reading, whole grams or millilitres
// by the recipe's own grams per millilitre ("263 г", "263 мл").
WideString FormatCanAmount(const BatchRecord& batch);

// The heading the pastes added while tinting stand under, apart from the recipe's own.
WideString AdditionsHeading();

// "готово" or "прервано".
WideString BatchStatusText(BatchStatus status);

// What the painter is told when another bench holds the journal past the time limit.
constexpr char16_t kJournalBusyText[] = u"Журнал занят другим рабочим местом. Попробуйте ещё раз.";

// How a log of the journal's kind names itself: when a write fails, when another bench
// holds it, and when it opens damaged. One row per store, so no store's message speaks
// of another's file.
struct LogWords {
    const char16_t* file;     // "файл журнала": a write to it failed
    const char16_t* busy;     // another bench holds it
    const char16_t* title;    // "Журнал замесов": the head of its damage message
    const char16_t* counted;  // "замесов": what was read of it
    const char16_t* notLike;  // its first bytes are of no such file
    const char16_t* newer;    // a newer program wrote it
};
inline constexpr LogWords kJournalWords = {u"файл журнала",
                                           kJournalBusyText,
                                           u"Журнал замесов",
                                           u"замесов",
                                           u"файл не похож на журнал замесов",
                                           u"журнал записан более новой версией программы"};

// "Запись 12 (байт 3456): запись оборвана: её не успели дописать до конца"; a file's
// own kind named by words.
WideString DescribeJournalDamage(const JournalDamage& damage, const LogWords& words = kJournalWords);

// What the painter is told when the journal opens with damage: how many batches were
// read, that the file stays as it is, and one line per damaged place (the first ten,
// then how many more). Empty when there is no damage.
WideString JournalDamageMessage(const JournalContents& journal);

// The same for another log of the shop: "Файл цен и остатков повреждён. Прочитано
// записей: 12. ...", then the damaged places. Empty when there is no damage.
WideString LogDamageMessage(const LogWords& words, std::size_t read, const std::vector<JournalDamage>& damage);

// Why a write was not done, after what was not done: "Рецепт не сохранён: не удалось
// записать файл рецептов."; empty for Appended. A refused write is told by its caller.
WideString DescribeAppendFailure(JournalAppendResult result, std::u16string_view notDone, const LogWords& words);
// A batch's: "Замес не записан: ...".
WideString DescribeAppendFailure(JournalAppendResult result);

}  // namespace lacqueron
