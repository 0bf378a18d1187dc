// Each store of the data folder names its own file when a write fails, and a damaged
// ledger is told as a damaged journal is: what could be read, and where the damage is.
#include <gtest/gtest.h>

#include "journal/JournalText.h"
#include "ledger/Ledger.h"
#include "ownrecipes/OwnSaveClash.h"

namespace lacqueron {
namespace {

struct WordsCase {
    JournalAppendResult result;
    const char16_t* notDone;
    const LogWords* words;
    const char16_t* text;
};

const WordsCase kWordsCases[] = {
    {JournalAppendResult::WriteFailed, u"Рецепт не сохранён", &kOwnRecipeWords,
     u"Рецепт не сохранён: не удалось записать файл рецептов."},
    {JournalAppendResult::Busy, u"Рецепт не удалён", &kOwnRecipeWords,
     u"Рецепт не удалён. Свои рецепты заняты другим рабочим местом. Попробуйте ещё раз."},
    {JournalAppendResult::NotAJournal, u"Ничего не импортировано", &kOwnRecipeWords,
     u"Ничего не импортировано: файл рецептов не распознан или записан более новой версией программы. Файл "
     u"оставлен без изменений."},
    {JournalAppendResult::WriteFailed, u"Цена не записана", &kLedgerWords,
     u"Цена не записана: не удалось записать файл цен и остатков."},
    {JournalAppendResult::Busy, u"Приход не записан", &kLedgerWords,
     u"Приход не записан. Цены и остатки заняты другим рабочим местом. Попробуйте ещё раз."},
    {JournalAppendResult::TooLarge, u"Цена не записана", &kLedgerWords, u"Цена не записана: слишком длинная запись."},
    {JournalAppendResult::WriteFailed, u"Замес не записан", &kJournalWords,
     u"Замес не записан: не удалось записать файл журнала."},
    {JournalAppendResult::Appended, u"Рецепт не сохранён", &kOwnRecipeWords, u""},
};

TEST(StoreWords, EachStoreNamesItsOwnFile) {
    for (const WordsCase& c : kWordsCases)
        EXPECT_EQ(DescribeAppendFailure(c.result, c.notDone, *c.words), c.text) << static_cast<int>(c.result);
    // A batch's words stay as they were.
    EXPECT_EQ(DescribeAppendFailure(JournalAppendResult::WriteFailed),
              u"Замес не записан: не удалось записать файл журнала.");
}

TEST(StoreWords, ADamagedLedgerSaysWhatWasReadAndWhere) {
    const std::vector<JournalDamage> damage = {{12, 0, JournalDamageKind::TruncatedRecord},
                                               {340, 3, JournalDamageKind::BadChecksum}};
    EXPECT_EQ(LogDamageMessage(u"Файл цен и остатков", u"записей", 7, damage),
              u"Файл цен и остатков повреждён. Прочитано записей: 7. Повреждённые места пропущены, файл оставлен "
              u"как есть.\r\n\r\nНачало файла (байт 12): запись оборвана: её не успели дописать до конца\r\n"
              u"Запись 3 (байт 340): данные записи испорчены (не сходится контрольная сумма)");
    EXPECT_EQ(LogDamageMessage(u"Файл цен и остатков", u"записей", 7, {}), u"");
}

}  // namespace
}  // namespace lacqueron
