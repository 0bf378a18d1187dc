#include "ledger/ComponentKeys.h"

#include <algorithm>

#include "core/IntegerText.h"
#include "formula/RecipeText.h"
#include "ledger/Costing.h"

namespace lacqueron {
namespace {

constexpr char16_t kBaseLetter = u'B';
constexpr char16_t kPurposeMark = u'/';

bool Priced(const MixComponent& component) {
    // A mixed base counts as its parts.
    return !(component.kind == kBase && component.hasFormula());
}

}  // namespace

ComponentKey BaseKey(std::uint32_t purpose, const WideString& code) {
    return kBaseLetter + IntegerText(purpose) + kPurposeMark + code;
}

ComponentKey LedgerKey(const MixComponent& component) {
    if (component.kind == kBase) return BaseKey(static_cast<std::uint32_t>(component.purpose), component.code);
    return component.code;
}

SharedKeys::SharedKeys(const Catalogue& catalogue) {
    std::vector<const MixComponent*> bases;
    for (const MixComponent& component : catalogue.components) {
        if (component.kind != kBase || !Priced(component)) continue;
        const auto same = std::find_if(bases.begin(), bases.end(), [&](const MixComponent* first) {
            return first->code == component.code && first->name == component.name &&
                   first->density == component.density;
        });
        if (same == bases.end())
            bases.push_back(&component);
        else if ((*same)->purpose != component.purpose)
            aliases_.try_emplace(LedgerKey(component), LedgerKey(**same));
    }
}

const ComponentKey& SharedKeys::Of(const ComponentKey& key) const noexcept {
    const auto found = aliases_.find(key);
    return found == aliases_.end() ? key : found->second;
}

ComponentKey SharedKeys::KeyOf(const MixComponent& component) const { return Of(LedgerKey(component)); }

std::vector<LedgerComponent> LedgerComponents(const Catalogue& catalogue) {
    const SharedKeys keys(catalogue);
    std::vector<LedgerComponent> components;
    for (const MixComponent& component : catalogue.components)
        // A paste several purposes share is listed once, at the first of them.
        if (Priced(component) && keys.Of(LedgerKey(component)) == LedgerKey(component))
            components.push_back({LedgerKey(component), ComponentDisplayName(component)});
    return components;
}

BatchComponentKeys::BatchComponentKeys(const Catalogue& catalogue) : catalogue_(catalogue), shared_(catalogue) {
    for (const MixComponent& component : catalogue.components) {
        if (!Priced(component)) continue;
        const bool base = component.kind == kBase;
        if (base && (component.purpose < 1 || component.purpose > static_cast<std::int32_t>(kLastPurpose))) continue;
        byName_[base ? component.purpose : 0].try_emplace(ComponentDisplayName(component), shared_.KeyOf(component));
    }
}

ComponentKey BatchComponentKeys::KeyOf(const BatchComponent& component, std::uint32_t purpose) const {
    const bool purposeKnown = purpose >= kFirstPurpose && purpose <= kLastPurpose;
    if (!component.code.empty()) {
        if (purposeKnown) {
            const MixComponent* found = catalogue_.findComponent(component.code, static_cast<std::int32_t>(purpose));
            if (found) return shared_.KeyOf(*found);
        }
        for (const MixComponent& other : catalogue_.components)
            if (other.kind == kOther && other.code == component.code) return other.code;
        return component.code;
    }
    for (const std::uint32_t names : {purposeKnown ? purpose : 0u, 0u}) {
        const auto found = byName_[names].find(component.name);
        if (found != byName_[names].end()) return found->second;
    }
    return component.name;
}

}  // namespace lacqueron
