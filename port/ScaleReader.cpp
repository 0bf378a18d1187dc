#include "port/ScaleReader.h"

#include <string>
#include <string_view>
#include <algorithm>
#include <atomic>
#include <exception>
#include <new>
#include <thread>

#include "scale/LineSplitter.h"
#include "scale/ScaleDetection.h"
#include "win32/Handles.h"

namespace lacqueron {
namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kMessageName[] = L"Lacqueron.ScaleEvent";
// The wait for the first byte of a read: the worker sees a stop, a command or a silent
// scale at least this often.
constexpr DWORD kReadWaitMs = 50;
constexpr DWORD kWriteTimeoutMs = 500;
constexpr DWORD kDriverQueueBytes = 1024;
constexpr DWORD kReadChunk = 256;
// A reader started on the port another one was just told to leave finds it busy until
// that one has closed it, within a read wait or a write timeout: it tries again this
// often, for this long, before it calls the port busy.
constexpr std::chrono::milliseconds kHandOverRetry{50};
constexpr std::chrono::milliseconds kHandOverLimit{1500};

std::uint32_t CommandBit(ScaleCommand command) noexcept { return 1u << static_cast<unsigned>(command); }

ScaleEvent Fault(ScaleEventKind kind) noexcept {
    ScaleEvent event;
    event.kind = kind;
    return event;
}

// Whether the event tells of something in the way of reading, which stays shown until a
// reading or a found scale replaces it.
bool IsFault(ScaleEventKind kind) noexcept {
    switch (kind) {
        case ScaleEventKind::Reading:
        case ScaleEventKind::ScaleState:
        case ScaleEventKind::LineRefused:
        case ScaleEventKind::Found: return false;
        default: return true;
    }
}

// 8 data bits, no parity, 1 stop bit, no flow control; DTR and RTS up, as USB adapters
// and scales that draw power from them expect.
bool ConfigurePort(HANDLE port, std::uint32_t baud) noexcept {
    SetupComm(port, kDriverQueueBytes, kDriverQueueBytes);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) return false;
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(port, &dcb)) return false;

    // Total timeouts only: a read ends when its buffer is full or the time is up. (Wine
    // has no "return at the first byte" mode, so ReadWaiting asks for one byte first.)
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    if (!SetCommTimeouts(port, &timeouts)) return false;
    PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

// The open, configured port, or none with the fault that stands in the way.
FileHandle OpenPort(std::uint32_t number, std::uint32_t baud, ScaleEventKind& fault) noexcept {
    const std::wstring path = L"\\\\.\\COM" + std::to_wstring(number);
    FileHandle port = AdoptFileHandle(
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!port) {
        const DWORD error = GetLastError();
        fault = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? ScaleEventKind::PortBusy
                                                                                  : ScaleEventKind::PortMissing;
        return {};
    }
    if (!ConfigurePort(port.get(), baud)) {
        // A port that cannot be set to 8N1 at this rate serves no scale.
        fault = ScaleEventKind::PortMissing;
        return {};
    }
    return port;
}

// Waits up to kReadWaitMs for a byte, then takes every byte already queued behind it,
// so a line is handed on the moment it arrives. False when the port failed.
bool ReadWaiting(HANDLE port, char (&bytes)[kReadChunk], DWORD& got) noexcept {
    got = 0;
    if (!ReadFile(port, bytes, 1, &got, nullptr)) return false;
    DWORD errors = 0;
    COMSTAT status{};
    // Also the check that the port is still there when nothing came.
    if (!ClearCommError(port, &errors, &status)) return false;
    if (got == 0 || status.cbInQue == 0) return true;
    DWORD more = 0;
    const DWORD queued = std::min<DWORD>(status.cbInQue, kReadChunk - 1);
    if (!ReadFile(port, bytes + 1, queued, &more, nullptr)) return false;
    got += more;
    return true;
}

