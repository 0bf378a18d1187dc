#include "app/ProfileSave.h"

namespace lacqueron {

void SaveProfileValues(IAppModule& module, const ProfileValues& values) noexcept {
    RefPtr<IRegistryKey> key = RefPtr<IRegistryKey>::Adopt(module.GetProfileKey(0));
    if (!key) return;
    key->SetDword(u"TargetWeight", values.targetWeight);
    key->SetDword(u"WeightType", static_cast<std::int32_t>(values.weightType));
    key->SetDword(u"Purpose", static_cast<std::int32_t>(values.purpose));
}

}  // namespace lacqueron
