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

#include "core/AppModule.h"
#include "data/catalogue/DataPackage.h"
#include "data/cipher/Cipher.h"
#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "res/resource.h"
#include "ui/main/MainDialog.h"

namespace {

using namespace lacqueron;

constexpr int kDefaultRuns = 7;
constexpr std::size_t kRecipes = 10000;
constexpr int kVersionsEach = 20;
constexpr int kPagesPerRun = 10;
constexpr double kTicksPerMs = 10000.0;  // FILETIME counts 100 ns

WideString Digits(std::size_t number) {
    const std::string digits = std::to_string(number);
    return WideString(digits.begin(), digits.end());
}

// A lab's recipe: a code, a name, a note, a base and three pastes; each version a little different.
OwnRecipe Sample(std::size_t number, int version) {
    const Thousandths paste = 1000 + version;
    return {u"К-" + Digits(number), u"Бежевый заказчика " + Digits(number), u"Заказ " + Digits(number),
            0x88BACD, {{u"B1", 1000000}, {u"P1", paste}, {u"P2", 146}, {u"P3", 12}}, {}};
}

bool WriteStore(const WideString& path) {
    WideString error;
    const std::unique_ptr<OwnRecipeStore> store = OpenOwnRecipes(path, error);
    if (!store) return false;
    std::vector<OwnRecipeId> ids;
    std::vector<OwnRecipe> recipes(kRecipes);
    for (int version = 0; version < kVersionsEach; ++version) {
        for (std::size_t i = 0; i < kRecipes; ++i) recipes[i] = Sample(i, version);
        if (store->SaveAll(ids, recipes, CurrentBatchTime()) != JournalAppendResult::Appended) return false;
    }
    return true;
}

class Clock {
public:
    Clock() { Restart(); }
    void Restart() {
        QueryPerformanceCounter(&wall_);
        cpu_ = ThreadCpu();
    }
    // Wall and CPU ms since the restart.
    std::pair<double, double> Elapsed() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        const double wall = static_cast<double>(now.QuadPart - wall_.QuadPart) * 1000.0 / frequency.QuadPart;
        return {wall, static_cast<double>(ThreadCpu() - cpu_) / kTicksPerMs};
    }

private:
    static ULONGLONG ThreadCpu() {
        FILETIME created, exited, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
        const auto ticks = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
        return ticks(kernel) + ticks(user);
    }
    LARGE_INTEGER wall_;
    ULONGLONG cpu_;
};

struct Figures {
    std::vector<double> wall, cpu;
    void Add(const std::pair<double, double>& elapsed, double divisor = 1) {
        wall.push_back(elapsed.first / divisor);
        cpu.push_back(elapsed.second / divisor);
    }
    static double Median(std::vector<double> v) {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    void Print(const char* name) const {
        std::printf("%-8s wall %8.1f ms   cpu %8.1f ms\n", name, Median(wall), Median(cpu));
    }
};

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The services the catalogue loader reaches through the module, as the program registers them.
bool RegisterCipher(AppModule& module) {
    RefPtr<ICipherFactory> factory = CreateCipherFactory();
    return module.RegisterService(factory.get(), iid::CipherFactory, kOwnsReference) == 1;
}

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
    if (!WriteStore(store)) {
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
            if (!other || other->Save(id, Sample(kRecipes + run, 0), CurrentBatchTime()) != JournalAppendResult::Appended)
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
