#include "data/catalogue/UnitAndPurpose.h"

#include <span>

namespace lacqueron {
namespace {

WideString ChoiceName(std::span<const ChoiceText> choices, std::uint32_t value) {
    for (const ChoiceText& choice : choices)
        if (choice.value == value) return choice.text;
    return {};
}

}  // namespace

WideString UnitName(std::uint32_t unit) { return ChoiceName(kUnitChoices, unit); }

WideString PurposeName(std::uint32_t purpose) { return ChoiceName(kPurposeChoices, purpose); }

}  // namespace lacqueron
