#include "ui/weigh/BenchSettings.h"

#include "profile/BenchKey.h"

namespace lacqueron {
namespace {

const char16_t kResolutionValue[] = u"Resolution";
const char16_t kCapacityValue[] = u"CanCapacity";

}  // namespace

Hundredths LoadBenchResolution() noexcept {
    const RefPtr<IRegistryKey> key = OpenBenchKey();
    std::int32_t stored = 0;
    if (!key || !key->GetDword(kResolutionValue, &stored) || !IsResolution(stored)) return kDefaultResolution;
    return stored;
}

void StoreBenchResolution(Hundredths resolution) noexcept {
    if (const RefPtr<IRegistryKey> key = OpenBenchKey())
        key->SetDword(kResolutionValue, static_cast<std::int32_t>(resolution));
}

std::int32_t LoadBenchCapacity() noexcept {
    const RefPtr<IRegistryKey> key = OpenBenchKey();
    std::int32_t stored = 0;
    if (!key || !key->GetDword(kCapacityValue, &stored) || stored < 0 || stored > kLargestAmount) return 0;
    return stored;
}

void StoreBenchCapacity(std::int32_t grams) noexcept {
    if (const RefPtr<IRegistryKey> key = OpenBenchKey()) key->SetDword(kCapacityValue, grams);
}

ScaleSettings LoadBenchScale() noexcept { return ReadScaleSettings(OpenBenchKey().get()); }

void StoreBenchScale(const ScaleSettings& settings) noexcept {
    if (const RefPtr<IRegistryKey> key = OpenBenchKey()) WriteScaleSettings(key.get(), settings);
}

}  // namespace lacqueron
