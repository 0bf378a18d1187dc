// Each store of the data folder names its own file when a write fails or it opens
// damaged, and a damaged ledger is told as a damaged journal is: what could be read, and
// where the damage is.
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

struct DamageCase {
    const LogWords* words;
    JournalDamageKind kind;
    const char16_t* head;    // what the message starts with
    const char16_t* reason;  // the damaged header's reason
};

// Every store names its own file in a damage message, down to the reason of one place.
const DamageCase kDamageCases[] = {
    {&kLedgerWords, JournalDamageKind::BadHeader, u"Файл цен и остатков повреждён. Прочитано записей: 7.",
     u"файл не похож на файл цен и остатков"},
    {&kLedgerWords, JournalDamageKind::NewerVersion, u"Файл цен и остатков повреждён. Прочитано записей: 7.",
     u"файл цен и остатков записан более новой версией программы"},
    {&kOwnRecipeWords, JournalDamageKind::BadHeader, u"Файл своих рецептов повреждён. Прочитано рецептов: 7.",
     u"файл не похож на файл своих рецептов"},
    {&kOwnRecipeWords, JournalDamageKind::NewerVersion, u"Файл своих рецептов повреждён. Прочитано рецептов: 7.",
     u"файл своих рецептов записан более новой версией программы"},
    // The journal's words stay as they were.
    {&kJournalWords, JournalDamageKind::BadHeader, u"Журнал замесов повреждён. Прочитано замесов: 7.",
     u"файл не похож на журнал замесов"},
    {&kJournalWords, JournalDamageKind::NewerVersion, u"Журнал замесов повреждён. Прочитано замесов: 7.",
     u"журнал записан более новой версией программы"},
};

TEST(StoreWords, EachStoreNamesItsOwnFileWhenDamaged) {
    constexpr std::size_t kRead = 7;
    for (const DamageCase& c : kDamageCases)
        EXPECT_EQ(LogDamageMessage(*c.words, kRead, {{0, 0, c.kind}}),
                  WideString(c.head) + u" Повреждённые места пропущены, файл оставлен как есть.\r\n\r\n" +
                      u"Начало файла (байт 0): " + c.reason)
            << static_cast<int>(c.kind);
}

TEST(StoreWords, ADamagedLedgerSaysWhatWasReadAndWhere) {
    const std::vector<JournalDamage> damage = {{12, 0, JournalDamageKind::TruncatedRecord},
                                               {340, 3, JournalDamageKind::BadChecksum}};
    EXPECT_EQ(LogDamageMessage(kLedgerWords, 7, damage),
              u"Файл цен и остатков повреждён. Прочитано записей: 7. Повреждённые места пропущены, файл оставлен "
              u"как есть.\r\n\r\nНачало файла (байт 12): запись оборвана: её не успели дописать до конца\r\n"
              u"Запись 3 (байт 340): данные записи испорчены (не сходится контрольная сумма)");
    EXPECT_EQ(LogDamageMessage(kLedgerWords, 7, {}), u"");
}

}  // namespace
}  // namespace lacqueron
