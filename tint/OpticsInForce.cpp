#include "tint/OpticsInForce.h"

#include "ledger/LedgerDay.h"

namespace lacqueron {

namespace {

std::optional<colour::OpticsTable> Read(std::string_view text) {
    colour::OpticsTable table;
    colour::OpticsError error;
    if (!colour::ReadOptics(text, table, error)) return std::nullopt;
    return table;
}

}  // namespace

WideString ShopOpticsName(const BatchTime& time) { return kShopOpticsName + FormatDay(LocalDay(time)); }

OpticsInForce ChooseOptics(const OpticsEntry* latest, std::string_view vendorText) {
    OpticsInForce chosen;
    if (latest != nullptr && !latest->vendor) {
        chosen.table = Read(latest->optics);
        if (chosen.table) {
            chosen.source = ShopOpticsName(latest->time);
            chosen.shop = true;
            return chosen;
        }
    }
    chosen.table = Read(vendorText);
    chosen.source = kVendorOpticsName;
    return chosen;
}

}  // namespace lacqueron
