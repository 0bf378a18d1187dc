// The export, read back by Python's csv module as a spreadsheet reads it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Utf8.h"
#include "journal/JournalCsv.h"
#include "tests/support/RunCommand.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

WideString NumberedPurpose(std::uint32_t purpose) {
    return u"назначение " + WideString(1, static_cast<char16_t>(u'0' + purpose));
}

// The export read back by Python's csv module: "BOM" or "no BOM", then a line per row,
// fields joined by "|".
std::string ReadBack(const std::string& table, const char* name) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("lacqueron-export-" + std::to_string(::getpid()) + "-" + name + ".csv");
    std::ofstream(path, std::ios::binary) << table;
    const test::CommandResult read = test::RunCommand("python3 \"" + std::string(std::getenv("LACQUERON_SOURCE_DIR")) +
                                                      "/tests/journal/read-csv.py\" \"" + path.string() + "\"");
    std::filesystem::remove(path);
    EXPECT_EQ(read.status, 0) << read.out;
    return read.out;
}

TEST(JournalCsv, ASpreadsheetReaderSeesEveryValue) {
    BatchRecord abandoned;
    abandoned.time = {test::kSampleEpoch - 1, 0};
    abandoned.colourCode = u"RAL 9010";
    abandoned.colourName = u"Чистый \"белый\"";
    abandoned.weightType = 2;
    abandoned.amount = 1000;
    abandoned.resolution = 10;
    abandoned.status = BatchStatus::Abandoned;
    abandoned.corrections = {{10500, 105000, false}, {10200, 107100}};
    abandoned.note = u"+7 916 000-00-00; Иванов\nстрока 2";
    const JournalContents journal = test::JournalOf({test::SampleBatch(1), abandoned});

    EXPECT_EQ(ReadBack(ExportBatchesCsv(journal, {1, 0}, NumberedPurpose), "values"),
              "BOM\n"
              "Дата|Код|Название|Назначение|Количество|Дискретность весов, г|Статус|Итог, г|Коррекции|Примечание|"
              "Компонент|По рецепту, г|Налито, г\n"
              "06.12.2026 23:59|RAL 9010|Чистый \"белый\"|назначение 1|1000 мл|0,10|прервано|0,00|"
              "1,0500 → 1050,00 г (отклонён); 1,0200 → 1071,00 г|"
              "'+7 916 000-00-00; Иванов\nстрока 2|||\n"
              "07.12.2026 03:01|RAL 3020|Транспортный красный|назначение 2|251 г|0,01|готово|254,17|1,0167 → 254,17 г|"
              "Заказ 1, «Ока» 🚗|Основа матовая|225,00|225,12\n"
              "07.12.2026 03:01|RAL 3020|Транспортный красный|назначение 2|251 г|0,01|готово|254,17|1,0167 → 254,17 г|"
              "Заказ 1, «Ока» 🚗|Красный оксид|18,00|18,30\n"
              "07.12.2026 03:01|RAL 3020|Транспортный красный|назначение 2|251 г|0,01|готово|254,17|1,0167 → 254,17 г|"
              "Заказ 1, «Ока» 🚗|Чёрный|7,00|7,00\n");
}

// Batches with and without rounds of correction by measurement, each one component.
struct RoundsCase {
    const char* name;
    std::vector<std::vector<BatchMeasureRound>> batches;  // the rounds of each batch, in export order
    std::vector<std::string> lastFields;  // per batch; empty: the table has no column for rounds
};

constexpr char kTitleRow[] =
    "Дата|Код|Название|Назначение|Количество|Дискретность весов, г|Статус|Итог, г|Коррекции|Примечание|"
    "Компонент|По рецепту, г|Налито, г|Стоимость, ₽";

