#include "ui/main/HostWindow.h"

#include "res/resource.h"
#include "ui/shared/Dpi.h"

namespace lacqueron {
namespace {

constexpr wchar_t kClassName[] = L"LacqueronHost";
constexpr DWORD kCreateStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr DWORD kCreateExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
// Clears WS_CAPTION and WS_SYSMENU.
constexpr LONG_PTR kStyleMask = static_cast<LONG_PTR>(0xFF37FFFF);
// The notification code WM_COMMAND carries for an accelerator.
constexpr WORD kAcceleratorCode = 1;

bool RegisterHostClass(HINSTANCE instance, WNDPROC procedure) noexcept {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kClassName, &windowClass)) return true;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

HostWindow::~HostWindow() { module_.ClearServices(); }

bool HostWindow::Create(HINSTANCE instance) noexcept {
    if (!RegisterHostClass(instance, WindowProc)) return false;
    CreateWindowExW(kCreateExStyle, kClassName, L"", kCreateStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, GetDesktopWindow(), nullptr, instance, this);
    if (window_ == nullptr) return false;
    SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) & kStyleMask);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, GetWindowLongPtrW(window_, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_WINDOWEDGE});
    accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    SetWindowIcons(window_, instance, IDI_MAIN);
    ShowWindow(window_, SW_HIDE);
    return true;
}

void HostWindow::Teardown() noexcept {
    module_.ClearProfileKey();
    module_.ClearServices();
    if (window_ != nullptr) DestroyWindow(window_);
}

int HostWindow::AcceleratorFilter::FilterMessage(MSG& message) noexcept {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return 0;
    if (host_.window_ == nullptr || host_.accelerators_ == nullptr) return 0;
    return TranslateAcceleratorW(host_.window_, host_.accelerators_, &message) ? 1 : 0;
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* host = static_cast<HostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        host->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        host->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return host->OnMessage(message, wParam, lParam);
}

LRESULT HostWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_CREATE:
        SetWindowTextW(window_, L"Подбор красок ВЕЛМ");
        return 0;
    case WM_DESTROY:
        return 0;
    case WM_CLOSE:
        DestroyWindow(window_);
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            if (endSessionSave_) endSessionSave_();
            Teardown();
        }
        return 0;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) return 0;
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool HostWindow::OnCommand(WORD id) noexcept {
    switch (id) {
    case IDM_EXIT:
        PostQuitMessage(0);
        return true;
    case IDM_ABOUT:
        // Taken and dropped: the about dialog opens from the main dialog's button only.
        return true;
    default:
        if (commandTarget_ == nullptr || !IsWindow(commandTarget_)) return false;
        SendMessageW(commandTarget_, WM_COMMAND, MAKEWPARAM(id, kAcceleratorCode), 0);
        return true;
    }
}

void HostWindow::OnPaint() noexcept {
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(window_, &paint)) {
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(window_, &paint);
    }
}

}  // namespace lacqueron
