// The bench's resolution as stored in the registry: usable values are read, anything
// else falls back to the default, and writing leaves the profile key alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "ui/weigh/BenchSettings.h"

namespace lacqueron {
namespace {

constexpr wchar_t kBenchKey[] = L"Software\\VELM\\Lacqueron\\1.0\\Bench";
constexpr wchar_t kProfileKey[] = L"Software\\VELM\\Lacqueron\\1.0\\Profile";

struct StoredCase {
    std::optional<DWORD> dword;  // none: the value is written as text "10"
    Hundredths expected;
};

class BenchResolution : public ::testing::TestWithParam<StoredCase> {
protected:
    void TearDown() override { RegDeleteKeyW(HKEY_CURRENT_USER, kBenchKey); }
};

TEST_P(BenchResolution, ReadsUsableValuesOnly) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::optional<DWORD> dword = GetParam().dword;
    const wchar_t text[] = L"10";
    if (dword)
        RegSetValueExW(key, L"Resolution", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*dword), sizeof *dword);
    else
        RegSetValueExW(key, L"Resolution", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(key);
    EXPECT_EQ(LoadBenchResolution(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Stored, BenchResolution,
                         ::testing::Values(StoredCase{1, 1}, StoredCase{10, 10}, StoredCase{100, 100},
                                           StoredCase{0, 1}, StoredCase{7, 1}, StoredCase{1000, 1},
                                           StoredCase{std::nullopt, 1}));

TEST(BenchSettings, StoringWritesOnlyTheBenchKey) {
    RegDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    // The profile key exists, as it does once the program has run, so a value written
    // there by mistake would be found.
    HKEY profile = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProfileKey, 0, nullptr, 0, KEY_READ, nullptr, &profile, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(LoadBenchResolution(), kDefaultResolution) << "no key";
    StoreBenchResolution(kResolutionGram);
    EXPECT_EQ(LoadBenchResolution(), kResolutionGram);
    EXPECT_EQ(RegQueryValueExW(profile, L"Resolution", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    RegCloseKey(profile);
    if (disposition == REG_CREATED_NEW_KEY) RegDeleteKeyW(HKEY_CURRENT_USER, kProfileKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
}

}  // namespace
}  // namespace lacqueron
