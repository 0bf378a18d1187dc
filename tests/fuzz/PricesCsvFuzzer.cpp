// Arbitrary bytes as a prices table, as the prices window's import reads it. A table it
// refuses names a row of the file and a reason; the prices of one it takes export, and
// that export reads back into the same export.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/LedgerCsv.h"
#include "tests/ledger/LedgerTestCatalogue.h"

using namespace lacqueron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const std::vector<LedgerComponent> components = LedgerComponents(test::LedgerCatalogue());
    const BatchTime now = {test::kMondayUtc, test::kMoscow};
    std::vector<PriceRecord> read;
    CsvError error;
    if (!ReadPricesCsv(bytes, components, {}, now, read, error)) {
        if (error.row == 0 || error.row > size + 1 || error.reason.empty() || !read.empty()) std::abort();
        return 0;
    }
    const std::string exported = ExportPricesCsv(components, read);
    std::vector<PriceRecord> again;
    if (!ReadPricesCsv(exported, components, {}, now, again, error) || ExportPricesCsv(components, again) != exported)
        std::abort();
    return 0;
}
