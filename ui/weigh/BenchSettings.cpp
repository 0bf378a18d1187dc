#include "ui/weigh/BenchSettings.h"

#include "profile/RegistryKey.h"

namespace lacqueron {
namespace {

const char16_t kBenchKeyPath[] = u"Software\\VELM\\Lacqueron\\1.0\\Bench";
const char16_t kResolutionValue[] = u"Resolution";

}  // namespace

Hundredths LoadBenchResolution() noexcept {
    const RefPtr<IRegistryKey> key = OpenRegistryPath(kBenchKeyPath);
    std::int32_t stored = 0;
    if (!key || !key->GetDword(kResolutionValue, &stored) || !IsResolution(stored)) return kDefaultResolution;
    return stored;
}

void StoreBenchResolution(Hundredths resolution) noexcept {
    if (const RefPtr<IRegistryKey> key = OpenRegistryPath(kBenchKeyPath))
        key->SetDword(kResolutionValue, static_cast<std::int32_t>(resolution));
}

}  // namespace lacqueron
