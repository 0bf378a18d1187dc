// The matching window under Wine, as a painter uses it: "По&добрать..." pressed on the
// real main dialog over a data folder of 10,000 own recipes, L*a*b* typed, "Подобрать"
// pressed, until the drafts are listed and painted. Times, as medians over several
// runs, in ms of wall clock and of the UI thread's CPU (the search itself runs on a
// worker), to the window made ("opened") and to the drafts painted ("drafts"). Target:
// drafts under 300 ms.
// Usage: match_window_open [runs] [own recipes, 10,000 unless given]. The bench value DataFolder is set for the run and
// removed after it, so run it in a throw-away Wine prefix (scripts/wine-env).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <utility>

#include "bench/WindowBench.h"
#include "data/catalogue/DataPackage.h"
#include "files/DataFolder.h"
#include "res/resource.h"
#include "ui/main/MainDialog.h"

namespace {

using namespace lacqueron;
using namespace lacqueron::bench;

constexpr int kDefaultRuns = 9;
constexpr std::size_t kDefaultRecipes = 10000;
constexpr wchar_t kMatchCaption[] = L"Подбор цвета";
constexpr wchar_t kLabKind[] = L"L*a*b*";
constexpr wchar_t kTypedTarget[] = L"52,3 -4,1 18";
// A run that shows no drafts by then has failed.
constexpr UINT kGiveUpMs = 10000;

// One run: what the hook saw of the window.
struct Run {
    Clock clock;
    HWND window = nullptr;
    std::optional<std::pair<double, double>> opened;  // the window made, before its first paint
    std::optional<std::pair<double, double>> searched;  // the worker's outcome taken off the queue
    std::optional<std::pair<double, double>> shown;
};
Run* current = nullptr;

bool IsMatchWindow(HWND window) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    return std::wcscmp(caption, kMatchCaption) == 0;
}

// Types the target as a painter does once the window stands, and notes the moment the
// drafts are in: the window enables "Взвесить..." when it has listed them and chosen
// the first.
LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && current) {
        if (message->message == WM_INITDIALOG && IsMatchWindow(message->hwnd)) {
            current->window = message->hwnd;
            current->opened = current->clock.Elapsed();
            HWND kind = GetDlgItem(message->hwnd, IDC_MATCH_KIND);
            const LRESULT lab = SendMessageW(kind, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(kLabKind));
            SendMessageW(kind, CB_SETCURSEL, static_cast<WPARAM>(lab), 0);
            SendMessageW(message->hwnd, WM_COMMAND, MAKEWPARAM(IDC_MATCH_KIND, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(kind));
            SetDlgItemTextW(message->hwnd, IDC_MATCH_TEXT, kTypedTarget);
            PostMessageW(GetDlgItem(message->hwnd, IDC_MATCH_RUN), BM_CLICK, 0, 0);
        } else if (message->message == WM_ENABLE && message->wParam && current->window && !current->shown &&
                   GetParent(message->hwnd) == current->window &&
                   GetDlgCtrlID(message->hwnd) == IDC_MATCH_WEIGH) {
            RedrawWindow(current->window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            current->shown = current->clock.Elapsed();
            PostMessageW(current->window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The worker posts its outcome to the window; the first message the window takes after
// the search started is that one, as nothing else is posted to it meanwhile.
constexpr UINT kSearchOutcome = WM_APP + 1;
LRESULT CALLBACK TakenMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && current && current->window && !current->searched &&
        message->hwnd == current->window && message->message == kSearchOutcome)
        current->searched = current->clock.Elapsed();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Ends the window of a run that never showed its drafts.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    if (current && current->window && !current->shown)
        PostMessageW(current->window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultRuns;
    const std::size_t recipes = argc > 2 ? static_cast<std::size_t>(std::max(0, _wtoi(argv[2]))) : kDefaultRecipes;
    AppModule module;
    if (!RegisterCipher(module)) return 1;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const WideString folder = FromWinText(temp) + u"lacqueron-match-window";
    CreateDirectoryW(WinText(folder), nullptr);
    const WideString store = folder + u"\\recipes.lqr";
    DeleteFileW(WinText(store));
    if (!WriteSampleStore(store, recipes, 1)) {
        std::printf("the store could not be written\n");
        return 1;
    }
    StoreDataFolder(folder);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessage, nullptr, GetCurrentThreadId());
    HHOOK taken = SetWindowsHookExW(WH_GETMESSAGE, &TakenMessage, nullptr, GetCurrentThreadId());
    if (!hook || !taken) return 1;

    int status = 0;
    Figures opened, searched, shown;
    {
        MainDialog dialog(module, ShippedPackage());
        HWND window = dialog.Create();
        if (!window) return 1;
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        PumpPending();
        for (int i = 0; i < runs && status == 0; ++i) {
            Run run;
            current = &run;
            const UINT_PTR timer = SetTimer(nullptr, 0, kGiveUpMs, &GiveUp);
            run.clock.Restart();
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_MATCH, BN_CLICKED), 0);
            KillTimer(nullptr, timer);
            current = nullptr;
            if (!run.shown) {
                std::printf("run %d: the window showed no drafts\n", i + 1);
                status = 1;
            } else {
                opened.Add(*run.opened);
                if (run.searched) searched.Add(*run.searched);
                shown.Add(*run.shown);
            }
            PumpPending();
        }
        dialog.DestroyWindowIfAny();
        PumpPending();
    }
    UnhookWindowsHookEx(taken);
    UnhookWindowsHookEx(hook);
    StoreDataFolder(u"");
    DeleteFileW(WinText(store));
    RemoveDirectoryW(WinText(folder));
    if (status != 0) return status;
    std::printf("medians of %d runs, %zu own recipes in the data folder\n", runs, recipes);
    opened.Print("opened");
    searched.Print("searched");
    shown.Print("drafts");
    return 0;
}
