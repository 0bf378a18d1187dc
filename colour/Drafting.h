// First drafts for a target colour: every combination of up to maxPastes of the
// allowed pastes, amounts fitted by Levenberg-Marquardt, ranked by CIEDE2000.
#pragma once

#include <vector>

#include "colour/Colorimetry.h"
#include "colour/Optics.h"

namespace lacqueron::colour {

// D65 always; under A and F11 too when the target was measured as a spectrum.
struct Target {
    Lab labs[kIlluminantCount];
    bool spectral = false;
};

Target TargetFromLab(const Lab& d65);
Target TargetFromSpectrum(const Spectrum& measured);

struct DraftRequest {
    std::vector<int> pastes;  // indices into the optics table
    int maxPastes = 4;
    int top = 5;
    double pigmentFactor = 1;           // the purpose's: what is poured is the recipe times this
    std::vector<double> pricePerGram;   // per optics paste; empty or negative: no prices
};

struct Draft {
    std::vector<Load> recipe;  // grams per 1000 g of base, before the pigment factor
    double deltaE = 0;         // D65, of the rounded amounts poured with the factor
    double deltaEA = 0, deltaEF11 = 0;  // only for a spectral target
    double cost = 0;           // per 1000 g of base; only with prices
};

// A draft within this of a better one still wins when it has fewer pastes (or, with
// prices, costs less).
constexpr double kDraftTieDeltaE = 0.3;
// Amounts as recipes write them: three decimals, nothing under a hundredth of a gram.
constexpr int kRecipeDecimals = 3;
constexpr double kSmallestRecipeGrams = 0.01;

double RoundRecipeGrams(double grams) noexcept;

// The best drafts first, at most request.top of them.
std::vector<Draft> MatchTarget(const OpticsTable& table, const Target& target, const DraftRequest& request);

}  // namespace lacqueron::colour
