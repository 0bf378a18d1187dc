// The journal file through Win32, and where it lives: %LOCALAPPDATA%\Lacqueron\.
#pragma once

#include <memory>

#include "core/WideString.h"
#include "journal/JournalFile.h"

namespace lacqueron {

constexpr char16_t kJournalFileName[] = u"journal.lqj";

// Opens or creates the file for reading and appending only; null when that fails.
std::unique_ptr<JournalFile> OpenWin32JournalFile(const WideString& path);

// The program's folder in the user's local application data, ending in a backslash,
// created when missing; empty when there is none.
WideString LocalDataFolder();

}  // namespace lacqueron
