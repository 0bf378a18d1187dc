// Making a data package from plain section contents: each section is the CFB
// encryption of a 16-byte prefix block followed by the content. Used by the datapack
// tool and by tests that need a package of their own.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/DataPackage.h"

namespace lacqueron {

// The section contents as the program reads them (text in Windows-1251, the picture
// as a bitmap file image), in section order.
using SectionContents = std::array<NarrowString, kSectionCount>;

// A package that owns its encrypted bytes; `package` points into them.
struct OwnedPackage {
    std::array<std::vector<std::uint8_t>, kSectionCount> encrypted;
    DataPackage package{};
};

// Encrypts every section under key. The prefix blocks are derived from the key and
// the section index, so the same contents always give the same package.
// Null when the cipher cannot be made.
std::unique_ptr<OwnedPackage> EncryptPackage(const SectionContents& contents, const SectionKey& key);

}  // namespace lacqueron
