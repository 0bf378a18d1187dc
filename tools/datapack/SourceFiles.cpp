#include "tools/datapack/SourceFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/AppModule.h"
#include "core/Utf8.h"
#include "data/cipher/Cipher.h"
#include "data/text/TextTools.h"

namespace datapack {

using lacqueron::NarrowString;
using lacqueron::SectionKey;
using lacqueron::WideString;

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "cannot read " + path + ": it is a directory";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    bytes = std::move(content).str();
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

namespace {

std::size_t LineOf(const std::string& text, std::size_t offset) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

std::string CodePointName(char16_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

std::string Trim(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

bool Utf8ToCp1251(const std::string& utf8, const std::string& fileName, NarrowString& out, std::string& error) {
    WideString wide;
    std::size_t badOffset = 0;
    if (!lacqueron::FromUtf8(utf8, wide, &badOffset, lacqueron::kLargestBasicCodePoint)) {
        error = fileName + ":" + std::to_string(LineOf(utf8, badOffset)) + ": not valid UTF-8 (or a character beyond U+FFFF)";
        return false;
    }
    if (lacqueron::ToCp1251(wide, out)) return true;
    std::size_t line = 1;
    for (char16_t c : wide) {
        NarrowString single;
        if (!lacqueron::ToCp1251(WideString(1, c), single)) {
            error = fileName + ":" + std::to_string(line) + ": character " + CodePointName(c) + " \"" +
                    lacqueron::ToUtf8(WideString(1, c)) + "\" has no Windows-1251 byte";
            return false;
        }
        if (c == u'\n') ++line;
    }
    error = fileName + ": cannot convert to Windows-1251";
    return false;
}

std::string Cp1251ToUtf8(const NarrowString& text) {
    // ToWide stops at a zero byte, so convert the pieces between zeros.
    WideString wide;
    std::size_t start = 0;
    for (;;) {
        const std::size_t zero = text.find('\0', start);
        wide += lacqueron::ToWide(text.substr(start, zero - start).c_str());
        if (zero == NarrowString::npos) break;
        wide.push_back(u'\0');
        start = zero + 1;
    }
    return lacqueron::ToUtf8(wide);
}

bool ParseKeyFile(const std::string& text, SectionKey& key, std::string& error) {
    std::uint8_t* targets[2] = {key.key, key.vector};
    int found = 0;
    std::istringstream lines(text);
    std::string raw;
    for (std::size_t number = 1; std::getline(lines, raw); ++number) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        const std::string where = std::string(kKeyFileName) + ":" + std::to_string(number) + ": ";
        if (found == 2) {
            error = where + "only two lines (key, then vector) may follow the comments";
            return false;
        }
        if (line.size() != 32 || !std::all_of(line.begin(), line.end(), IsHexDigit)) {
            error = where + "expected 32 hex digits";
            return false;
        }
        for (int i = 0; i < 16; ++i)
            targets[found][i] = static_cast<std::uint8_t>(HexDigitValue(line[2 * i]) << 4 | HexDigitValue(line[2 * i + 1]));
        ++found;
    }
    if (found < 2) {
        error = std::string(kKeyFileName) + ": needs the key and the vector, 32 hex digits each on a line of its own";
        return false;
    }
    return true;
}

std::string FormatKeyFile(const SectionKey& key) {
    auto hex = [](const std::uint8_t* bytes) {
        std::string line;
        char digits[3];
        for (int i = 0; i < 16; ++i) {
            std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
            line += digits;
        }
        return line + "\n";
    };
    return "# The data package's key pair for AES-128 in CFB mode: the key, then the\n"
           "# initialisation vector, 32 hex digits each. Lines starting with \"#\" and\n"
           "# blank lines are ignored. The program carries the pair the package was made with.\n" +
           hex(key.key) + hex(key.vector);
}

bool ReadSources(const std::string& directory, Sources& sources, std::string& error) {
    for (int index = 0; index < lacqueron::kSectionCount; ++index) {
        std::string bytes;
        if (!ReadWholeFile(JoinPath(directory, kSourceFileNames[index]), bytes, error)) return false;
        if (index == lacqueron::kSectionPicture)
            sources.contents[index] = std::move(bytes);
        else if (!Utf8ToCp1251(bytes, kSourceFileNames[index], sources.contents[index], error))
            return false;
    }
    std::string keyText;
    return ReadWholeFile(JoinPath(directory, kKeyFileName), keyText, error) && ParseKeyFile(keyText, sources.key, error);
}

bool LoadSources(const Sources& sources, lacqueron::Catalogue& catalogue, lacqueron::LoadObserver* observer,
                 std::string& error) {
    const std::unique_ptr<lacqueron::OwnedPackage> package = lacqueron::EncryptPackage(sources.contents, sources.key);
    lacqueron::RefPtr<lacqueron::ICipherFactory> factory = lacqueron::CreateCipherFactory();
    if (!package || !factory) {
        error = "cannot make the package in memory";
        return false;
    }
    lacqueron::AppModule module;
    module.RegisterService(factory.get(), lacqueron::iid::CipherFactory, lacqueron::kOwnsReference);
    lacqueron::ProfileValues values;
    lacqueron::LoadCatalogue(module, package->package, catalogue, values, observer);
    module.ClearServices();
    return true;
}

}  // namespace datapack
