#include "colour/Drafting.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "colour/LeastSquares.h"
#include "colour/Mixture.h"

namespace lacqueron::colour {

namespace {

// The search runs in log grams: amounts stay positive and span white's hundreds of
// grams as easily as black's hundredths.
constexpr double kLeastGrams = 0.002;
constexpr double kMostDraftGrams = 2000;
// Starting amounts tried for every paste of a combination before the fit.
constexpr double kStartGrams[] = {0.3, 3, 30, 300};
// And, when the white is in the combination, the white at the nominal load with the
// others at each of these: the usual shape of a tint.
constexpr double kStartTintGrams[] = {0.1, 1, 10};
// How much the A and F11 colours of a spectral target count beside D65's.
constexpr double kMetamerismWeight = 0.3;
constexpr double kRecipeScale = 1000;  // 10^kRecipeDecimals
// At complete hiding the colour depends mostly on the ratios, hardly on how much paste
// there is in all: a weak pull towards this total (grams per 1000 g of base) picks one,
// and a strong one keeps it where ladders are made, where the table is known.
constexpr double kNominalLoad = 100;
constexpr double kLoadWeight = 0.3;  // per unit of ln(total / nominal), beside ΔE*ab
constexpr double kLeastLoad = 30, kMostLoad = 300;
constexpr double kOutsideLoadWeight = 5;

struct Candidate {
    int pastes[kMaxUnknowns] = {};
    double grams[kMaxUnknowns] = {};  // poured, with the factor
    int count = 0;
    double deltaE = 0;
};

class Fitter {
public:
    Fitter(const OpticsTable& table, const Target& target) : table_(table), target_(target) {
        illuminants_ = target.spectral ? kIlluminantCount : 1;
        // The white is the paste that scatters most.
        double most = -1;
        for (std::size_t p = 0; p < table.pastes.size(); ++p) {
            double sum = 0;
            for (const double s : table.pastes[p].s) sum += s;
            if (sum > most) {
                most = sum;
                white_ = static_cast<int>(p);
            }
        }
    }

    int Residuals() const noexcept { return 3 * illuminants_ + 1; }

    // The loads at logGrams; returns their total.
    static double Loads(const int* pastes, const double* logGrams, int count, Load* loads) noexcept {
        double total = 0;
        for (int i = 0; i < count; ++i) {
            loads[i] = {pastes[i], std::exp(logGrams[i])};
            total += loads[i].grams;
        }
        return total;
    }

    // The pull towards the nominal total, steep outside the ladders' range.
    static double LoadResidual(double total) noexcept {
        return kLoadWeight * std::log(total / kNominalLoad) +
               kOutsideLoadWeight *
                   (std::min(0.0, std::log(total / kLeastLoad)) + std::max(0.0, std::log(total / kMostLoad)));
    }

    void FillColour(const Lab* labs, double* r) const noexcept {
        for (int i = 0; i < illuminants_; ++i) {
            const double weight = i == 0 ? 1 : kMetamerismWeight;
            r[3 * i] = weight * (labs[i].l - target_.labs[i].l);
            r[3 * i + 1] = weight * (labs[i].a - target_.labs[i].a);
            r[3 * i + 2] = weight * (labs[i].b - target_.labs[i].b);
        }
    }

    void Fill(const int* pastes, const double* logGrams, int count, double* r) const noexcept {
        Load loads[kMaxUnknowns];
        const double total = Loads(pastes, logGrams, count, loads);
        Lab labs[kIlluminantCount];
        MixtureLab(table_, loads, count, nullptr, illuminants_, labs);
        FillColour(labs, r);
        r[3 * illuminants_] = LoadResidual(total);
    }

    // The Jacobian of Fill at logGrams, in closed form.
    void Derive(const int* pastes, const double* logGrams, int count, Jacobian& jacobian) const noexcept {
        Load loads[kMaxUnknowns];
        const double total = Loads(pastes, logGrams, count, loads);
        Lab labs[kIlluminantCount];
        Lab gradient[kMaxLoadsInFit][kIlluminantCount];
        MixtureLabGradient(table_, loads, count, illuminants_, labs, gradient);
        const double loadSlope = kLoadWeight + (total < kLeastLoad || total > kMostLoad ? kOutsideLoadWeight : 0);
        for (int p = 0; p < count; ++p) {
            for (int i = 0; i < illuminants_; ++i) {
                const double weight = i == 0 ? 1 : kMetamerismWeight;
                jacobian[p][3 * i] = weight * gradient[p][i].l;
                jacobian[p][3 * i + 1] = weight * gradient[p][i].a;
                jacobian[p][3 * i + 2] = weight * gradient[p][i].b;
            }
            jacobian[p][3 * illuminants_] = loadSlope * loads[p].grams / total;
        }
    }

    double Fit(Candidate& c) const noexcept {
        double lower[kMaxUnknowns], upper[kMaxUnknowns], x[kMaxUnknowns], best[kMaxUnknowns];
        double bestCost = std::numeric_limits<double>::infinity();
        double r[kMaxResiduals];
        const auto tryStart = [&](double white, double others) {
            for (int i = 0; i < c.count; ++i) x[i] = std::log(c.pastes[i] == white_ ? white : others);
            Fill(c.pastes, x, c.count, r);
            double cost = 0;
            for (int i = 0; i < Residuals(); ++i) cost += r[i] * r[i];
            if (cost < bestCost) {
                bestCost = cost;
                std::copy(x, x + c.count, best);
            }
        };
        for (const double start : kStartGrams) tryStart(start, start);
        if (std::find(c.pastes, c.pastes + c.count, white_) != c.pastes + c.count)
            for (const double start : kStartTintGrams) tryStart(kNominalLoad, start);
        for (int i = 0; i < c.count; ++i) {
            lower[i] = std::log(kLeastGrams);
            upper[i] = std::log(kMostDraftGrams);
        }
        const int* pastes = c.pastes;
        const int count = c.count;
        FitBounded(
            count, Residuals(), best, lower, upper,
            [&](const double* logGrams, double* out) { Fill(pastes, logGrams, count, out); },
            [&](const double* logGrams, const double*, Jacobian& jacobian) { Derive(pastes, logGrams, count, jacobian); });
        for (int i = 0; i < count; ++i) c.grams[i] = std::exp(best[i]);
        return DeltaE(c.pastes, c.grams, c.count);
    }

