// The message loop: filter order, the quit code, idle handlers and the idle-flag rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MessageLoop.h"

namespace lacqueron {
namespace {

constexpr UINT kTestMessage = WM_APP + 1;
constexpr UINT_PTR kTimer = 1;

std::vector<std::string>* events = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kTestMessage: events->push_back("dispatched"); return 0;
    case WM_MOUSEMOVE: events->push_back("mousemove"); return 0;
    case WM_TIMER:
        KillTimer(window, kTimer);
        events->push_back("timer");
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

class RecordingFilter final : public IMessageFilter {
public:
    RecordingFilter(std::string name, bool consumes) : name_(std::move(name)), consumes_(consumes) {}
    int FilterMessage(MSG& message) noexcept override {
        if (message.message == kTestMessage) events->push_back(name_);
        return consumes_ && message.message == kTestMessage ? 1 : 0;
    }

private:
    std::string name_;
    bool consumes_;
};

// Runs `onCall(n)` at its n-th idle call.
template <class OnCall>
class IdleProbe final : public IIdleHandler {
public:
    explicit IdleProbe(OnCall onCall) : onCall_(onCall) {}
    void RunIdle() noexcept override {
        events->push_back("idle");
        onCall_(++calls_);
    }

private:
    OnCall onCall_;
    int calls_ = 0;
};

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        events = &events_;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"LacqueronLoopTest";
        RegisterClassW(&windowClass);
        window_ = CreateWindowW(L"LacqueronLoopTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window_);
        events = nullptr;
    }

    std::vector<std::string> events_;
    HWND window_ = nullptr;
    MessageLoop loop_;
};

TEST_F(MessageLoopTest, FiltersAreOfferedFromTheLastAddedAndStopAtTheFirstThatConsumes) {
    RecordingFilter first("first", false), second("second", true), third("third", false);
    loop_.AddMessageFilter(&first);
    loop_.AddMessageFilter(&second);
    loop_.AddMessageFilter(&third);
    PostMessageW(window_, kTestMessage, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(loop_.Run(), 7);
    EXPECT_EQ(events_, (std::vector<std::string>{"third", "second"}));

    events_.clear();
    EXPECT_TRUE(loop_.RemoveMessageFilter(&second));
    PostMessageW(window_, kTestMessage, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(loop_.Run(), 0);
    EXPECT_EQ(events_, (std::vector<std::string>{"third", "first", "dispatched"}));
}

TEST_F(MessageLoopTest, MouseMovesDoNotStartAnotherIdlePhase) {
    HWND window = window_;
    auto onCall = [window](int call) {
        if (call == 1) {
            // A mouse move alone leaves the loop waiting; the timer's message then counts.
            PostMessageW(window, WM_MOUSEMOVE, 0, 0);
            SetTimer(window, kTimer, 10, nullptr);
        } else {
            PostQuitMessage(0);
        }
    };
    IdleProbe<decltype(onCall)> probe(onCall);
    loop_.AddIdleHandler(&probe);
    EXPECT_EQ(loop_.Run(), 0);
    EXPECT_EQ(events_, (std::vector<std::string>{"idle", "mousemove", "timer", "idle"}));
}

TEST_F(MessageLoopTest, EveryIdleHandlerRunsOnceInOrderPerIdlePhase) {
    auto none = [](int) {};
    auto quit = [](int) { PostQuitMessage(3); };
    IdleProbe<decltype(none)> a(none);
    IdleProbe<decltype(quit)> b(quit);
    loop_.AddIdleHandler(&a);
    loop_.AddIdleHandler(&b);
    EXPECT_TRUE(loop_.RemoveIdleHandler(&a));
    EXPECT_FALSE(loop_.RemoveIdleHandler(&a));
    loop_.AddIdleHandler(&a);
    EXPECT_EQ(loop_.Run(), 3);
    EXPECT_EQ(events_, (std::vector<std::string>{"idle", "idle"}));
}

}  // namespace
}  // namespace lacqueron
