// The shop's ledger file: ledger.lqs in the data folder.
#pragma once

#include <memory>

#include "core/WideString.h"
#include "ledger/Ledger.h"

namespace lacqueron {

constexpr char16_t kLedgerFileName[] = u"ledger.lqs";

// Empty when there is no data folder.
WideString LedgerPath();

// Opens and reads the ledger at path (a damaged one too: see Damage()); a file not
// there yet opens empty. Null, with the Russian reason in error, when the folder
// cannot be reached or the file read.
std::unique_ptr<LedgerStore> OpenLedger(const WideString& path, WideString& error) noexcept;

}  // namespace lacqueron
