// The scale's latency, Windows half: reads the simulated scale's pouring stream through
// the port reader and prints "<hundredths> <CLOCK_REALTIME ns>" for each new reading as
// its message reaches the window. run-scale-latency pairs these with the simulator's
// send times. Usage: scale_latency [READINGS], port in LACQUERON_SCALE_PORT.
// With "search" instead, the reader starts on the automatic choice at 9600 baud, as a
// dialog opened for the first time does, and it prints "<protocol> <baud> <ms to found>
// <ms to the first reading>" (run-scale-search).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "port/ScaleReader.h"

namespace {

using namespace lacqueron;

constexpr int kDefaultReadings = 200;
constexpr UINT kGiveUpMs = 120000;
// FILETIME counts 100 ns from 1601; the Unix epoch is this many of them later.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000;
constexpr std::int64_t kNanosecondsPerTick = 100;

struct Arrival {
    std::int32_t hundredths;
    std::int64_t unixNs;
};

std::vector<Arrival> arrivals;
std::size_t wanted = kDefaultReadings;

// The search: when the reader started, and what it found when.
bool searching = false;
ULONGLONG startedMs = 0;
ScaleEvent found;
ULONGLONG foundMs = 0;

std::int64_t UnixNanoseconds() noexcept {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const std::int64_t ticks = static_cast<std::int64_t>(ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart);
    return (ticks - kUnixEpochTicks) * kNanosecondsPerTick;
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == ScaleEventMessage()) {
        const std::int64_t now = UnixNanoseconds();
        const ScaleEvent event = ScaleEventFromMessage(wParam, lParam);
        if (searching) {
            if (event.kind == ScaleEventKind::Found) {
                found = event;
                foundMs = GetTickCount64() - startedMs;
            }
            if (event.kind == ScaleEventKind::Reading && foundMs != 0) {
                std::printf("%u %u %llu %llu\n", static_cast<unsigned>(ScaleEventProtocol(found)), ScaleEventBaud(found),
                            foundMs, GetTickCount64() - startedMs);
                PostQuitMessage(0);
            }
            return 0;
        }
        if (event.kind == ScaleEventKind::Reading && (arrivals.empty() || arrivals.back().hundredths != event.hundredths))
            arrivals.push_back({event.hundredths, now});
        if (arrivals.size() >= wanted) PostQuitMessage(0);
        return 0;
    }
    if (message == WM_TIMER) PostQuitMessage(1);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    searching = argc > 1 && std::wcscmp(argv[1], L"search") == 0;
    if (argc > 1 && !searching) wanted = static_cast<std::size_t>(_wtoi(argv[1]));
    const wchar_t* port = _wgetenv(L"LACQUERON_SCALE_PORT");
    if (port == nullptr || wanted == 0) return 2;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ScaleLatencyWindow";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr);
    SetTimer(window, 1, kGiveUpMs, nullptr);

    ScaleReaderOptions options;
    options.port = static_cast<std::uint32_t>(_wtoi(port));
    options.protocol = searching ? ScaleProtocol::Automatic : ScaleProtocol::Continuous;
    options.window = window;
    options.message = ScaleEventMessage();
    startedMs = GetTickCount64();
    const auto reader = ScaleReader::Start(options);
    if (!reader) return 2;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    reader->Stop();
    for (const Arrival& a : arrivals) std::printf("%d %lld\n", static_cast<int>(a.hundredths), static_cast<long long>(a.unixNs));
    return static_cast<int>(message.wParam);  // 1 when it gave up
}
