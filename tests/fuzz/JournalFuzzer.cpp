// Arbitrary bytes as a journal file. Every batch the reader recovers must write and read
// back unchanged, and the window's search and the export must take it. The same for
// every own recipe's version among the records of other kinds. The same bytes as the own
// recipes' index, and with their checksum after them so that its fields are reached: an
// index that reads writes back as the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "journal/JournalCsv.h"
#include "journal/JournalFilter.h"
#include "journal/JournalFormat.h"
#include "journal/JournalText.h"
#include "ownrecipes/OwnRecipeIndex.h"
#include "ownrecipes/OwnRecipeStore.h"

using namespace lacqueron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const JournalContents journal = JournalContents::Parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const JournalDamage& damage : journal.Damage()) {
        if (damage.offset > size) std::abort();
        DescribeJournalDamage(damage);
    }
    for (std::size_t i = 0; i < journal.BatchCount(); ++i) {
        const BatchRecord batch = journal.Batch(i);
        const JournalContents again = JournalContents::Parse(EncodeJournalHeader() + EncodeBatchFrame(batch));
        if (again.BatchCount() != 1 || !(again.Batch(0) == batch) || !again.Damage().empty()) std::abort();
    }
    OwnRecipeVersion version;
    OwnRecipeVersion again;
    for (const JournalFrame& frame : journal.Frames()) {
        if (frame.kind != kOwnRecipeKind || !DecodeOwnRecipeVersion(journal.Payload(frame), version)) continue;
        if (!DecodeOwnRecipeVersion(EncodeOwnRecipeVersion(version), again) || !(again == version)) std::abort();
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string checked = bytes;
    const std::uint32_t crc = Crc32(bytes.data(), bytes.size());
    for (int shift = 0; shift < 32; shift += 8) checked.push_back(static_cast<char>(crc >> shift));
    for (const std::string& index : {bytes, checked}) {
        RecordLogMark mark;
        std::vector<OwnRecipeVersions> recipes;
        if (DecodeOwnRecipeIndex(index, mark, recipes) && EncodeOwnRecipeIndex(mark, recipes) != index) std::abort();
    }
    const std::vector<std::size_t> order = SelectBatches(journal, u"ral ё");
    ExportBatchesCsv(journal, order, [](std::uint32_t) { return WideString(u"назначение"); });
    return 0;
}
