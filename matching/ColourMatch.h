// What a colour match needs from the package and the shop, one way for the matching
// window and for `datapack match` and `nearest`: the target from what was typed or
// measured, the purpose's base and pastes, the drafts' words and the similar colours.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Drafting.h"
#include "colour/TargetText.h"
#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"
#include "ownrecipes/OwnRecipeStore.h"

namespace lacqueron {

enum class TargetKind { kRalClassic, kRalDesign, kLab, kMeasurement, kScreen };

struct TargetInput {
    TargetKind kind = TargetKind::kLab;
    std::string text;       // UTF-8: the code, "H L C", "L a b"; a measurement file's contents
    std::string sample;     // the measurement's sample name or id; empty: the first one
    std::uint32_t rgb = 0;  // a screen colour, red in the low byte
};

struct MatchTarget {
    colour::Target target;
    bool approximate = false;     // a screen colour: picked, or a RAL Classic code's
    colour::Spectrum measured{};  // the reflectance, with a measurement
    colour::TargetProblem problem = colour::TargetProblem::kNone;
    int line = 0;        // with kFileUnreadable: the reader's line and English reason
    std::string reason;
    bool ok() const noexcept { return problem == colour::TargetProblem::kNone; }
};

MatchTarget ReadMatchTarget(const Catalogue& catalogue, const TargetInput& input);

// The catalogue colour of a RAL Classic code, "3020" or "RAL 3020", case folded; null
// when the collection has none.
const ColourEntry* FindRalClassic(const Catalogue& catalogue, std::u16string_view code);

// Drafts are for the purpose's base of this code; what is poured is the recipe times
// its pigment factor.
constexpr char16_t kMatchBaseCode[] = u"OSN";
constexpr double kMatchBaseGrams = 1000;
// The pigment factor of the purpose's base; none when the package lacks the base.
std::optional<double> MatchPigmentFactor(const Catalogue& catalogue, std::int32_t purpose);

bool IsPackagePaste(const Catalogue& catalogue, std::string_view code);
// Indices of the optics pastes that are pastes of the package and, when `allowed` is
// given, that it allows (those in stock).
std::vector<int> PackagePastes(const Catalogue& catalogue, const colour::OpticsTable& table,
                               const std::function<bool(const MixComponent&)>& allowed = {});
// Price per gram of each optics paste from a price per kilogram in kopecks; negative
// where there is none. Empty when no paste has a price.
std::vector<double> PastePricesPerGram(const Catalogue& catalogue, const colour::OpticsTable& table,
                                       const std::function<std::optional<std::int64_t>(const MixComponent&)>& perKg);

// The best draft further than this from the target is beyond the pastes' reach.
constexpr double kWithinReachDeltaE = 1.0;
constexpr double kExcellentDeltaE = 1.0;
constexpr double kGoodDeltaE = 2.0;
constexpr double kNoticeableDeltaE = 4.0;
bool BeyondReach(std::span<const colour::Draft> drafts);
// "отлично" to 1, "хорошо" to 2, "заметно" to 4, "сильно отличается" beyond.
WideString DeltaEWord(double deltaE);

// A catalogue colour or an own recipe near the target.
struct SimilarColour {
    bool own = false;
    WideString code, name;
    double deltaE = 0;
};

// An own recipe's colour: the target it was matched to when kept, else its screen colour.
colour::Lab OwnColourLab(const OwnRecipe& recipe);
// At most top, nearest first: the catalogue's colours, then the own recipes.
std::vector<SimilarColour> SimilarColours(const Catalogue& catalogue, std::span<const OwnRecipeCurrent> own,
                                          const colour::Lab& target, int top);

}  // namespace lacqueron
