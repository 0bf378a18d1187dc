// The port reader against the simulated scale (scale-sim.py) on a pseudo-terminal that
// Wine maps to a COM port: live readings of both first protocols, the scale's states, a
// refused unit, tare, one unplug and reconnect, a silent scale, a missing port, a reader
// started on the port the one before was just told to leave, the list of ports, and the
// search for a scale's rate and protocol. (A busy port cannot be staged: Wine lets a COM port be opened twice.)
// port-e2e.sh starts the simulator and passes the port and the control file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "port/ComPorts.h"
#include "port/ScaleReader.h"

namespace lacqueron {
namespace {

using namespace std::chrono_literals;

constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPumpSliceMs = 20;

// Rewrites the simulator's control file whole, so it never reads half a line.
class SimulatedScale {
public:
    explicit SimulatedScale(std::wstring control) : control_(std::move(control)) {}

    void Set(const std::string& state) {
        const std::wstring temporary = control_ + L".new";
        {
            std::ofstream out(std::filesystem::path(temporary), std::ios::trunc);
            out << "seq=" << ++seq_ << ' ' << state << '\n';
        }
        ASSERT_TRUE(MoveFileExW(temporary.c_str(), control_.c_str(), MOVEFILE_REPLACE_EXISTING));
    }

private:
    std::wstring control_;
    int seq_ = 100;
};

// A message-only window that collects the reader's events.
class EventWindow {
public:
    EventWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScalePortTestWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~EventWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    // Pumps messages until an event after the ones already seen matches; false after kWaitMs.
    bool WaitFor(const std::function<bool(const ScaleEvent&)>& match) {
        const ULONGLONG end = GetTickCount64() + kWaitMs;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            while (seen_ < events_.size())
                if (match(events_[seen_++])) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMs, QS_ALLINPUT);
        } while (GetTickCount64() < end);
        return false;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == ScaleEventMessage()) {
            self->events_.push_back(ScaleEventFromMessage(wParam, lParam));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::vector<ScaleEvent> events_;
    std::size_t seen_ = 0;
};

std::function<bool(const ScaleEvent&)> IsReading(std::int32_t hundredths, bool stable) {
    return [=](const ScaleEvent& e) {
        return e.kind == ScaleEventKind::Reading && e.hundredths == hundredths && e.stable == stable;
    };
}
std::function<bool(const ScaleEvent&)> IsKind(ScaleEventKind kind) {
    return [=](const ScaleEvent& e) { return e.kind == kind; };
}

class ScalePort : public testing::Test {
protected:
    void SetUp() override {
        const wchar_t* port = _wgetenv(L"LACQUERON_SCALE_PORT");
        const wchar_t* control = _wgetenv(L"LACQUERON_SCALE_CONTROL");
        if (port == nullptr || control == nullptr) GTEST_SKIP() << "run by port-e2e.sh beside the simulated scale";
        options.port = static_cast<std::uint32_t>(_wtoi(port));
        options.window = window.get();
        options.message = ScaleEventMessage();
        options.silenceLimit = 1000ms;
        options.retryPeriod = 200ms;
        scale = std::make_unique<SimulatedScale>(control);
    }

