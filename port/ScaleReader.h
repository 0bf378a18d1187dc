// Reads a scale on a COM port on a worker thread of its own and posts what it reads to
// a window. The thread owns the port handle, opens it again by itself after a fault
// (the scale unplugged and plugged back), and never blocks the window's thread: it is
// detached, owns everything it uses, and ends on its own once told to, even after the
// window or the process has gone on without it.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>

#include "scale/ScaleEvent.h"
#include "scale/ScaleProtocol.h"
#include "scale/ScaleSettings.h"

namespace lacqueron {

struct ScaleReaderOptions {
    std::uint32_t port = 0;  // 5 for COM5
    std::uint32_t baud = kDefaultScaleBaud;
    // Automatic: the port is searched for the scale's rate and protocol, from `baud` on,
    // before every reading after it is opened; the outcome arrives as a Found or a
    // NothingFound event.
    ScaleProtocol protocol = ScaleProtocol::Automatic;
    HWND window = nullptr;  // gets every event as `message`
    UINT message = 0;
    ScaleGeneration generation = 0;  // stamped on every event
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

    // Tare or zero, sent by the worker when the protocol has the command; ignored
    // otherwise and while a search runs.
    void Send(ScaleCommand command) noexcept;
    // Tells the worker to end and returns at once: opening a port or a driver's read
    // may take long, and the window must not wait for it. The worker closes the port
    // within a read wait of opening it and frees what it used; a reader started on the
    // same port meanwhile waits for it. Events already posted stay in the window's queue.
    void Stop() noexcept;

private:
    struct Shared;
    class Worker;
    explicit ScaleReader(std::shared_ptr<Shared> shared) noexcept : shared_(std::move(shared)) {}

    // Shared with the worker, which keeps it alive until it ends; null once stopped.
    std::shared_ptr<Shared> shared_;
};

}  // namespace lacqueron
