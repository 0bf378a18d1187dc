// The journal file through POSIX calls, for the native tests, tools and benchmarks.
#pragma once

#include <memory>
#include <string>

#include "journal/JournalFile.h"

namespace lacqueron {

// Opens or creates the file for reading and appending; null when that fails.
std::unique_ptr<JournalFile> OpenPosixJournalFile(const std::string& path);

}  // namespace lacqueron
