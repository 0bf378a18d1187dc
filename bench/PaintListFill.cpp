// The paint list of a shop with 10,000 own recipes, under Wine: the real main dialog on
// the shipped package (216 colours) and a data folder whose recipes.lqr holds 10,000
// recipes saved 20 times each. Times, as medians over several runs, in ms of wall clock
// and of this thread's CPU:
//   open     Create(): the dialog from its template, the store read, 10,216 rows filled
//            and the type-ahead index built;
//   empty    the same with no own recipes, for comparison;
//   show     showing the window and its first paint;
//   refresh  F5 after another bench saved one recipe: the store caught up and every
//            own row put in again;
//   page     one Page Down in the list, painted.
// Usage: paint_list_fill [runs]. The bench value DataFolder is set for the run and
// removed after it, so run it in a throw-away Wine prefix (scripts/wine-env).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "bench/WindowBench.h"
#include "data/catalogue/DataPackage.h"
#include "files/DataFolder.h"
#include "res/resource.h"
#include "ui/main/MainDialog.h"

namespace {

using namespace lacqueron;
using namespace lacqueron::bench;

constexpr int kDefaultRuns = 7;
constexpr std::size_t kRecipes = 10000;
constexpr int kVersionsEach = 20;
constexpr int kPagesPerRun = 10;

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultRuns;
    AppModule module;
    if (!RegisterCipher(module)) return 1;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const WideString full = FromWinText(temp) + u"lacqueron-paint-list-full";
    const WideString empty = FromWinText(temp) + u"lacqueron-paint-list-empty";
    CreateDirectoryW(WinText(full), nullptr);
    CreateDirectoryW(WinText(empty), nullptr);
    const WideString store = full + u"\\recipes.lqr";
    DeleteFileW(WinText(store));
    if (!WriteSampleStore(store, kRecipes, kVersionsEach)) {
        std::printf("the store could not be written\n");
        return 1;
    }

    Figures open, none, show, refresh, page;
    for (int run = 0; run < runs; ++run) {
        StoreDataFolder(empty);
        {
            MainDialog dialog(module, ShippedPackage());
            Clock clock;
            if (!dialog.Create()) return 1;
            none.Add(clock.Elapsed());
            dialog.DestroyWindowIfAny();
            PumpPending();
        }
        StoreDataFolder(full);
        MainDialog dialog(module, ShippedPackage());
        Clock clock;
        HWND window = dialog.Create();
        if (!window) return 1;
        open.Add(clock.Elapsed());
        HWND list = GetDlgItem(window, IDC_PAINT_LIST);
        clock.Restart();
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        show.Add(clock.Elapsed());
        PumpPending();

        // Another bench saves one recipe; F5 puts every own row in again.
        {
            WideString error;
            const std::unique_ptr<OwnRecipeStore> other = OpenOwnRecipes(store, error);
            OwnRecipeId id = 0;
            if (!other || other->Save(id, SampleRecipe(kRecipes + run, 0), CurrentBatchTime()) != JournalAppendResult::Appended)
                return 1;
        }
        const int before = Rows(list);
        clock.Restart();
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_REFRESH, 1), 0);
        UpdateWindow(window);
        refresh.Add(clock.Elapsed());
        if (Rows(list) != before + 1) {
            std::printf("the refresh did not add the row: %d rows\n", Rows(list));
            return 1;
        }

        SetFocus(list);
        ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        UpdateWindow(window);
        PumpPending();
        clock.Restart();
        for (int i = 0; i < kPagesPerRun; ++i) {
            SendMessageW(list, WM_KEYDOWN, VK_NEXT, 0);
            UpdateWindow(window);
        }
        page.Add(clock.Elapsed(), kPagesPerRun);
        PumpPending();
        if (run == 0) std::printf("rows in the list: %d\n", Rows(list));
        dialog.DestroyWindowIfAny();
        PumpPending();
    }
    StoreDataFolder(u"");
    DeleteFileW(WinText(store));
    RemoveDirectoryW(WinText(full));
    RemoveDirectoryW(WinText(empty));

    std::printf("medians of %d runs\n", runs);
    open.Print("open");
    none.Print("empty");
    show.Print("show");
    refresh.Print("refresh");
    page.Print("page");
    return 0;
}
