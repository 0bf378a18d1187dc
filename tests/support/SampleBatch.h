// A batch like the ones the weighing dialog records, numbered so that copies differ.
#pragma once

#include <cstdint>
#include <vector>

#include "journal/JournalFormat.h"

namespace lacqueron::test {

constexpr std::int64_t kSampleEpoch = 1796601600;  // 2026-12-07 00:00 UTC
constexpr std::int32_t kMoscowOffsetMinutes = 180;
constexpr std::int32_t kSampleAmount = 250;  // grams, plus the batch's number
constexpr std::uint64_t kSampleIdBase = 0x5A3B00000000ull;  // high bytes set, so an id cut short shows

inline BatchRecord SampleBatch(std::uint32_t number) {
    BatchRecord batch;
    batch.time = {kSampleEpoch + number * std::int64_t{60}, kMoscowOffsetMinutes};
    batch.colourCode = u"RAL 3020";
    batch.colourName = u"Транспортный красный";
    batch.purpose = 1 + number % 6;
    batch.amount = kSampleAmount + static_cast<std::int32_t>(number);
    batch.components = {{u"Основа матовая", 22500, 22512, u"OSN", false},
                        {u"Красный оксид", 1800, 1830, u"ROX", false},
                        {u"Чёрный", 700, 700, u"BLK", false}};
    batch.corrections = {{10167, 25417}};
    batch.finalTotal = 25417;
    batch.note = u"Заказ " + WideString(1, static_cast<char16_t>(u'0' + number % 10)) + u", «Ока» 🚗";
    batch.batchId = kSampleIdBase + number;  // each sample a batch of its own
    return batch;
}

// A journal file holding `batches`, read back.
inline JournalContents JournalOf(const std::vector<BatchRecord>& batches) {
    std::string bytes = EncodeJournalHeader();
    for (const BatchRecord& batch : batches) bytes += EncodeBatchFrame(batch);
    return JournalContents::Parse(std::move(bytes));
}

inline std::vector<BatchRecord> AllBatches(const JournalContents& journal) {
    std::vector<BatchRecord> batches;
    for (std::size_t i = 0; i < journal.BatchCount(); ++i) batches.push_back(journal.Batch(i));
    return batches;
}

}  // namespace lacqueron::test