    EventWindow window;
    ScaleReaderOptions options;
    std::unique_ptr<SimulatedScale> scale;
};

TEST_F(ScalePort, ReadsLiveThroughUnplugAndReconnect) {
    scale->Set("plugged=1 mute=0 protocol=polled weight=123.45 unit=g stable=1 overload=0");
    const auto reader = ScaleReader::Start(options);
    ASSERT_TRUE(reader);
    ASSERT_TRUE(window.WaitFor(IsReading(12345, true))) << "no polled reading";

    scale->Set("weight=120.10 stable=0");
    EXPECT_TRUE(window.WaitFor(IsReading(12010, false)));
    scale->Set("overload=1");
    EXPECT_TRUE(window.WaitFor([](const ScaleEvent& e) { return e.line == ScaleLineKind::Overload; }));
    scale->Set("overload=0 weight=4.35 unit=oz stable=1");
    EXPECT_TRUE(window.WaitFor([](const ScaleEvent& e) { return e.refusal == ScaleRefusal::NotGrams; }));
    scale->Set("weight=50.00 unit=g");
    EXPECT_TRUE(window.WaitFor(IsReading(5000, true)));
    reader->Send(ScaleCommand::Tare);
    EXPECT_TRUE(window.WaitFor(IsReading(0, true))) << "tare not sent";

    // Pulled out mid-batch, then plugged back in with a streaming scale.
    scale->Set("plugged=0");
    ASSERT_TRUE(window.WaitFor(IsKind(ScaleEventKind::PortLost)));
    scale->Set("plugged=1 protocol=continuous weight=1.5 unit=kg stable=1");
    ASSERT_TRUE(window.WaitFor(IsReading(150000, true))) << "no reading after reconnecting";
    scale->Set("stable=0 weight=-0.002");
    EXPECT_TRUE(window.WaitFor(IsReading(-200, false)));

    scale->Set("mute=1");
    EXPECT_TRUE(window.WaitFor(IsKind(ScaleEventKind::Silent)));
    scale->Set("mute=0 stable=1 weight=0.25");
    EXPECT_TRUE(window.WaitFor(IsReading(25000, true))) << "no reading after a silence";
}

// Stop returns at once and the old worker leaves the port in its own time: the next
// reader reads the same port meanwhile, and its events carry its own generation.
TEST_F(ScalePort, RestartedReaderTakesOverThePort) {
    scale->Set("plugged=1 mute=0 protocol=continuous weight=7.00 unit=g stable=1 overload=0");
    options.generation = 1;
    auto reader = ScaleReader::Start(options);
    ASSERT_TRUE(reader);
    ASSERT_TRUE(window.WaitFor(IsReading(700, true)));
    reader->Stop();
    options.generation = 2;
    reader = ScaleReader::Start(options);
    ASSERT_TRUE(reader);
    scale->Set("weight=8.00");
    EXPECT_TRUE(window.WaitFor([](const ScaleEvent& e) { return e.generation == 2 && IsReading(800, true)(e); }));
}

TEST_F(ScalePort, OnlyPortsPresentAreListed) {
    const std::vector<std::uint32_t> ports = ListComPorts();
    EXPECT_NE(std::find(ports.begin(), ports.end(), options.port), ports.end());
    EXPECT_EQ(std::find(ports.begin(), ports.end(), options.port + 1), ports.end());
}

TEST_F(ScalePort, MissingPortIsReported) {
    options.port += 1;  // not mapped
    const auto reader = ScaleReader::Start(options);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(window.WaitFor(IsKind(ScaleEventKind::PortMissing)));
    reader->Stop();
}

// Left on the automatic choice at the wrong rate, the reader finds a scale that speaks
// only at 4800, reads it, and once the scale falls silent searches again from 4800 and
// says that nothing answered. (Last: it leaves the scale at any rate again.)
TEST_F(ScalePort, SearchFindsRateAndProtocol) {
    scale->Set("plugged=1 mute=0 protocol=marked baud=4800 weight=12.34 unit=g stable=1 overload=0");
    options.baud = 9600;
    const auto reader = ScaleReader::Start(options);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(window.WaitFor([](const ScaleEvent& e) {
        return e.kind == ScaleEventKind::Found && ScaleEventProtocol(e) == ScaleProtocol::Marked &&
               ScaleEventBaud(e) == 4800;
    })) << "not found";
    EXPECT_TRUE(window.WaitFor(IsReading(1234, true)));
    scale->Set("mute=1");
    EXPECT_TRUE(window.WaitFor([](const ScaleEvent& e) {
        return e.kind == ScaleEventKind::NothingFound && ScaleEventBaud(e) == 4800 &&
               ScaleEventText(e).find(u"ответа нет") != WideString::npos;
    }));
    scale->Set("mute=0 baud=0");
}

}  // namespace
}  // namespace lacqueron
