// Runs a shell command natively and collects its standard output and exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lacqueron::test {

struct CommandResult {
    int status = -1;  // the exit code; -1 when the command could not run or was killed
    std::string out;
};

inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) result.out.append(chunk, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The start of a command line running the built datapack tool's subcommand on the
// shipped sources in catalogue/.
inline std::string DatapackOnShippedSources(const std::string& subcommand) {
    const char* binary = std::getenv("LACQUERON_BINARY_DIR");
    const char* source = std::getenv("LACQUERON_SOURCE_DIR");
    return std::string(binary ? binary : ".") + "/tools/datapack/datapack " + subcommand + " --sources '" +
           (source ? source : ".") + "/catalogue' ";
}

}  // namespace lacqueron::test
