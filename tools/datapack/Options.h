// "--name value" arguments of the datapack commands.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/datapack/Commands.h"

namespace datapack {

using Options = std::map<std::string, std::string>;

// Every argument must be one of the names followed by a value, each at most once, and
// every name in required must be given. False after printing what is wrong and the
// usage line to stderr.
bool ParseOptions(const Arguments& args, const std::vector<std::string>& names, const std::vector<std::string>& required,
                  const char* usage, Options& options);

// Prints "datapack: message" to stderr and returns 1.
int Fail(const std::string& message);

// Writes a command's output to stdout: 0, or Fail's 1 when it cannot be written whole.
int WriteOut(const std::string& text);

// Where the commands that read the catalogue find its sources unless told.
constexpr char kDefaultSources[] = "catalogue";

}  // namespace datapack
