// Writing a whole file so that it is never seen half-written, and reading one whole.
#pragma once

#include <memory>
#include <string>

#include "core/WideString.h"
#include "journal/WholeFile.h"

namespace lacqueron {

// Writes bytes to a temporary file beside path, flushes it and moves it over path, so
// path holds either its old contents or all of the new ones. False when any step fails;
// the temporary file is then removed.
bool ReplaceFileContents(const WideString& path, const std::string& bytes) noexcept;

// The whole file's bytes; false when it cannot be opened or read.
bool ReadFileContents(const WideString& path, std::string& bytes) noexcept;

// The index beside the log at `logPath`, read and replaced through the two above.
std::unique_ptr<WholeFile> OpenWin32LogIndex(const WideString& logPath);

}  // namespace lacqueron
