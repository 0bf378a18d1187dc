// The export, read back by Python's csv module as a spreadsheet reads it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "journal/JournalCsv.h"
#include "tests/support/RunCommand.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

WideString NumberedPurpose(std::uint32_t purpose) {
    return u"назначение " + WideString(1, static_cast<char16_t>(u'0' + purpose));
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

    const auto path =
        std::filesystem::temp_directory_path() / ("lacqueron-export-" + std::to_string(::getpid()) + ".csv");
    std::ofstream(path, std::ios::binary) << ExportBatchesCsv(journal, {1, 0}, NumberedPurpose);
    const test::CommandResult read = test::RunCommand("python3 \"" + std::string(std::getenv("LACQUERON_SOURCE_DIR")) +
                                                      "/tests/journal/read-csv.py\" \"" + path.string() + "\"");
    std::filesystem::remove(path);

    ASSERT_EQ(read.status, 0) << read.out;
    EXPECT_EQ(read.out,
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

}  // namespace
}  // namespace lacqueron
