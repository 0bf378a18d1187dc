// What the fuzz targets of the text readers share about the bytes they are given.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace lacqueron::fuzz {

// The lines a reader may name: LF, CR LF and a bare CR each end one, and an unended last
// line counts; an empty text has line 1.
inline int LineCount(std::string_view text) {
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
    }
    const bool openLast = !text.empty() && text.back() != '\n' && text.back() != '\r';
    return std::max(lines + (openLast ? 1 : 0), 1);
}

}  // namespace lacqueron::fuzz
