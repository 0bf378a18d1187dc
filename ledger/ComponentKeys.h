// Which ledger component a batch's component is: by its package code, or, in records
// written before codes were kept, by the name the recipe showed for it.
#pragma once

#include <unordered_map>

#include "data/catalogue/Catalogue.h"
#include "journal/BatchRecord.h"
#include "ledger/Costing.h"

namespace lacqueron {

class BatchComponentKeys {
public:
    // Borrows the catalogue for its life.
    explicit BatchComponentKeys(const Catalogue& catalogue);
    // The key of a component poured for `purpose`; its name when the package has no such
    // component, so that it still has an account of its own.
    ComponentKey KeyOf(const BatchComponent& component, std::uint32_t purpose) const;

private:
    const Catalogue& catalogue_;
    SharedKeys shared_;
    // A name per purpose (0 for pastes and others, which every purpose shares).
    std::unordered_map<WideString, ComponentKey> byName_[kLastPurpose + 1];
};

}  // namespace lacqueron

namespace lacqueron {

// CostOfBatch with the keys made once, for costing many batches.
BatchCosting CostOfBatch(const BatchComponentKeys& keys, const BatchRecord& batch, const PriceBook& prices);

}  // namespace lacqueron
