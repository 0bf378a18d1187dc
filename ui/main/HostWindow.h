// The hidden host window: it carries the module, the profile key and the keyboard
// accelerators for the whole run, and turns Ctrl+X and Ctrl+F1 into its commands
// whichever window of the thread has the focus.
#pragma once

#include <windows.h>

#include <functional>

#include "core/AppModule.h"
#include "ui/main/MessageFilter.h"

namespace lacqueron {

class HostWindow {
public:
    HostWindow() noexcept : filter_(*this) {}
    ~HostWindow();  // clears the (by then empty) service table once more
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Creates the window hidden, without caption, system menu or edge, with its
    // accelerators and icons. False when the window cannot be created.
    bool Create(HINSTANCE instance) noexcept;

    // Releases the profile key and the services, then destroys the window. Every step
    // checks first, so running it again does nothing.
    void Teardown() noexcept;

    // Run on a real log-off or shutdown before the teardown, so the session's values
    // are kept.
    void SetEndSessionSave(std::function<void()> save) noexcept { endSessionSave_ = std::move(save); }

    // The window that gets the accelerator commands the host does not handle itself
    // (find, find next); null drops them.
    void SetCommandTarget(HWND window) noexcept { commandTarget_ = window; }

    AppModule& Module() noexcept { return module_; }
    IMessageFilter& Filter() noexcept { return filter_; }
    HWND Window() const noexcept { return window_; }

private:
    class AcceleratorFilter final : public IMessageFilter {
    public:
        explicit AcceleratorFilter(HostWindow& host) noexcept : host_(host) {}
        int FilterMessage(MSG& message) noexcept override;

    private:
        HostWindow& host_;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    bool OnCommand(WORD id) noexcept;  // true when handled
    void OnPaint() noexcept;

    HWND window_ = nullptr;
    AcceleratorFilter filter_;
    AppModule module_;
    HACCEL accelerators_ = nullptr;
    std::function<void()> endSessionSave_;
    HWND commandTarget_ = nullptr;
};

}  // namespace lacqueron
