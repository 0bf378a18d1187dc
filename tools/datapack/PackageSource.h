// The generated C++ source that carries the shipped package: five byte arrays and the
// key pair, defining lacqueron::ShippedPackage(). Written by `datapack build`, read
// back by `datapack decode`.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/catalogue/DataPackage.h"
#include "data/catalogue/PackageBuilder.h"

namespace datapack {

std::string WritePackageSource(const lacqueron::OwnedPackage& package);

struct ParsedPackage {
    std::array<std::vector<std::uint8_t>, lacqueron::kSectionCount> sections;
    lacqueron::SectionKey key{};
};

// False with a message when the text is not a package source this tool wrote.
bool ParsePackageSource(const std::string& text, ParsedPackage& package, std::string& error);

}  // namespace datapack
