// Starts programs in turn and times each from process creation to the first visible
// top-level window of that process, polling the window list with the performance
// counter. Every program is measured the same way; the window found is then closed.
//
// Usage: startup_watch RUNS NAME=PATH [NAME=PATH ...]
// Prints one line per start: "NAME MILLISECONDS", or "NAME failed" and exit code 1.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Longest wait for a window, and for a closed program to end.
constexpr DWORD kShowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;
// Pause between two looks at the window list; short against the figures measured.
constexpr DWORD kPollIntervalMs = 1;

struct Program {
    std::wstring name;
    std::wstring path;
};

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program and returns the time to its first visible window, or a negative value.
double TimeToFirstWindow(const Program& program) {
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    Search search{process.dwProcessId, nullptr};
    double elapsed = -1;
    for (;;) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        if (search.found != nullptr) {
            elapsed = Milliseconds(start, now, frequency);
            break;
        }
        if (Milliseconds(start, now, frequency) > kShowTimeoutMs ||
            WaitForSingleObject(process.hProcess, kPollIntervalMs) == WAIT_OBJECT_0)
            break;
    }
    // The orderly close, so that a program saves what it saves at exit; forced when it hangs.
    if (search.found != nullptr) PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, search.found ? kExitTimeoutMs : 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 2 ? _wtoi(argv[1]) : 0;
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const wchar_t* equals = std::wcschr(argv[i], L'=');
        if (equals == nullptr) break;
        programs.push_back({std::wstring(argv[i], static_cast<std::size_t>(equals - argv[i])), std::wstring(equals + 1)});
    }
    if (runs <= 0 || programs.empty() || static_cast<int>(programs.size()) != argc - 2) {
        std::fputs("usage: startup_watch RUNS NAME=PATH [NAME=PATH ...]\n", stderr);
        return 2;
    }
    // In turn, so that whatever else the machine does weighs on every program alike.
    for (int run = 0; run < runs; ++run) {
        for (const Program& program : programs) {
            const double elapsed = TimeToFirstWindow(program);
            if (elapsed < 0) {
                std::printf("%ls failed\n", program.name.c_str());
                return 1;
            }
            std::printf("%ls %.1f\n", program.name.c_str(), elapsed);
            std::fflush(stdout);
        }
    }
    return 0;
}
