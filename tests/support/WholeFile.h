// Whole files in and out for tests that run the tools on files they write.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace lacqueron::test {

// Empty when the file cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace lacqueron::test
