// Arbitrary bytes as a prices table, as the prices window's import reads it. A table it
// refuses names a row of the file and a reason; the prices of one it takes export, and
// that export reads back into the same price in force for every component on every day
// where one starts (a row that repeats the price already in force is not read again).
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
    static const Catalogue& catalogue = test::LedgerCatalogue();
    static const std::vector<LedgerComponent> components = LedgerComponents(catalogue);
    static const SharedKeys keys(catalogue);
    static const PriceBook none({}, catalogue);
    const BatchTime now = {test::kMondayUtc, test::kMoscow};
    std::vector<PriceRecord> read;
    CsvError error;
    if (!ReadPricesCsv(bytes, components, none, now, read, error)) {
        if (error.row == 0 || error.row > size + 1 || error.reason.empty() || !read.empty()) std::abort();
        return 0;
    }
    const std::string exported = ExportPricesCsv(components, read, keys);
    std::vector<PriceRecord> again;
    if (!ReadPricesCsv(exported, components, none, now, again, error)) std::abort();
    const PriceBook before(read, catalogue);
    const PriceBook after(again, catalogue);
    std::vector<DayNumber> days = {kFromAlways};
    for (const PriceRecord& price : read)
        if (price.from) days.insert(days.end(), {*price.from - 1, *price.from});
    for (const LedgerComponent& component : components)
        for (const DayNumber day : days)
            if (before.PriceOn(component.key, day) != after.PriceOn(component.key, day)) std::abort();
    return 0;
}
