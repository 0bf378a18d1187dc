#include "ui/find/RecentColourStore.h"

#include <windows.h>

#include <optional>

#include "profile/RegistryKey.h"

namespace lacqueron {
namespace {

constexpr wchar_t kValueName[] = L"Colours";
constexpr char16_t kRecentKeyName[] = u"Recent";
// Anything larger is not a list we wrote; it is not even read.
constexpr DWORD kMaxStoredBytes =
    (RecentColours::kLimit * (RecentColours::kMaxTitle + 1) + 1) * sizeof(char16_t);

enum class Stored { kNone, kDamaged, kRead };

// The stored list, read into recent when the value is a usable string list.
Stored ReadList(HKEY key, RecentColours& recent) {
    DWORD type = 0;
    DWORD size = 0;
    const LSTATUS status = RegQueryValueExW(key, kValueName, nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return Stored::kNone;
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ || size % sizeof(char16_t) != 0 || size > kMaxStoredBytes)
        return Stored::kDamaged;
    WideString content(size / sizeof(char16_t), u'\0');
    if (RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(content.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return Stored::kDamaged;
    content.resize(size / sizeof(char16_t));
    std::optional<RecentColours> parsed = RecentColours::Parse(content);
    if (!parsed) return Stored::kDamaged;
    recent = std::move(*parsed);
    return Stored::kRead;
}

}  // namespace

WideString RecentKeyPathBeside(const WideString& profilePath) {
    const std::size_t separator = profilePath.find_last_of(u"\\/");
    if (separator == WideString::npos) return kRecentKeyName;
    return profilePath.substr(0, separator + 1) + kRecentKeyName;
}

void RecentColourStore::Load(IAppModule& module) noexcept {
    try {
        const RefPtr<IRegistryKey> profile = RefPtr<IRegistryKey>::Adopt(module.GetProfileKey(0));
        if (!profile) return;
        keyPath_ = RecentKeyPathBeside(profile->GetPath());
        const RefPtr<IRegistryKey> key = OpenRegistryPath(keyPath_.c_str());
        if (key && ReadList(static_cast<HKEY>(key->GetHandle()), recent_) == Stored::kDamaged) {
            recent_ = RecentColours();
            Write();
        }
    } catch (...) {
        // Out of memory: the list starts empty and is not stored.
        keyPath_.clear();
        recent_ = RecentColours();
    }
}

bool RecentColourStore::Note(const WideString& title) noexcept {
    try {
        return !recent_.Note(title) || Write();
    } catch (...) {
        return false;  // out of memory: the colour is simply not remembered
    }
}

bool RecentColourStore::Write() noexcept {
    if (keyPath_.empty()) return false;
    const RefPtr<IRegistryKey> key = OpenRegistryPath(keyPath_.c_str());
    if (!key) return false;
    try {
        const WideString content = recent_.Serialise();
        return RegSetValueExW(static_cast<HKEY>(key->GetHandle()), kValueName, 0, REG_MULTI_SZ,
                              reinterpret_cast<const BYTE*>(content.data()),
                              static_cast<DWORD>(content.size() * sizeof(char16_t))) == ERROR_SUCCESS;
    } catch (...) {
        return false;  // out of memory: the stored list stays as it was
    }
}

}  // namespace lacqueron
