// A file replaced whole through POSIX calls, for the native tests, tools and benchmarks.
#pragma once

#include <memory>
#include <string>

#include "journal/WholeFile.h"

namespace lacqueron {

std::unique_ptr<WholeFile> OpenPosixWholeFile(const std::string& path);
// The index beside the log at `logPath`.
std::unique_ptr<WholeFile> OpenPosixLogIndex(const std::string& logPath);

}  // namespace lacqueron
