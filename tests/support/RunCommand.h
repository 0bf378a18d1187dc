// Runs a shell command natively and collects its standard output and exit status;
// finds out whether a reference tool is there.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

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

// A file name for a test's scratch data, its own to this process so that two test runs
// on one machine do not meet.
inline std::string ScratchPath(const std::string& directory, const std::string& name) {
    return directory + name + "-" + std::to_string(::getpid());
}

inline bool HaveTool(const std::string& name) {
    return RunCommand("command -v " + name + " >/dev/null 2>&1").status == 0;
}

inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string(ci) == "true";
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

// A cross-check against a reference tool: a developer machine without the tool skips
// it, CI (CI=true) counts it as failed. For use in a test body or SetUp.
#define LACQUERON_REQUIRE_TOOL(name)                                                         \
    do {                                                                                     \
        if (!::lacqueron::test::HaveTool(name)) {                                            \
            if (::lacqueron::test::UnderCi()) FAIL() << (name) << " is not installed (CI)"; \
            GTEST_SKIP() << (name) << " is not installed";                                   \
        }                                                                                    \
    } while (0)
