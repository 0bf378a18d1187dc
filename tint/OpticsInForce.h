// Which pastes' optics a draft or a correction works with, and how it names them: the
// shop's latest calibration when there is one that reads, else the vendor's table.
#pragma once

#include <optional>
#include <string_view>

#include "colour/Optics.h"
#include "core/WideString.h"
#include "tint/OpticsStore.h"

namespace lacqueron {

inline constexpr char16_t kVendorOpticsName[] = u"данные поставщика";
inline constexpr char16_t kShopOpticsName[] = u"калибровка мастерской от ";

struct OpticsInForce {
    std::optional<colour::OpticsTable> table;  // none when neither reads
    WideString source;  // "данные поставщика", or "калибровка мастерской от ДД.ММ.ГГГГ"
    bool shop = false;
};

// "калибровка мастерской от 07.12.2026", by the local day the calibration was kept.
WideString ShopOpticsName(const BatchTime& time);

// latest is OpticsStore::InForce() (null: the vendor's); vendorText the package's table.
// A calibration that no longer reads gives way to the vendor's table rather than to none.
OpticsInForce ChooseOptics(const OpticsEntry* latest, std::string_view vendorText);

}  // namespace lacqueron
