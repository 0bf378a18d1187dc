// One search of the matching window, whole: the target read, the drafts found and told
// as the list shows them, whether the pastes reach the target, and the similar colours.
// It copies nothing it is not given, so a worker thread can run it on its own copies.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "colour/Optics.h"
#include "matching/ColourMatch.h"

namespace lacqueron {

struct MatchInput {
    TargetInput target;
    WideString shownAs;  // what the messages call the target: the text typed, the file's name
    std::int32_t purpose = 1;
    int maxPastes = 4;
    int top = 5;
    int similar = 10;
    bool byCost = false;              // with prices: cheapest first
    std::vector<int> pastes;          // PackagePastes: all, or those in stock
    std::vector<double> pricePerGram;  // PastePricesPerGram; empty without prices
};

struct DraftRow {
    colour::Draft draft;
    std::uint32_t rgb = 0;  // the draft's colour on screen
    WideString deltaE;      // "0.62 отлично"
    WideString pastes;      // "WHT 12.5, RED 0.31" per 1000 g of base
    WideString cost;        // the pastes of 1 kg of base as poured; empty without prices
    WideString metamerism;  // "A 0.40, F11 0.91"; empty unless the target is a spectrum
};

struct MatchOutcome {
    MatchTarget target;
    WideString problem;  // the Russian message when the target cannot be read
    std::uint32_t targetRgb = 0;
    std::vector<DraftRow> drafts;
    WideString reach;  // said when the best draft is beyond reach; empty otherwise
    std::vector<SimilarColour> similar;
};

MatchOutcome RunColourMatch(const Catalogue& catalogue, const colour::OpticsTable& table,
                            std::span<const OwnRecipeCurrent> own, const MatchInput& input);

// A draft as an own recipe to edit: the base and pastes per 1000 g of base, the
// target's screen colour, and the target kept ("замер" when measured, else "подбор").
OwnRecipe DraftAsOwnRecipe(const colour::OpticsTable& table, const MatchOutcome& outcome, const DraftRow& row);

}  // namespace lacqueron
