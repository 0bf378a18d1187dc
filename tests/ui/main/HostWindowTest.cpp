// The hidden host window: its look, its accelerators through the message filter, the
// log-off path and a teardown that may run twice.
#include <windows.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "ui/main/HostWindow.h"

namespace lacqueron {
namespace {

// Counts its releases; registered as a service it shows when the table lets go.
class CountingObject final : public ObjectImpl<IObject, CountingObject> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::Null};
    explicit CountingObject(int& released) : released_(released) {}
    ~CountingObject() override { ++released_; }

private:
    int& released_;
};

// Keys pressed as the thread sees them, for TranslateAcceleratorW.
void SetControlKey(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

bool QuitPosted() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Create(GetModuleHandleW(nullptr)));
        QuitPosted();
    }
    void TearDown() override {
        SetControlKey(false);
        host_.Teardown();
        QuitPosted();
    }

    // The table keeps the only reference.
    void RegisterCounted(int& released) {
        RefPtr<IObject> object = RefPtr<IObject>::Adopt(NewObject<CountingObject>(released));
        host_.Module().RegisterService(object.get(), iid::Cipher, kOwnsReference);
    }

    // Offers a key press to the filter as the message loop would.
    int OfferKey(UINT message, WPARAM key) {
        MSG msg{};
        msg.hwnd = host_.Window();
        msg.message = message;
        msg.wParam = key;
        msg.lParam = 1;
        return host_.Filter().FilterMessage(msg);
    }

    HostWindow host_;
};

TEST_F(HostWindowTest, IsHiddenWithTheProgramsNameAndIcons) {
    HWND window = host_.Window();
    EXPECT_FALSE(IsWindowVisible(window));
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    EXPECT_STREQ(caption, L"Подбор красок ВЕЛМ");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(HostWindowTest, CtrlXEndsTheLoop) {
    SetControlKey(true);
    EXPECT_EQ(OfferKey(WM_KEYDOWN, 'X'), 1);
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(IsWindow(host_.Window()));
}

TEST_F(HostWindowTest, CtrlF1IsTakenAndDoesNothing) {
    SetControlKey(true);
    EXPECT_EQ(OfferKey(WM_KEYDOWN, VK_F1), 1);
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(IsWindow(host_.Window()));
}

TEST_F(HostWindowTest, OtherKeysAndMessagesPassThrough) {
    SetControlKey(false);
    EXPECT_EQ(OfferKey(WM_KEYDOWN, 'X'), 0);
    SetControlKey(true);
    EXPECT_EQ(OfferKey(WM_KEYDOWN, 'C'), 0);
    EXPECT_EQ(OfferKey(WM_CHAR, 0x18), 0);
    EXPECT_EQ(OfferKey(WM_KEYUP, 'X'), 0);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(HostWindowTest, FindKeysGoToTheCommandTarget) {
    // A message-only window that keeps the last command it got.
    static WPARAM received = 0;
    HWND target = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(target, nullptr);
    const WNDPROC recorder = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_COMMAND) received = wParam;
        return DefWindowProcW(window, message, wParam, lParam);
    };
    SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recorder));
    host_.SetCommandTarget(target);
    SetControlKey(true);
    EXPECT_EQ(OfferKey(WM_KEYDOWN, 'F'), 1);
    EXPECT_EQ(received, MAKEWPARAM(IDM_FIND, 1));
    SetControlKey(false);
    EXPECT_EQ(OfferKey(WM_KEYDOWN, VK_F3), 1);
    EXPECT_EQ(received, MAKEWPARAM(IDM_FIND_NEXT, 1));
    host_.SetCommandTarget(nullptr);
    DestroyWindow(target);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(HostWindowTest, CloseDestroysTheWindowAndEndsTheLoop) {
    SendMessageW(host_.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(host_.Window(), nullptr);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(HostWindowTest, LogOffSavesFirstThenTearsDown) {
    int released = 0;
    RegisterCounted(released);
    bool windowAtSave = false;
    std::uint32_t servicesAtSave = 0;
    int saves = 0;
    host_.SetEndSessionSave([&]() noexcept {
        ++saves;
        windowAtSave = host_.Window() != nullptr;
        servicesAtSave = host_.Module().ServiceCount();
    });
    HWND window = host_.Window();
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(IsWindow(window));

    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(windowAtSave);
    EXPECT_EQ(servicesAtSave, 1u);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(host_.Module().ServiceCount(), 0u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(host_.Window(), nullptr);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(HostWindowTest, TeardownTwiceDoesNothingMore) {
    int released = 0;
    RegisterCounted(released);
    host_.Teardown();
    EXPECT_EQ(released, 1);
    EXPECT_EQ(host_.Window(), nullptr);
    host_.Teardown();
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(QuitPosted());
}

}  // namespace
}  // namespace lacqueron
