// Arbitrary bytes as a journal file. Every batch the reader recovers must write and read
// back unchanged, and the window's search and the export must take it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "journal/JournalCsv.h"
#include "journal/JournalFilter.h"
#include "journal/JournalFormat.h"
#include "journal/JournalText.h"

using namespace lacqueron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedJournal parsed = ParseJournal(bytes);
    for (const JournalDamage& damage : parsed.damage) {
        if (damage.offset > size) std::abort();
        DescribeJournalDamage(damage);
    }
    for (const BatchRecord& batch : parsed.batches) {
        const ParsedJournal again = ParseJournal(EncodeJournalHeader() + EncodeBatchFrame(batch));
        if (again.batches.size() != 1 || !(again.batches[0] == batch) || !again.damage.empty()) std::abort();
    }
    const std::vector<std::size_t> order = SelectBatches(parsed.batches, u"ral ё");
    ExportBatchesCsv(parsed.batches, order, [](std::uint32_t) { return WideString(u"назначение"); });
    return 0;
}
