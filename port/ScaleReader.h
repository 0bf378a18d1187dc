// Reads a scale on a COM port on a worker thread of its own and posts what it reads to
// a window. The thread owns the port handle, opens it again by itself after a fault
// (the scale unplugged and plugged back), and never blocks the window's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <thread>

#include "port/FileHandle.h"

#include "scale/ScaleEvent.h"
#include "scale/ScaleProtocol.h"
#include "scale/ScaleSettings.h"

namespace lacqueron {

struct ScaleReaderOptions {
    std::uint32_t port = 0;  // 5 for COM5
    std::uint32_t baud = kDefaultScaleBaud;
    ScaleProtocol protocol = ScaleProtocol::Automatic;
    HWND window = nullptr;  // gets every event as `message`
    UINT message = 0;
    // Defaults: the protocol asks 10 times a second, a scale quiet for 2 s is reported
    // and its port opened again, a missing port is tried again twice a second.
    std::chrono::milliseconds pollPeriod{100};
    std::chrono::milliseconds silenceLimit{2000};
    std::chrono::milliseconds retryPeriod{500};
};

// The message id for scale events, the same in every window of the process.
UINT ScaleEventMessage() noexcept;
// The event a scale message carries: wParam and lParam hold everything, nothing to free.
ScaleEvent ScaleEventFromMessage(WPARAM wParam, LPARAM lParam) noexcept;

class ScaleReader {
public:
    // Starts the worker; null when the thread cannot be made. Faults of the port
    // itself arrive as events.
    static std::unique_ptr<ScaleReader> Start(const ScaleReaderOptions& options) noexcept;
    ~ScaleReader() { Stop(); }
    ScaleReader(const ScaleReader&) = delete;
    ScaleReader& operator=(const ScaleReader&) = delete;

    // Tare or zero, sent by the worker when the protocol has the command; ignored otherwise.
    void Send(ScaleCommand command) noexcept;
    // Ends the worker and waits for it; the port is closed when this returns. Events
    // already posted stay in the window's queue.
    void Stop() noexcept;

private:
    ScaleReader(const ScaleReaderOptions& options, FileHandle wake) noexcept
        : options_(options), wake_(std::move(wake)) {}
    // The worker: opens the port, reads it until a fault, waits, opens it again.
    void Run(std::stop_token stop) noexcept;
    // Reads the open port until it fails or falls silent; returns that fault, or
    // ScaleEventKind::Reading when a stop was asked for.
    ScaleEventKind ReadPort(HANDLE port, const std::stop_token& stop) noexcept;
    // Writes a pending tare or zero and, when it is time, the poll.
    bool SendCommands(HANDLE port, const ProtocolDetector& detector, std::chrono::steady_clock::time_point& lastPoll) noexcept;
    // Waits up to `period`; false when a stop was asked for meanwhile.
    bool Pause(const std::stop_token& stop, std::chrono::milliseconds period) noexcept;
    // Posts a line's event, or a fault when it differs from the fault shown now.
    void Post(const ScaleEvent& event) noexcept;

    const ScaleReaderOptions options_;
    std::atomic<std::uint32_t> pendingCommands_{0};  // one bit per ScaleCommand
    // Set by Stop, so a pause ends at once. A kernel event rather than a condition
    // variable: one plain wait with a timeout, the same on every Windows and under Wine.
    const FileHandle wake_;
    // The fault the window shows now; Reading when none. Worker thread only.
    ScaleEventKind shownFault_ = ScaleEventKind::Reading;
    std::jthread worker_;
};

}  // namespace lacqueron