bool WriteAll(HANDLE port, std::string_view bytes) noexcept {
    DWORD written = 0;
    return WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

UINT ScaleEventMessage() noexcept {
    static const UINT message = RegisterWindowMessageW(kMessageName);
    return message;
}

ScaleEvent ScaleEventFromMessage(WPARAM wParam, LPARAM lParam) noexcept {
    return UnpackScaleEvent(static_cast<std::uint32_t>(wParam), static_cast<std::int32_t>(lParam));
}

// What the reader and its worker share. The worker holds it until it ends, so it
// outlives a reader that was stopped, and the worker needs nothing else that may go.
struct ScaleReader::Shared {
    Shared(const ScaleReaderOptions& options, EventHandle wake) noexcept
        : options(options), wake(std::move(wake)) {}

    const ScaleReaderOptions options;
    // Set by Stop, so a pause ends at once. A kernel event rather than a condition
    // variable: one plain wait with a timeout, the same on every Windows and under Wine.
    const EventHandle wake;
    std::atomic<bool> stopping{false};
    std::atomic<std::uint32_t> pendingCommands{0};  // one bit per ScaleCommand
};

// The worker thread's side: opens the port, with the automatic choice searches it for
// the scale's rate and protocol, reads it until a fault, waits, opens it again, until
// told to stop.
class ScaleReader::Worker {
public:
    explicit Worker(std::shared_ptr<Shared> shared) noexcept : shared_(std::move(shared)) {}

    void Run() noexcept;

private:
    bool Stopping() const noexcept { return shared_->stopping.load(); }
    // Searches the open port, reconfiguring it rate by rate, until the scale is found
    // (protocol_ and baud_ set, the port left at that rate) or nothing was; returns the
    // fault that ended it, or a Reading event when found or told to stop.
    ScaleEvent Search(HANDLE port) noexcept;
    // Reads the open port in protocol_ until it fails or falls silent; returns that
    // fault, or ScaleEventKind::Reading when a stop was asked for.
    ScaleEventKind ReadPort(HANDLE port) noexcept;
    // Writes a pending tare or zero and, when it is time, the poll.
    bool SendCommands(HANDLE port, Clock::time_point& lastPoll) noexcept;
    // Waits up to `period`; false when a stop was asked for meanwhile.
    bool Pause(std::chrono::milliseconds period) noexcept;
    // Posts a line's event, or a fault when it differs from the fault shown now.
    void Post(ScaleEvent event) noexcept;

    const std::shared_ptr<Shared> shared_;
    const ScaleReaderOptions& options_ = shared_->options;
    // The rate and protocol read: those chosen, or with the automatic choice those the
    // search found last (Automatic until it has; the next search starts at that rate).
    std::uint32_t baud_ = options_.baud;
    ScaleProtocol protocol_ = options_.protocol;
    // The fault the window shows now; Reading when none.
    ScaleEventKind shownFault_ = ScaleEventKind::Reading;
};

std::unique_ptr<ScaleReader> ScaleReader::Start(const ScaleReaderOptions& options) noexcept {
    EventHandle wake = EventHandle::ManualReset();
    if (!wake) return nullptr;
    try {
        auto shared = std::make_shared<Shared>(options, std::move(wake));
        std::unique_ptr<ScaleReader> reader(new ScaleReader(shared));
        std::thread([shared = std::move(shared)]() mutable noexcept { Worker(std::move(shared)).Run(); }).detach();
        return reader;
    } catch (const std::exception&) {  // no memory, or no thread
        return nullptr;
    }
}

void ScaleReader::Send(ScaleCommand command) noexcept {
    if (shared_ && command != ScaleCommand::Poll) shared_->pendingCommands.fetch_or(CommandBit(command));
}

void ScaleReader::Stop() noexcept {
    if (!shared_) return;
    shared_->stopping.store(true);
    shared_->wake.Set();
    shared_.reset();
}

bool ScaleReader::Worker::Pause(std::chrono::milliseconds period) noexcept {
    if (Stopping()) return false;
    shared_->wake.Wait(static_cast<DWORD>(period.count()));
    return !Stopping();
}

void ScaleReader::Worker::Post(ScaleEvent event) noexcept {
    if (IsFault(event.kind)) {
        // After an unplugged port a missing one is the same fault: keep "plug it back in".
        const bool stillLost = shownFault_ == ScaleEventKind::PortLost && event.kind == ScaleEventKind::PortMissing;
        if (event.kind == shownFault_ || stillLost) return;
        shownFault_ = event.kind;
    } else {
        shownFault_ = ScaleEventKind::Reading;
    }
    event.generation = options_.generation;
    PostMessageW(options_.window, options_.message, PackScaleEvent(event), static_cast<LPARAM>(event.hundredths));
}

void ScaleReader::Worker::Run() noexcept {
    const Clock::time_point started = Clock::now();
    while (!Stopping()) {
        ScaleEvent fault = Fault(ScaleEventKind::Reading);
        FileHandle port = OpenPort(options_.port, baud_, fault.kind);
        if (port && protocol_ == ScaleProtocol::Automatic) fault = Search(port.get());
        if (port && protocol_ != ScaleProtocol::Automatic) fault.kind = ReadPort(port.get());
        port.reset();
        if (Stopping()) return;
        // The scale plugged back in may be another one: search again.
        protocol_ = options_.protocol;
        if (fault.kind == ScaleEventKind::PortBusy && Clock::now() - started < kHandOverLimit) {
            if (!Pause(kHandOverRetry)) return;  // maybe the reader this one replaced, still leaving
            continue;
        }
        Post(fault);
        if (!Pause(options_.retryPeriod)) return;
    }
}

ScaleEvent ScaleReader::Worker::Search(HANDLE port) noexcept {
    const DetectionBaudList bauds = DetectionBauds(baud_);
    const Clock::time_point started = Clock::now();
    const auto nowMs = [started] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    };
    try {
        ScaleDetection search(bauds, kDetectionProtocols);
        LineSplitter splitter;
        while (!Stopping()) {
            const DetectionStep step = search.Next(nowMs());
            switch (step.action) {
                case DetectionAction::OpenPort:
                    if (!ConfigurePort(port, step.baud)) return Fault(ScaleEventKind::PortLost);
                    splitter.Reset();  // what came at the last rate is no line at this one
                    break;
                case DetectionAction::Send:
                    if (!WriteAll(port, step.bytes)) return Fault(ScaleEventKind::PortLost);
                    break;
                case DetectionAction::Read: {
                    char bytes[kReadChunk];
                    DWORD got = 0;
                    if (!ReadWaiting(port, bytes, got)) return Fault(ScaleEventKind::PortLost);
                    splitter.Feed(std::string_view(bytes, got), [&](std::string_view text) { search.OnLine(text, nowMs()); });
                    break;
                }
                case DetectionAction::Found:
                    baud_ = step.baud;
                    protocol_ = step.protocol;
                    Post(ScaleFoundEvent(step.protocol, step.baud));
                    return Fault(ScaleEventKind::Reading);
                case DetectionAction::NothingFound: {
                    const auto tried = search.Tried();
                    const bool linesCame = std::any_of(tried.begin(), tried.end(),
                                                       [](const DetectionAttempt& a) { return a.unreadLines > 0; });
                    return NothingFoundEvent(bauds.front(), linesCame);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // No memory for the search: the port is opened and searched again after the pause.
        return Fault(ScaleEventKind::Silent);
    }
    return Fault(ScaleEventKind::Reading);
}

bool ScaleReader::Worker::SendCommands(HANDLE port, Clock::time_point& lastPoll) noexcept {
    const std::uint32_t pending = shared_->pendingCommands.exchange(0);
    for (const ScaleCommand command : {ScaleCommand::Tare, ScaleCommand::Zero}) {
        const std::string_view bytes = ScaleCommandBytes(protocol_, command);
        if ((pending & CommandBit(command)) != 0 && !bytes.empty() && !WriteAll(port, bytes)) return false;
    }
    const std::string_view poll = ScaleCommandBytes(protocol_, ScaleCommand::Poll);
    const Clock::time_point now = Clock::now();
    if (poll.empty() || now - lastPoll < options_.pollPeriod) return true;
    lastPoll = now;
    return WriteAll(port, poll);
}

ScaleEventKind ScaleReader::Worker::ReadPort(HANDLE port) noexcept {
    LineSplitter splitter;
    Clock::time_point lastLine = Clock::now();
    Clock::time_point lastPoll = lastLine - options_.pollPeriod;
    // A tare pressed while the scale was away or being searched for is not sent later.
    shared_->pendingCommands.store(0);

    while (!Stopping()) {
        if (!SendCommands(port, lastPoll)) return ScaleEventKind::PortLost;

        char bytes[kReadChunk];
        DWORD got = 0;
        if (!ReadWaiting(port, bytes, got)) return ScaleEventKind::PortLost;
        try {
            splitter.Feed(std::string_view(bytes, got), [&](std::string_view text) {
                ScaleEvent event;
                if (!ScaleEventFromLine(ParseScaleLine(protocol_, text), event)) return;
                lastLine = Clock::now();
                Post(event);
            });
        } catch (const std::bad_alloc&) {
            splitter.Reset();  // the partial line is lost; the next one is read as usual
        }
        if (Clock::now() - lastLine >= options_.silenceLimit) return ScaleEventKind::Silent;
    }
    return ScaleEventKind::Reading;
}

}  // namespace lacqueron