// The case's batches, numbered from 0, exported with a cost column before the rounds.
std::string ExportRounds(const RoundsCase& c) {
    std::vector<BatchRecord> batches;
    std::vector<std::size_t> order;
    for (const std::vector<BatchMeasureRound>& rounds : c.batches) {
        BatchRecord batch = test::SampleBatch(static_cast<std::uint32_t>(batches.size()));
        batch.components.resize(1);
        batch.measureRounds = rounds;
        order.push_back(batches.size());
        batches.push_back(batch);
    }
    const std::vector<BatchCsvColumn> cost = {{u"Стоимость, ₽", [](const BatchRecord&) { return WideString(u"1,50"); }}};
    return ExportBatchesCsv(test::JournalOf(batches), order, NumberedPurpose, cost);
}

// What a reader should see, as ReadBack prints it.
std::string SeenRounds(const RoundsCase& c) {
    std::string seen = std::string("BOM\n") + kTitleRow + (c.lastFields.empty() ? "" : "|Поправки по замеру") + "\n";
    for (std::size_t i = 0; i < c.batches.size(); ++i) {
        seen += "07.12.2026 03:0" + std::to_string(i) + "|RAL 3020|Транспортный красный|назначение " +
                std::to_string(1 + i % 6) + "|" + std::to_string(250 + i) + " г|0,01|готово|254,17|" +
                "1,0167 → 254,17 г|Заказ " + std::to_string(i) + ", «Ока» 🚗|Основа матовая|225,00|225,12|1,50";
        seen += (c.lastFields.empty() ? "" : "|" + c.lastFields[i]) + "\n";
    }
    return seen;
}

class JournalCsvRounds : public testing::TestWithParam<RoundsCase> {};

// Read back with the program's own reader here; Python's reads one case below.
TEST_P(JournalCsvRounds, EachRoundOnALineOfItsCellWithDecimalCommas) {
    const std::string table = ExportRounds(GetParam());
    std::vector<std::vector<WideString>> rows;
    CsvError error;
    ASSERT_TRUE(ReadCsvRows(table, rows, error)) << ToUtf8(DescribeCsvError(error));
    std::string seen = table.starts_with(kCsvByteOrderMark) ? "BOM\n" : "no BOM\n";
    for (const std::vector<WideString>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) seen += (i == 0 ? "" : "|") + ToUtf8(row[i]);
        seen += "\n";
    }
    EXPECT_EQ(seen, SeenRounds(GetParam()));
}

const BatchMeasureRound kYellower{{5241, -310, 1800}, {5012, -150, 2230}, 312, 45, {{u"YEL", 40}, {u"BLK", 5}},
                                  {{u"YEL", 35}}};
const BatchMeasureRound kNothingPoured{{5241, -310, 1800}, {5230, -305, 1790}, 12, 3, {{u"WHT", 150}}, {}};
constexpr char kYellowerText[] =
    "Поправка по замеру 1: цель 52,41 -3,10 18,00, проба 50,12 -1,50 22,30, ΔE00 3,12, ожидалось 0,45; "
    "предложено: YEL 0,40 г, BLK 0,05 г; налито: YEL 0,35 г";

const RoundsCase kRoundsCases[] = {
    {"NoneNoColumn", {{}, {}}, {}},
    {"OneRound", {{kYellower}}, {kYellowerText}},
    {"TwoRoundsTwoLines",
     {{kYellower, kNothingPoured}},
     {std::string(kYellowerText) +
      "\nПоправка по замеру 2: цель 52,41 -3,10 18,00, проба 52,30 -3,05 17,90, ΔE00 0,12, ожидалось 0,03; "
      "предложено: WHT 1,50 г; налито: ничего"}},
    {"BesideABatchWithout", {{}, {kYellower}}, {"", kYellowerText}},
};

INSTANTIATE_TEST_SUITE_P(Cases, JournalCsvRounds, testing::ValuesIn(kRoundsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JournalCsv, ASpreadsheetReaderSeesEachRoundOnALineOfItsCell) {
    const RoundsCase twoRounds{"TwoRoundsBesideABatchWithout", {{}, kRoundsCases[2].batches[0]},
                               {"", kRoundsCases[2].lastFields[0]}};
    EXPECT_EQ(ReadBack(ExportRounds(twoRounds), twoRounds.name), SeenRounds(twoRounds));
}

}  // namespace
}  // namespace lacqueron
