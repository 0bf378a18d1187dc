#include "tests/ui/shared/ModalDriver.h"

#include <cwchar>

namespace lacqueron::testing {
namespace {

ModalDriver* g_active = nullptr;

struct Search {
    const wchar_t* caption;
    HWND found;
};

bool IsDialog(HWND window) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return wcscmp(className, L"#32770") == 0;
}

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) noexcept {
    auto& search = *reinterpret_cast<Search*>(context);
    if (IsDialog(window) && IsWindowVisible(window) && WindowText(window) == search.caption) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CloseDialog(HWND window, LPARAM) noexcept {
    if (IsDialog(window)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

BOOL CALLBACK CollectText(HWND window, LPARAM context) noexcept {
    auto& texts = *reinterpret_cast<std::vector<std::wstring>*>(context);
    try {
        texts.push_back(WindowText(window));
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ModalDriver::ModalDriver(std::vector<Step> steps, DWORD timeoutMs)
    : steps_(std::move(steps)), deadline_(GetTickCount64() + timeoutMs) {
    g_active = this;
    timer_ = SetTimer(nullptr, 0, 15, &Tick);
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, timer_);
    g_active = nullptr;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (g_active) g_active->RunSteps();
}

void ModalDriver::RunSteps() noexcept {
    if (GetTickCount64() > deadline_) {
        if (!timedOut_) EnumThreadWindows(GetCurrentThreadId(), &CloseDialog, 0);
        timedOut_ = true;
        return;
    }
    // A step that sends a message may run a nested loop that ticks again.
    if (running_) return;
    running_ = true;
    while (next_ < steps_.size()) {
        bool done = false;
        try {
            done = steps_[next_]();
        } catch (...) {
            timedOut_ = true;
        }
        if (!done) break;
        ++next_;
    }
    running_ = false;
}

HWND CreateOwnerWindow(int x, int y, int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LacqueronTestOwner";
    RegisterClassW(&windowClass);  // fails harmlessly from the second call on
    return CreateWindowExW(0, L"LacqueronTestOwner", L"owner", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND FindDialog(const wchar_t* caption) {
    Search search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

HWND FindOwnedWindow(HWND owner) {
    HWND ownerAndFound[2] = {owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM pair) -> BOOL {
            HWND* ownerAndFound = reinterpret_cast<HWND*>(pair);
            if (window == ownerAndFound[0] || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != ownerAndFound[0])
                return TRUE;
            ownerAndFound[1] = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(ownerAndFound));
    return ownerAndFound[1];
}

void ChooseFileName(HWND fileDialog, const std::wstring& path) {
    // The name field: a combo box in the Explorer style, an edit in the old one.
    constexpr int kFileNameCombo = 1148;
    constexpr int kFileNameEdit = 1152;
    HWND name = GetDlgItem(fileDialog, kFileNameCombo) ? GetDlgItem(fileDialog, kFileNameCombo)
                                                       : GetDlgItem(fileDialog, kFileNameEdit);
    SetWindowTextW(name, path.c_str());
    PostMessageW(fileDialog, WM_COMMAND, IDOK, 0);
}

ModalDriver::Step AnswerBox(const wchar_t* caption, int buttonId, SeenBox& seen) {
    return [caption, buttonId, &seen] {
        HWND box = FindDialog(caption);
        if (!box) return false;
        seen.caption = WindowText(box);
        seen.texts = ChildTexts(box);
        seen.owner = GetWindow(box, GW_OWNER);
        PostMessageW(GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
        return true;
    };
}

}  // namespace lacqueron::testing
