#include "data/catalogue/Catalogue.h"

namespace lacqueron {

namespace {

char16_t FoldLatin(char16_t c) noexcept {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

}  // namespace

bool EqualFoldLatin(const WideString& a, const WideString& b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldLatin(a[i]) != FoldLatin(b[i])) return false;
    return true;
}

const ColourEntry* Catalogue::findColour(std::int32_t number) const noexcept {
    for (const ColourEntry& colour : colours)
        if (colour.number == number) return &colour;
    return nullptr;
}

WideString Catalogue::setting(const WideString& key) const {
    const SettingEntry* found = nullptr;
    for (const SettingEntry& entry : settings)
        if (EqualFoldLatin(entry.key, key)) found = &entry;
    return found ? found->value : WideString();
}

const MixComponent* Catalogue::findComponent(const WideString& code, std::int32_t purpose) const noexcept {
    for (const MixComponent& component : components) {
        const bool eligible = component.kind == kPigment || (component.kind == kBase && component.purpose == purpose);
        if (eligible && EqualFoldLatin(component.code, code)) return &component;
    }
    return nullptr;
}

const MixComponent* Catalogue::findTermComponent(const WideString& code, std::int32_t ownerPurpose) const noexcept {
    for (const MixComponent& component : components) {
        if (component.kind == kBase && component.purpose != ownerPurpose) continue;
        if (EqualFoldLatin(component.code, code)) return &component;
    }
    return nullptr;
}

}  // namespace lacqueron
