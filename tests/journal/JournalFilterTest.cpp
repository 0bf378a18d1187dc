// What the journal window lists for a search text, and in which order.
#include <gtest/gtest.h>

#include "journal/JournalFilter.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

BatchRecord Batch(std::int64_t utcSeconds, const char16_t* code, const char16_t* name, const char16_t* note) {
    BatchRecord batch;
    batch.time.utcSeconds = utcSeconds;
    batch.colourCode = code;
    batch.colourName = name;
    batch.note = note;
    return batch;
}

// In file order; the third was written after the fourth's time (a clock set back).
const JournalContents kJournal = test::JournalOf({
    Batch(100, u"RAL 3020", u"Транспортный красный", u"Ёлкин, Нива"),
    Batch(200, u"RAL 9010", u"Чистый белый", u"заказ 17"),
    Batch(300, u"RAL 1000", u"Зелёно-бежевый", u""),
    Batch(300, u"RAL 5010", u"Горечавково-синий", u"ЕЛКИН"),
    Batch(250, u"ral 6018", u"Жёлто-зелёный", u"Ateliér"),
});

struct FilterCase {
    const char16_t* query;
    std::vector<std::size_t> expected;
};

class JournalFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(JournalFilterTest, ListsMatchesNewestFirst) {
    EXPECT_EQ(SelectBatches(kJournal, GetParam().query), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, JournalFilterTest,
                         testing::Values(FilterCase{u"", {3, 2, 4, 1, 0}},  // equal times: the later written first
                                         FilterCase{u"RaL 30", {0}},        // Latin either case
                                         FilterCase{u"ЗЕЛЕН", {2, 4}},      // Cyrillic either case, ё as е
                                         FilterCase{u"ёлкин", {3, 0}},      // note; Ё and Е alike
                                         FilterCase{u"17", {1}},            // note digits
                                         FilterCase{u"ATELIÉR", {}},        // only Latin and Cyrillic fold
                                         FilterCase{u"Ateliér", {4}},       // other letters as they are
                                         FilterCase{u"синий белый", {}}));  // one text, not words

// A batch written again (a paste added after its end) is listed once, as last written.
TEST(JournalFilter, ListsABatchWrittenAgainOnce) {
    BatchRecord first = Batch(100, u"RAL 3020", u"Транспортный красный", u"до добавки");
    first.batchId = 5;
    BatchRecord again = first;
    again.time.utcSeconds = 400;
    again.note = u"после добавки";
    const JournalContents journal = test::JournalOf({first, Batch(200, u"RAL 9010", u"Чистый белый", u""), again});
    EXPECT_EQ(SelectBatches(journal, u""), (std::vector<std::size_t>{2, 1}));
    EXPECT_EQ(SelectBatches(journal, u"до добавки"), std::vector<std::size_t>{});
}

}  // namespace
}  // namespace lacqueron
