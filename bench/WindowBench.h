// What the window benchmarks under Wine share: a clock of wall and thread CPU time,
// medians, the program's services, and a data folder of sample own recipes.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/AppModule.h"
#include "data/cipher/Cipher.h"
#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "ownrecipes/OwnRecipeStore.h"

namespace lacqueron::bench {

constexpr double kTicksPerMs = 10000.0;  // FILETIME counts 100 ns

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
    static double Largest(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
    void Print(const char* name) const {
        std::printf("%-8s wall %8.1f ms   cpu %8.1f ms   (slowest wall %.1f ms)\n", name, Median(wall), Median(cpu),
                    Largest(wall));
    }
};

inline void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The services the catalogue loader reaches through the module, as the program registers them.
inline bool RegisterCipher(AppModule& module) {
    RefPtr<ICipherFactory> factory = CreateCipherFactory();
    return module.RegisterService(factory.get(), iid::CipherFactory, kOwnsReference) == 1;
}

inline WideString Digits(std::size_t number) {
    const std::string digits = std::to_string(number);
    return WideString(digits.begin(), digits.end());
}

// A lab's recipe: a code, a name, a note, a base and three pastes; each version a little different.
inline OwnRecipe SampleRecipe(std::size_t number, int version) {
    const Thousandths paste = 1000 + version;
    return {u"К-" + Digits(number), u"Бежевый заказчика " + Digits(number), u"Заказ " + Digits(number),
            0x88BACD, {{u"B1", 1000000}, {u"P1", paste}, {u"P2", 146}, {u"P3", 12}}, {}};
}

// recipes.lqr at path: `recipes` recipes, each saved `versions` times.
inline bool WriteSampleStore(const WideString& path, std::size_t recipes, int versions) {
    WideString error;
    const std::unique_ptr<OwnRecipeStore> store = OpenOwnRecipes(path, error);
    if (!store) return false;
    std::vector<OwnRecipeId> ids;
    std::vector<OwnRecipe> saved(recipes);
    for (int version = 0; version < versions; ++version) {
        for (std::size_t i = 0; i < recipes; ++i) saved[i] = SampleRecipe(i, version);
        if (store->SaveAll(ids, saved, CurrentBatchTime()) != JournalAppendResult::Appended) return false;
    }
    return true;
}

}  // namespace lacqueron::bench
