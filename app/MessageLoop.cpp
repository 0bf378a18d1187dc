#include "app/MessageLoop.h"

#include <algorithm>
#include <map>
#include <mutex>
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

std::map<DWORD, MessageLoop*>& LoopsByThread() {
    static std::map<DWORD, MessageLoop*> loops;
    return loops;
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

int MessageLoop::RunIdle(int) noexcept {
    for (IIdleHandler* handler : idleHandlers_) handler->RunIdle();
    return 0;
}

int MessageLoop::Run() noexcept {
    bool idle = true;
    int idleCount = 0;
    for (;;) {
        while (idle && !PeekMessageW(&current_, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!RunIdle(idleCount++)) idle = false;
        }
        const BOOL got = GetMessageW(&current_, nullptr, 0, 0);
        if (got == -1) continue;
        if (got == 0) break;
        if (!Filter(current_)) {
            TranslateMessage(&current_);
            DispatchMessageW(&current_);
        }
        if (!KeepsIdlePhaseOver(current_.message)) {
            idle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(current_.wParam);
}

void RegisterMessageLoop(AppModule& module, MessageLoop* loop) noexcept {
    std::lock_guard<std::mutex> guard(module.Lock());
    try {
        LoopsByThread()[GetCurrentThreadId()] = loop;
    } catch (const std::bad_alloc&) {
    }
}

void UnregisterMessageLoop(AppModule& module) noexcept {
    std::lock_guard<std::mutex> guard(module.Lock());
    LoopsByThread().erase(GetCurrentThreadId());
}

}  // namespace lacqueron
