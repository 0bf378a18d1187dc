#include "core/AppModule.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <string_view>
#include <vector>

#include "core/Utf8.h"
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

WideString ProgramFilePath() {
    std::vector<char> path(512);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return WideString();
        if (static_cast<std::size_t>(length) < path.size())
            return FromUtf8Lenient(std::string_view(path.data(), static_cast<std::size_t>(length)));
        path.resize(path.size() * 2);
    }
}

#endif

}  // namespace lacqueron
