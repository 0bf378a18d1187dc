#include "ui/shared/Centring.h"

namespace lacqueron {

void CentreWindow(HWND window, HWND reference) noexcept {
    RECT own{};
    if (!GetWindowRect(window, &own)) return;
    const LONG w = own.right - own.left;
    const LONG h = own.bottom - own.top;

    const bool child = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0;
    if (reference == nullptr) reference = child ? GetParent(window) : GetWindow(window, GW_OWNER);

    RECT area{};
    RECT centre{};
    if (!child) {
        if (reference != nullptr && (!IsWindowVisible(reference) || IsIconic(reference))) reference = nullptr;
        HMONITOR monitor = MonitorFromWindow(reference ? reference : window, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return;
        area = info.rcWork;
        if (reference == nullptr || !GetWindowRect(reference, &centre)) centre = area;
    } else {
        HWND parent = GetParent(window);
        if (!GetClientRect(parent, &area)) return;
        if (reference == nullptr || !GetClientRect(reference, &centre)) return;
        MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&centre), 2);
    }

    LONG x = (centre.left + centre.right) / 2 - w / 2;
    LONG y = (centre.top + centre.bottom) / 2 - h / 2;
    if (x + w > area.right) x = area.right - w;
    if (x < area.left) x = area.left;
    if (y + h > area.bottom) y = area.bottom - h;
    if (y < area.top) y = area.top;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lacqueron
