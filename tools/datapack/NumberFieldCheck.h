// Invisible characters in the number fields of the package sources. Spreadsheets put
// no-break and thin spaces in as thousands separators; the program's number reading
// stops at them, so "1 000" silently becomes 1. Only lint reports them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/catalogue/DataPackage.h"

namespace datapack {

struct LineWarning {
    std::size_t line;  // 1-based, as editors count
    std::string reason;
};

// Checks one source file in its UTF-8 form: most of these characters have no
// Windows-1251 byte, so the converted text could not show them.
std::vector<LineWarning> FindInvisibleCharactersInNumbers(lacqueron::SectionIndex section, const std::string& utf8);

}  // namespace datapack
