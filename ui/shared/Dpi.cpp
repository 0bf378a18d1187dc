#include "ui/shared/Dpi.h"

#include "ui/shared/GdiHandles.h"

namespace lacqueron {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Windows 7 and 8 lack GetDpiForWindow: looked up once, null there.
GetDpiForWindowFunction DpiForWindowFunction() noexcept {
    static const GetDpiForWindowFunction function = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<GetDpiForWindowFunction>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    return function;
}

enum class IconSize { Small, Large };

HICON LoadIconToFit(HINSTANCE instance, int iconId, IconSize size) noexcept {
    const bool small = size == IconSize::Small;
    const int width = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int height = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, width, height, LR_SHARED));
}

}  // namespace

UINT DpiOfWindow(HWND window) noexcept {
    if (window != nullptr) {
        if (GetDpiForWindowFunction function = DpiForWindowFunction()) {
            const UINT dpi = function(window);
            if (dpi != 0) return dpi;
        }
    }
    WindowDC dc(window);
    const int dpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleToDpi(int designLength, UINT dpi) noexcept {
    return MulDiv(designLength, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

void SetWindowIcons(HWND window, HINSTANCE instance, int iconId) noexcept {
    if (HICON large = LoadIconToFit(instance, iconId, IconSize::Large))
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    if (HICON small = LoadIconToFit(instance, iconId, IconSize::Small))
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

}  // namespace lacqueron
