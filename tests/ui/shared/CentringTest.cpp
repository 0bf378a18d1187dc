// The centring rule on plain windows: over a visible owner, in the work area when the
// owner is hidden or missing, clamped to the area, and children in their parent.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/shared/Centring.h"

namespace lacqueron {
namespace {

class Centring : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);
    }
    void TearDown() override {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
    }

    HWND Make(DWORD style, RECT r, HWND parentOrOwner = nullptr) {
        HWND window = CreateWindowExW(0, kClass, L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                      parentOrOwner, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        windows_.push_back(window);
        return window;
    }

    static RECT WorkArea(HWND window) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
        return info.rcWork;
    }
    static RECT Rect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }
    static POINT InParent(HWND child, HWND parent) {
        POINT topLeft{};
        MapWindowPoints(child, parent, &topLeft, 1);
        return topLeft;
    }

    static constexpr const wchar_t* kClass = L"LacqueronCentringProbe";
    std::vector<HWND> windows_;
};

TEST_F(Centring, OverAVisibleOwner) {
    HWND owner = Make(WS_POPUP | WS_VISIBLE, {100, 80, 500, 380});
    HWND popup = Make(WS_POPUP, {0, 0, 200, 100}, owner);
    CentreWindow(popup);
    const RECT r = Rect(popup);
    EXPECT_EQ(r.left, 300 - 100);
    EXPECT_EQ(r.top, 230 - 50);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 100);
}

TEST_F(Centring, GivenReferenceWinsOverTheOwner) {
    HWND owner = Make(WS_POPUP | WS_VISIBLE, {100, 80, 500, 380});
    HWND other = Make(WS_POPUP | WS_VISIBLE, {10, 10, 111, 61});
    HWND popup = Make(WS_POPUP, {0, 0, 40, 20}, owner);
    CentreWindow(popup, other);
    const RECT r = Rect(popup);
    EXPECT_EQ(r.left, (10 + 111) / 2 - 20);
    EXPECT_EQ(r.top, (10 + 61) / 2 - 10);
}

TEST_F(Centring, HiddenOrMinimisedOwnerGivesTheWorkArea) {
    HWND hidden = Make(WS_POPUP, {100, 80, 300, 180});
    HWND minimised = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 80, 300, 180});
    ShowWindow(minimised, SW_MINIMIZE);
    for (HWND owner : {HWND{}, hidden, minimised}) {
        HWND popup = Make(WS_POPUP, {0, 0, 201, 101}, owner);
        CentreWindow(popup);
        const RECT area = WorkArea(popup);
        const RECT r = Rect(popup);
        EXPECT_EQ(r.left, (area.left + area.right) / 2 - 100);
        EXPECT_EQ(r.top, (area.top + area.bottom) / 2 - 50);
    }
}

TEST_F(Centring, StaysInsideTheWorkArea) {
    HWND owner = Make(WS_POPUP | WS_VISIBLE, {-300, -200, -100, -100});
    HWND popup = Make(WS_POPUP, {0, 0, 200, 100}, owner);
    CentreWindow(popup);
    const RECT area = WorkArea(popup);
    EXPECT_EQ(Rect(popup).left, area.left);
    EXPECT_EQ(Rect(popup).top, area.top);

    HWND farOwner = Make(WS_POPUP | WS_VISIBLE, {area.right - 50, area.bottom - 20, area.right + 50, area.bottom + 20});
    HWND second = Make(WS_POPUP, {0, 0, 200, 100}, farOwner);
    CentreWindow(second);
    EXPECT_EQ(Rect(second).right, area.right);
    EXPECT_EQ(Rect(second).bottom, area.bottom);

    // Larger than the area: the top-left corner wins.
    HWND huge = Make(WS_POPUP, {0, 0, area.right - area.left + 300, area.bottom - area.top + 200});
    CentreWindow(huge);
    EXPECT_EQ(Rect(huge).left, area.left);
    EXPECT_EQ(Rect(huge).top, area.top);
}

TEST_F(Centring, ChildInItsParentsClientArea) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, {50, 40, 450, 340});
    HWND child = Make(WS_CHILD | WS_VISIBLE, {0, 0, 100, 60}, parent);
    CentreWindow(child);
    EXPECT_EQ(InParent(child, parent).x, 200 - 50);
    EXPECT_EQ(InParent(child, parent).y, 150 - 30);

    HWND big = Make(WS_CHILD | WS_VISIBLE, {0, 0, 500, 20}, parent);
    CentreWindow(big);
    EXPECT_EQ(InParent(big, parent).x, 0);
    EXPECT_EQ(InParent(big, parent).y, 150 - 10);
}

}  // namespace
}  // namespace lacqueron
