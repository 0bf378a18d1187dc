#include "ledger/ComponentKeys.h"

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

std::vector<LedgerComponent> LedgerComponents(const Catalogue& catalogue) {
    std::vector<LedgerComponent> components;
    for (const MixComponent& component : catalogue.components)
        if (Priced(component)) components.push_back({LedgerKey(component), ComponentDisplayName(component)});
    return components;
}

BatchComponentKeys::BatchComponentKeys(const Catalogue& catalogue) : catalogue_(catalogue) {
    for (const MixComponent& component : catalogue.components) {
        if (!Priced(component)) continue;
        const bool base = component.kind == kBase;
        if (base && (component.purpose < 1 || component.purpose > static_cast<std::int32_t>(kLastPurpose))) continue;
        byName_[base ? component.purpose : 0].try_emplace(ComponentDisplayName(component), LedgerKey(component));
    }
}

ComponentKey BatchComponentKeys::KeyOf(const BatchComponent& component, std::uint32_t purpose) const {
    const bool purposeKnown = purpose >= kFirstPurpose && purpose <= kLastPurpose;
    if (!component.code.empty()) {
        if (purposeKnown) {
            const MixComponent* found = catalogue_.findComponent(component.code, static_cast<std::int32_t>(purpose));
            if (found) return LedgerKey(*found);
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
