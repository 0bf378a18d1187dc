// The recent colours kept per user: value "Colours" (REG_MULTI_SZ) of the key Recent
// beside the profile key. The profile values themselves are never touched.
#pragma once

#include <vector>

#include "core/AppModule.h"
#include "core/WideString.h"
#include "search/RecentColours.h"

namespace lacqueron {

// The Recent key's path beside the key at profilePath (its last component replaced).
WideString RecentKeyPathBeside(const WideString& profilePath);

class RecentColourStore {
public:
    // Finds the key beside the module's profile key and reads the list. Without a
    // profile key the list lives in memory only. A damaged value is rewritten at once
    // with an empty list.
    void Load(IAppModule& module) noexcept;
    // Puts the title first and writes the list when it changed. False when the changed
    // list is not stored (no profile key, the write refused, out of memory): it still
    // serves this run from memory, and the next write that succeeds stores all of it.
    bool Note(const WideString& title) noexcept;
    const std::vector<WideString>& Titles() const noexcept { return recent_.Titles(); }

private:
    bool Write() noexcept;  // true when the registry took the whole list

    WideString keyPath_;  // empty: nothing is stored
    RecentColours recent_;
};

}  // namespace lacqueron
