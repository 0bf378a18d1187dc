#include "profile/BenchKey.h"

#include <vector>

#include "profile/RegistryKey.h"

namespace lacqueron {

RefPtr<IRegistryKey> OpenBenchKey() noexcept { return OpenRegistryPath(kBenchKeyPath); }

WideString LoadBenchText(const char16_t* name) noexcept {
    const RefPtr<IRegistryKey> key = OpenBenchKey();
    if (!key) return {};
    // Asked without a buffer, the key answers the stored size in bytes.
    const std::int32_t bytes = key->GetString(name, nullptr, 0);
    if (bytes <= 0) return {};
    try {
        std::vector<char16_t> text(static_cast<std::size_t>(bytes) / sizeof(char16_t) + 1, u'\0');
        const std::int32_t length = key->GetString(name, text.data(), static_cast<std::uint32_t>(text.size()));
        return length > 0 ? WideString(text.data(), static_cast<std::size_t>(length)) : WideString();
    } catch (...) {
        return {};
    }
}

bool StoreBenchText(const char16_t* name, const WideString& text) noexcept {
    const RefPtr<IRegistryKey> key = OpenBenchKey();
    if (!key) return false;
    if (text.empty()) return key->DeleteValue(name) != 0 || key->GetValueKind(name) == kValueMissing;
    return key->SetString(name, text.c_str()) != 0;
}

}  // namespace lacqueron