    double DeltaE(const int* pastes, const double* grams, int count) const noexcept {
        Load loads[kMaxUnknowns];
        for (int i = 0; i < count; ++i) loads[i] = {pastes[i], grams[i]};
        Lab lab;
        MixtureLab(table_, loads, count, nullptr, 1, &lab);
        return DeltaE2000(target_.labs[0], lab);
    }

private:
    const OpticsTable& table_;
    const Target& target_;
    int illuminants_ = 1;
    int white_ = -1;
};

// Calls visit for every combination of 1 to most of the n pastes.
template <class Visit>
void ForEachCombination(int n, int most, Visit&& visit) {
    int chosen[kMaxUnknowns];
    const auto recurse = [&](auto&& self, int first, int depth) -> void {
        for (int i = first; i < n; ++i) {
            chosen[depth] = i;
            visit(chosen, depth + 1);
            if (depth + 1 < most) self(self, i + 1, depth + 1);
        }
    };
    recurse(recurse, 0, 0);
}

bool Priced(const DraftRequest& request, const Draft& draft) {
    if (request.pricePerGram.empty()) return false;
    for (const Load& load : draft.recipe)
        if (request.pricePerGram[load.paste] < 0) return false;
    return true;
}

// Picks drafts one by one: the best left, unless one within kDraftTieDeltaE of it has
// fewer pastes or, with prices for both, costs less.
std::vector<Draft> Rank(std::vector<Draft> drafts, const DraftRequest& request) {
    std::sort(drafts.begin(), drafts.end(), [](const Draft& a, const Draft& b) { return a.deltaE < b.deltaE; });
    std::vector<Draft> ranked;
    std::vector<bool> taken(drafts.size(), false);
    while (ranked.size() < static_cast<std::size_t>(std::max(request.top, 0))) {
        int winner = -1;
        double bestDeltaE = 0;
        for (std::size_t i = 0; i < drafts.size(); ++i) {
            if (taken[i]) continue;
            const Draft& d = drafts[i];
            if (winner < 0) {
                winner = static_cast<int>(i);
                bestDeltaE = d.deltaE;
                continue;
            }
            if (d.deltaE > bestDeltaE + kDraftTieDeltaE) break;
            const Draft& w = drafts[winner];
            const bool bothPriced = Priced(request, d) && Priced(request, w);
            const bool better = bothPriced ? d.cost < w.cost : d.recipe.size() < w.recipe.size();
            if (better) winner = static_cast<int>(i);
        }
        if (winner < 0) break;
        taken[winner] = true;
        ranked.push_back(drafts[winner]);
    }
    return ranked;
}

}  // namespace

Target TargetFromLab(const Lab& d65) {
    Target target;
    target.labs[0] = d65;
    return target;
}

Target TargetFromSpectrum(const Spectrum& measured) {
    Target target;
    SpectrumLabs(measured, kIlluminantCount, target.labs);
    target.spectral = true;
    return target;
}

double RoundRecipeGrams(double grams) noexcept { return std::round(grams * kRecipeScale) / kRecipeScale; }

std::vector<Draft> MatchTarget(const OpticsTable& table, const Target& target, const DraftRequest& request) {
    const Fitter fitter(table, target);
    const int n = static_cast<int>(request.pastes.size());
    const int most = std::clamp(request.maxPastes, 1, kMaxUnknowns);
    const double factor = request.pigmentFactor > 0 ? request.pigmentFactor : 1;
    std::vector<Draft> drafts;
    ForEachCombination(n, most, [&](const int* chosen, int count) {
        Candidate c;
        c.count = count;
        for (int i = 0; i < count; ++i) c.pastes[i] = request.pastes[chosen[i]];
        fitter.Fit(c);
        Draft draft;
        double poured[kMaxUnknowns];
        for (int i = 0; i < count; ++i) {
            const double grams = RoundRecipeGrams(c.grams[i] / factor);
            // A paste the fit all but dropped: the smaller combination stands for it.
            if (grams < kSmallestRecipeGrams) return;
            draft.recipe.push_back({c.pastes[i], grams});
            poured[i] = grams * factor;
        }
        draft.deltaE = fitter.DeltaE(c.pastes, poured, count);
        if (Priced(request, draft))
            for (const Load& load : draft.recipe) draft.cost += load.grams * request.pricePerGram[load.paste];
        drafts.push_back(std::move(draft));
    });
    std::vector<Draft> ranked = Rank(std::move(drafts), request);
    if (target.spectral) {
        for (Draft& draft : ranked) {
            std::vector<Load> poured = draft.recipe;
            for (Load& load : poured) load.grams *= factor;
            Lab labs[kIlluminantCount];
            MixtureLab(table, poured.data(), static_cast<int>(poured.size()), nullptr, kIlluminantCount, labs);
            draft.deltaEA = DeltaE2000(target.labs[1], labs[1]);
            draft.deltaEF11 = DeltaE2000(target.labs[2], labs[2]);
        }
    }
    return ranked;
}

}  // namespace lacqueron::colour
