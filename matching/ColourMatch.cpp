#include "matching/ColourMatch.h"

#include "colour/Nearest.h"
#include "core/Utf8.h"
#include "data/text/TextFold.h"

namespace lacqueron {
namespace {

constexpr char16_t kRalPrefix[] = u"RAL ";
constexpr double kGramsPerKilogram = 1000;

}  // namespace

const ColourEntry* FindRalClassic(const Catalogue& catalogue, std::u16string_view code) {
    WideString wanted = FoldText(TrimSpaces(code));
    const WideString prefix = FoldText(kRalPrefix);
    if (!wanted.starts_with(prefix)) wanted = prefix + wanted;
    for (const ColourEntry& entry : catalogue.colours)
        if (FoldText(entry.code) == wanted) return &entry;
    return nullptr;
}

MatchTarget ReadMatchTarget(const Catalogue& catalogue, const TargetInput& input) {
    MatchTarget read;
    colour::Lab lab;
    switch (input.kind) {
    case TargetKind::kRalClassic: {
        const WideString code = FromUtf8Lenient(input.text);
        if (TrimSpaces(code).empty()) {
            read.problem = colour::TargetProblem::kEmpty;
        } else if (const ColourEntry* entry = FindRalClassic(catalogue, code)) {
            read.target = colour::TargetFromLab(colour::LabFromScreenColour(entry->rgb));
            read.approximate = true;
        } else {
            read.problem = colour::TargetProblem::kUnknownCode;
        }
        return read;
    }
    case TargetKind::kRalDesign:
    case TargetKind::kLab:
        read.problem = input.kind == TargetKind::kLab ? colour::ParseLabText(input.text, lab)
                                                      : colour::ParseHlcText(input.text, lab);
        if (read.ok()) read.target = colour::TargetFromLab(lab);
        return read;
    case TargetKind::kMeasurement: {
        colour::MeasurementError error;
        if (colour::SpectrumFromMeasurement(input.text, input.sample, read.measured, error)) {
            read.target = colour::TargetFromSpectrum(read.measured);
        } else {
            read.problem = error.problem;
            read.line = error.line;
            read.reason = error.reason;
        }
        return read;
    }
    case TargetKind::kScreen:
        read.target = colour::TargetFromLab(colour::LabFromScreenColour(input.rgb));
        read.approximate = true;
        return read;
    }
    return read;
}

std::optional<double> MatchPigmentFactor(const Catalogue& catalogue, std::int32_t purpose) {
    const MixComponent* base = catalogue.findComponent(kMatchBaseCode, purpose);
    if (!base) return std::nullopt;
    return base->hasPigmentFactor() ? base->pigmentFactor : 1.0;
}

namespace {

const MixComponent* PackagePaste(const Catalogue& catalogue, std::string_view code) {
    const MixComponent* component = catalogue.findComponent(FromUtf8Lenient(code), 0);
    return component && component->kind == kPigment ? component : nullptr;
}

}  // namespace

bool IsPackagePaste(const Catalogue& catalogue, std::string_view code) { return PackagePaste(catalogue, code); }

std::vector<int> PackagePastes(const Catalogue& catalogue, const colour::OpticsTable& table,
                               const std::function<bool(const MixComponent&)>& allowed) {
    std::vector<int> pastes;
    for (std::size_t i = 0; i < table.pastes.size(); ++i)
        if (const MixComponent* paste = PackagePaste(catalogue, table.pastes[i].code);
            paste && (!allowed || allowed(*paste)))
            pastes.push_back(static_cast<int>(i));
    return pastes;
}

std::vector<double> PastePricesPerGram(const Catalogue& catalogue, const colour::OpticsTable& table,
                                       const std::function<std::optional<std::int64_t>(const MixComponent&)>& perKg) {
    std::vector<double> perGram;
    bool any = false;
    for (const colour::PasteOptics& optics : table.pastes) {
        const MixComponent* paste = PackagePaste(catalogue, optics.code);
        const std::optional<std::int64_t> price = paste ? perKg(*paste) : std::nullopt;
        perGram.push_back(price ? static_cast<double>(*price) / kGramsPerKilogram : -1.0);
        any = any || price;
    }
    if (!any) perGram.clear();
    return perGram;
}

bool BeyondReach(std::span<const colour::Draft> drafts) {
    return drafts.empty() || drafts.front().deltaE > kWithinReachDeltaE;
}

WideString DeltaEWord(double deltaE) {
    if (deltaE <= kExcellentDeltaE) return u"отлично";
    if (deltaE <= kGoodDeltaE) return u"хорошо";
    if (deltaE <= kNoticeableDeltaE) return u"заметно";
    return u"сильно отличается";
}

colour::Lab OwnColourLab(const OwnRecipe& recipe) {
    if (recipe.target) return {recipe.target->l, recipe.target->a, recipe.target->b};
    return colour::LabFromScreenColour(recipe.rgb);
}

std::vector<SimilarColour> SimilarColours(const Catalogue& catalogue, std::span<const OwnRecipeCurrent> own,
                                          const colour::Lab& target, int top) {
    std::vector<SimilarColour> all;
    std::vector<colour::Lab> labs;
    for (const ColourEntry& entry : catalogue.colours) {
        all.push_back({false, entry.code, entry.name, 0});
        labs.push_back(colour::LabFromScreenColour(entry.rgb));
    }
    for (const OwnRecipeCurrent& current : own) {
        all.push_back({true, current.recipe.code, current.recipe.name, 0});
        labs.push_back(OwnColourLab(current.recipe));
    }
    std::vector<SimilarColour> nearest;
    for (const colour::NearColour& near : colour::NearestColours(labs, target, top)) {
        nearest.push_back(all[near.index]);
        nearest.back().deltaE = near.deltaE;
    }
    return nearest;
}

}  // namespace lacqueron
