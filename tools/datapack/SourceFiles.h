// The data package's sources as people keep them in a directory: four UTF-8 text files,
// the picture and the key file. Shared by the datapack commands.
#pragma once

#include <string>

#include "data/catalogue/Catalogue.h"
#include "data/catalogue/CatalogueLoader.h"
#include "data/catalogue/PackageBuilder.h"

namespace datapack {

// File names in section order.
inline constexpr const char* kSourceFileNames[lacqueron::kSectionCount] = {
    "settings.txt", "colours.txt", "recipes.txt", "components.txt", "picture.bmp"};
inline constexpr const char* kKeyFileName = "key.txt";

struct Sources {
    lacqueron::SectionContents contents;  // text in Windows-1251, the picture as its file image
    lacqueron::SectionKey key{};
};

std::string JoinPath(const std::string& directory, const std::string& name);
// Whole files; false with a message naming the file when it cannot be read or written.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error);

// UTF-8 to Windows-1251; the error names file and line of the first character that
// is not valid UTF-8 or that 1251 cannot hold.
bool Utf8ToCp1251(const std::string& utf8, const std::string& fileName, lacqueron::NarrowString& out, std::string& error);
std::string Cp1251ToUtf8(const lacqueron::NarrowString& text);

// The key file: comment lines starting with "#" and blank lines, then the AES-128 key
// and the CFB initialisation vector, 32 hex digits each, one per line.
bool ParseKeyFile(const std::string& text, lacqueron::SectionKey& key, std::string& error);
// The canonical form that `datapack decode` writes and catalogue/key.txt keeps.
std::string FormatKeyFile(const lacqueron::SectionKey& key);

// Reads every source of directory; false with a message for the first problem.
bool ReadSources(const std::string& directory, Sources& sources, std::string& error);

// Loads the sources exactly as the program loads its package: encrypted in memory, then
// decoded by LoadCatalogue through a module with a cipher factory. False when the
// package cannot be made.
bool LoadSources(const Sources& sources, lacqueron::Catalogue& catalogue, lacqueron::LoadObserver* observer,
                 std::string& error);

}  // namespace datapack
