// Prints the Windows version a program with Lacqueron's manifest is told, as
// "major.minor.build". Windows reports 6.2 to programs whose manifest does not name
// the running version, so this also shows the manifest's supported-OS list at work.
#include <windows.h>

#include <cstdio>

int main() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return 1;
#pragma GCC diagnostic pop
    std::printf("%lu.%lu.%lu\n", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
    return 0;
}
