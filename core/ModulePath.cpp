#include "core/AppModule.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <vector>
#endif

namespace lacqueron {

WideString DirectoryOfPath(const WideString& programPath) {
    const std::size_t cut = programPath.find_last_of(u"/\\:");
    WideString directory;
    if (cut != WideString::npos)
        directory = programPath.substr(0, programPath[cut] == u':' ? cut + 1 : cut);
    if (!directory.empty() && directory.back() != u'\\' && directory.back() != u'/') directory += u'\\';
    return directory;
}

#ifdef _WIN32

WideString ProgramFilePath() {
    wchar_t path[520];
    const DWORD length = GetModuleFileNameW(nullptr, path, 520);
    return FromWinText(path, length < 520 ? length : 519);
}

#else

namespace {

// Malformed sequences become U+FFFD.
WideString Utf8ToUtf16(const std::string& text) {
    WideString out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = 0xFFFD;
        std::size_t extra = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) { code = lead; }
        else if ((lead & 0xE0) == 0xC0) { code = lead & 0x1F; extra = 1; minimum = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { code = lead & 0x0F; extra = 2; minimum = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { code = lead & 0x07; extra = 3; minimum = 0x10000; }
        else { code = 0xFFFD; }
        ++i;
        std::size_t taken = 0;
        while (taken < extra && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
            ++i;
            ++taken;
        }
        if (taken < extra || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 | (code >> 10));
            out += static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

}  // namespace

WideString ProgramFilePath() {
    std::vector<char> path(512);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return WideString();
        if (static_cast<std::size_t>(length) < path.size())
            return Utf8ToUtf16(std::string(path.data(), static_cast<std::size_t>(length)));
        path.resize(path.size() * 2);
    }
}

#endif

}  // namespace lacqueron
