#include "app/MessageLoop.h"

#include <algorithm>
#include <new>

namespace lacqueron {
namespace {

constexpr UINT kSystemTimer = 0x0118;

// Messages that arrive all the time without the user doing anything new.
bool KeepsIdlePhaseOver(UINT message) noexcept {
    return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE || message == WM_PAINT || message == kSystemTimer;
}

template <class T>
bool AddTo(std::vector<T*>& list, T* item) noexcept {
    if (item == nullptr) return false;
    try {
        list.push_back(item);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

template <class T>
bool RemoveFrom(std::vector<T*>& list, T* item) noexcept {
    auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) return false;
    list.erase(found);
    return true;
}

}  // namespace

bool MessageLoop::AddMessageFilter(IMessageFilter* filter) noexcept { return AddTo(filters_, filter); }
bool MessageLoop::RemoveMessageFilter(IMessageFilter* filter) noexcept { return RemoveFrom(filters_, filter); }
bool MessageLoop::AddIdleHandler(IIdleHandler* handler) noexcept { return AddTo(idleHandlers_, handler); }
bool MessageLoop::RemoveIdleHandler(IIdleHandler* handler) noexcept { return RemoveFrom(idleHandlers_, handler); }

bool MessageLoop::Filter(MSG& message) noexcept {
    for (auto it = filters_.rbegin(); it != filters_.rend(); ++it)
        if ((*it)->FilterMessage(message)) return true;
    return false;
}

void MessageLoop::RunIdle() noexcept {
    for (IIdleHandler* handler : idleHandlers_) handler->RunIdle();
}

int MessageLoop::Run() noexcept {
    // Set by every message that may have changed something; one idle pass clears it.
    bool idle = true;
    for (;;) {
        if (idle && !PeekMessageW(&current_, nullptr, 0, 0, PM_NOREMOVE)) {
            RunIdle();
            idle = false;
        }
        const BOOL got = GetMessageW(&current_, nullptr, 0, 0);
        // A failure would repeat at once: going round again would only spin.
        if (got == -1) return kExitMessageLoopFailed;
        if (got == 0) break;
        if (!Filter(current_)) {
            TranslateMessage(&current_);
            DispatchMessageW(&current_);
        }
        if (!KeepsIdlePhaseOver(current_.message)) idle = true;
    }
    return static_cast<int>(current_.wParam);
}

}  // namespace lacqueron
