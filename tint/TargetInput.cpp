#include "tint/TargetInput.h"

#include <string>

#include "core/Utf8.h"

namespace lacqueron {

namespace {

constexpr char kRalPrefix[] = "RAL ";

std::string_view Trimmed(std::string_view text) noexcept {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

const ColourEntry* FindCatalogueColour(const Catalogue& catalogue, std::string_view code) {
    std::string wanted(Trimmed(code));
    if (!wanted.starts_with(kRalPrefix)) wanted = kRalPrefix + wanted;
    for (const ColourEntry& entry : catalogue.colours)
        if (ToUtf8(entry.code) == wanted) return &entry;
    return nullptr;
}

TargetInputResult ReadTargetInput(const Catalogue& catalogue, std::string_view text, colour::Lab& lab) {
    switch (colour::ParseLabText(text, lab)) {
    case colour::TargetProblem::kNone: return TargetInputResult::kLab;
    case colour::TargetProblem::kLightnessOutside: return TargetInputResult::kLightnessOutOfRange;
    case colour::TargetProblem::kOpponentOutside: return TargetInputResult::kAxisOutOfRange;
    default: break;  // not L*a*b*: a code, perhaps
    }
    const ColourEntry* entry = FindCatalogueColour(catalogue, text);
    if (!entry) return TargetInputResult::kNoSuchColour;
    lab = colour::LabFromScreenColour(entry->rgb);
    return TargetInputResult::kCatalogueColour;
}

}  // namespace lacqueron
