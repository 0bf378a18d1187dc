// Acting on modal windows from inside their own modal loop: a thread timer runs the
// steps of a script, one after another, each until it reports done. A script that
// does not finish in time closes every dialog of the thread so the test ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lacqueron::testing {

class ModalDriver {
public:
    // A step returns true when it is done, false to be tried again at the next tick.
    using Step = std::function<bool()>;

    explicit ModalDriver(std::vector<Step> steps, DWORD timeoutMs = 10000);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Every step ran before the deadline.
    bool Finished() const { return next_ == steps_.size() && !timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void RunSteps() noexcept;

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool timedOut_ = false;
    bool running_ = false;
    ULONGLONG deadline_;
    UINT_PTR timer_;
};

// A visible plain top-level window at x, y of width by height, to own the dialogs
// under test; null on failure. The caller destroys it.
HWND CreateOwnerWindow(int x, int y, int width, int height);

// A visible dialog of this thread with the caption; null when there is none.
HWND FindDialog(const wchar_t* caption);
// The texts of a window's direct children, in z order.
std::vector<std::wstring> ChildTexts(HWND window);
std::wstring WindowText(HWND window);

// The visible window of this thread that `owner` owns, a common dialog opened over it;
// null when there is none.
HWND FindOwnedWindow(HWND owner);
// Types the path into a file dialog's name field and presses its OK.
void ChooseFileName(HWND fileDialog, const std::wstring& path);

// A message box as the driver saw it.
struct SeenBox {
    std::wstring caption;
    std::vector<std::wstring> texts;
    HWND owner = nullptr;
};

// A step that waits for a visible dialog with the caption, records it and presses its
// button id (BM_CLICK).
ModalDriver::Step AnswerBox(const wchar_t* caption, int buttonId, SeenBox& seen);

}  // namespace lacqueron::testing
