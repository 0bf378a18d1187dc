#include "data/text/TextTools.h"

#include <string>

namespace lacqueron {

RefPtr<INarrowStringList> SplitLines(IByteBuffer* buffer, EmptyLines emptyLines) noexcept {
    if (buffer == nullptr) return nullptr;
    auto lines = CreateNarrowStringList();
    if (!lines) return nullptr;
    try {
        buffer->Seek(0, kSeekFromStart);
        std::string line;
        // Set after a CR, so that CR LF ends one line and CR CR makes no empty one.
        bool afterCr = false;
        while (buffer->Tell() < buffer->GetLength()) {
            const std::uint8_t byte = buffer->ReadU8(nullptr);
            if (byte == '\r' || byte == '\n') {
                if (!line.empty()) {
                    // Insert copies up to the first zero, which cuts a line holding one.
                    lines->Insert(line.c_str(), -1);
                    line.clear();
                } else if (emptyLines == kKeepEmptyLines && !afterCr) {
                    lines->Insert("", -1);
                }
                afterCr = byte == '\r';
            } else {
                line.push_back(static_cast<char>(byte));
                afterCr = false;
            }
        }
        if (!line.empty()) lines->Insert(line.c_str(), -1);
    } catch (...) {
        return nullptr;
    }
    return lines;
}

}  // namespace lacqueron
