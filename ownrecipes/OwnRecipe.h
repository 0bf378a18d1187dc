// A recipe of the shop's own: the package's recipe form (a base and pastes by their
// package codes, in grams per 1000 g of base) with a code, a name, a note and a colour.
// It is computed, printed, weighed and journaled as a catalogue recipe is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"
#include "journal/JournalText.h"

namespace lacqueron {

// Amounts are whole thousandths of a gram per 1000 g of base: three decimals, exact.
using Thousandths = std::int64_t;
constexpr Thousandths kThousandthsPerGram = 1000;
constexpr std::size_t kLongestOwnCode = 32;
// A line's amount beyond a million grams per 1000 g of base is a typing slip.
constexpr Thousandths kLargestOwnAmount = 1000000 * kThousandthsPerGram;

struct OwnRecipeLine {
    WideString component;  // a base or paste code of the package
    Thousandths amount = 0;
    bool operator==(const OwnRecipeLine&) const = default;
};

// The colour a recipe was matched to: L*a*b* under D65 (10-degree observer), the
// measured reflectance when there was one, and how it was got ("замер", "подбор").
struct OwnTarget {
    double l = 0, a = 0, b = 0;
    std::vector<double> reflectance;  // empty, or kOwnTargetBands fractions, 400 to 700 nm
    WideString method;
    bool operator==(const OwnTarget&) const = default;
};
constexpr std::size_t kOwnTargetBands = 31;

struct OwnRecipe {
    WideString code;  // unique among own recipes and apart from every catalogue title
    WideString name;
    WideString note;
    std::uint32_t rgb = 0;  // red in the low byte, as the catalogue's colours
    std::vector<OwnRecipeLine> lines;
    std::optional<OwnTarget> target;
    bool operator==(const OwnRecipe&) const = default;
};

enum class OwnRecipeProblem {
    kNone,
    kEmptyCode,
    kCodeTooLong,
    kCodeClashesWithCatalogue,
    kDuplicateCode,  // another own recipe has it
    kEmptyName,
    kNoLines,
    kNoBase,
    kUnknownComponent,
    kDuplicateComponent,
    kEmptyAmount,
    kNegativeAmount,
    kTooManyDecimals,
    kAmountTooLarge,
    kNotANumber,  // an amount that is not digits with one comma or point
};

// The first problem found, with the line it is on (counted from 0) when it is a line's.
struct OwnRecipeCheck {
    OwnRecipeProblem problem = OwnRecipeProblem::kNone;
    std::optional<std::size_t> line;
    bool ok() const noexcept { return problem == OwnRecipeProblem::kNone; }
};

// The Russian message for a problem, naming the line's component where there is one.
WideString DescribeProblem(const OwnRecipe& recipe, const OwnRecipeCheck& check);

// The same without the line's number, in lower case, for a message that names the
// place itself (a CSV row).
WideString OwnProblemReason(const OwnRecipe& recipe, const OwnRecipeCheck& check);

// Reads an amount as typed or as a spreadsheet wrote it (ParseDecimalText), in
// thousandths: at most three decimals.
OwnRecipeProblem ParseOwnAmount(std::u16string_view text, Thousandths& amount);
// "12.345" as the editor shows it, "12,345" with the CSV's comma; "12" for whole grams.
WideString FormatOwnAmount(Thousandths amount, char16_t decimalMark = kWindowDecimalMark);

}  // namespace lacqueron

namespace lacqueron {

// Checks a recipe before it is saved. `otherCodes` are the codes of the other own
// recipes (the one being edited left out); codes compare with case folded.
OwnRecipeCheck CheckOwnRecipe(const Catalogue& catalogue, const OwnRecipe& recipe,
                              const std::vector<WideString>& otherCodes);

// The heading's title: the code and, when there is one, the name.
WideString OwnRecipeTitle(const OwnRecipe& recipe);

// The catalogue form the recipe computation takes; `number` is the row's own number,
// kept apart from the package's colour numbers by the caller.
ColourRecipe ToColourRecipe(const OwnRecipe& recipe, std::int32_t number);

// A catalogue recipe as an own recipe to edit: its lines, its colour's code-based
// title as code, the colour's name and screen colour.
OwnRecipe CopyOfCatalogueRecipe(const ColourRecipe& recipe, const ColourEntry* colour);

}  // namespace lacqueron

namespace lacqueron {

struct BatchRecord;

// What a batch really put in the can (top-ups and tinting additions included) as a
// recipe: per 1000 g of base, the base's pigment factor divided out, so that the recipe
// poured at the batch's amount and purpose gives the same grams to the hundredth.
// Components are found by code, or by name in records that kept no codes. False, with
// the Russian reason, when the batch has no base poured or a component is unknown.
// The recipe keeps the batch's target: its last correction round's, else `matched`, the
// colour the batch was weighed for (null when none).
bool OwnRecipeOfBatch(const Catalogue& catalogue, const BatchRecord& batch, OwnRecipe& recipe, WideString& error,
                      const OwnTarget* matched = nullptr);

// What is asked before an abandoned batch becomes a recipe, which then holds only what
// was poured: the pastes (and bases) of the recipe never poured, by name in pouring
// order. Empty for a batch that was finished: nothing to ask.
WideString AbandonedBatchQuestion(const BatchRecord& batch);

}  // namespace lacqueron
