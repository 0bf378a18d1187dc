#include "data/text/TextTools.h"

namespace lacqueron {
namespace {

// Bytes 0x80-0xBF of Windows-1251; 0xC0-0xFF are U+0410-U+044F in order.
// 0x98 has no character in 1251. It decodes to U+0098, as Windows' own
// MultiByteToWideChar does, so a package decodes the same here and there; ToCp1251
// still refuses U+0098, so it never gets into a package written by the tools.
constexpr char16_t kUpperHalf[64] = {
    u'\u0402', u'\u0403', u'\u201A', u'\u0453', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u20AC', u'\u2030', u'\u0409', u'\u2039', u'\u040A', u'\u040C', u'\u040B', u'\u040F',
    u'\u0452', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u0098', u'\u2122', u'\u0459', u'\u203A', u'\u045A', u'\u045C', u'\u045B', u'\u045F',
    u'\u00A0', u'\u040E', u'\u045E', u'\u0408', u'\u00A4', u'\u0490', u'\u00A6', u'\u00A7',
    u'\u0401', u'\u00A9', u'\u0404', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u0407',
    u'\u00B0', u'\u00B1', u'\u0406', u'\u0456', u'\u0491', u'\u00B5', u'\u00B6', u'\u00B7',
    u'\u0451', u'\u2116', u'\u0454', u'\u00BB', u'\u0458', u'\u0405', u'\u0455', u'\u0457',
};
constexpr unsigned char kUndefinedByte = 0x98;

char16_t DecodeByte(unsigned char byte) noexcept {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kUpperHalf[byte - 0x80];
}

bool EncodeChar(char16_t c, unsigned char& byte) noexcept {
    if (c < 0x80) {
        byte = static_cast<unsigned char>(c);
        return true;
    }
    if (c >= 0x0410 && c <= 0x044F) {
        byte = static_cast<unsigned char>(0xC0 + (c - 0x0410));
        return true;
    }
    for (int i = 0; i < 64; ++i) {
        if (kUpperHalf[i] == c && 0x80 + i != kUndefinedByte) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

}  // namespace

WideString ToWide(const char* text) { return text == nullptr ? WideString() : Cp1251ToWide(text); }

WideString Cp1251ToWide(std::string_view bytes) {
    WideString result;
    result.reserve(bytes.size());
    for (const char byte : bytes) result.push_back(DecodeByte(static_cast<unsigned char>(byte)));
    return result;
}

bool ToCp1251(const WideString& text, NarrowString& out) {
    out.clear();
    out.reserve(text.size());
    for (char16_t c : text) {
        unsigned char byte = 0;
        if (!EncodeChar(c, byte)) return false;
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

}  // namespace lacqueron
