// The data package: five encrypted sections and the key pair they were made with.
// `datapack build` writes the shipped package as a C++ source defining ShippedPackage().
#pragma once

#include "data/cipher/Cipher.h"

namespace lacqueron {

enum SectionIndex : int {
    kSectionSettings = 0,
    kSectionColours = 1,
    kSectionRecipes = 2,
    kSectionComponents = 3,
    kSectionPicture = 4,
    kSectionCount = 5,
};

struct DataPackage {
    DataSection sections[kSectionCount];
    SectionKey key;
};

// Defined by the generated package source that the program links.
const DataPackage& ShippedPackage() noexcept;

}  // namespace lacqueron
