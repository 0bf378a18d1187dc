#include "tools/datapack/Utf8.h"

namespace datapack {

bool Utf8ToWide(const std::string& text, lacqueron::WideString& out, std::size_t& badOffset) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else {
            badOffset = i;
            return false;
        }
        if (text.size() - i <= static_cast<std::size_t>(extra)) {
            badOffset = i;
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                badOffset = i;
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        const bool overlong = (extra == 1 && code < 0x80) || (extra == 2 && code < 0x800);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF)) {
            badOffset = i;
            return false;
        }
        out.push_back(static_cast<char16_t>(code));
        i += 1 + extra;
    }
    return true;
}

std::string WideToUtf8(const lacqueron::WideString& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace datapack
