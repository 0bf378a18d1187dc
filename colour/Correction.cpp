#include "colour/Correction.h"

#include <algorithm>
#include <cmath>

#include "colour/LeastSquares.h"
#include "colour/Mixture.h"

namespace lacqueron::colour {

namespace {

constexpr double kLeastAddition = 0.001;
constexpr double kMostAddition = 1000;
constexpr double kStartAdditions[] = {0.05, 0.5, 5, 50};
constexpr int kMostAddPastes = 2;
// Fewer pastes win among proposals this close.
constexpr double kAdditionTieDeltaE = 0.05;

// The trial's poured loads followed by the additions being tried.
class Corrector {
public:
    Corrector(const OpticsTable& table, const Target& target, const Trial& trial)
        : table_(table), target_(target.labs[0]) {
        count_ = std::min(static_cast<int>(trial.poured.size()), kMaxLoadsInFit - kMostAddPastes);
        std::copy(trial.poured.begin(), trial.poured.begin() + count_, loads_);
        Lab model;
        MixtureLab(table, loads_, count_, nullptr, 1, &model);
        if (trial.spectral) {
            // The measured K/S over the model's, band by band, carried to every addition.
            const Spectrum measured = KsFromMeasured(trial.measured, table.surface);
            const Spectrum predicted = MixtureKs(table, trial.poured);
            for (int band = 0; band < kBandCount; ++band) scale_[band] = measured[band] / predicted[band];
            useScale_ = true;
            current_ = SpectrumToLab(trial.measured);
        } else {
            current_ = trial.measuredLab;
            offset_ = {trial.measuredLab.l - model.l, trial.measuredLab.a - model.a, trial.measuredLab.b - model.b};
        }
    }

    const Lab& Current() const noexcept { return current_; }
    const Lab& Aim() const noexcept { return target_; }

    Lab Predict(const int* pastes, const double* grams, int count) const noexcept {
        Load loads[kMaxLoadsInFit];
        std::copy(loads_, loads_ + count_, loads);
        int used = count_;
        for (int i = 0; i < count; ++i) {
            int at = 0;
            while (at < used && loads[at].paste != pastes[i]) ++at;
            if (at == used) loads[used++] = {pastes[i], 0};
            loads[at].grams += grams[i];
        }
        Lab lab;
        MixtureLab(table_, loads, used, useScale_ ? &scale_ : nullptr, 1, &lab);
        return {lab.l + offset_.l, lab.a + offset_.a, lab.b + offset_.b};
    }

private:
    const OpticsTable& table_;
    Lab target_;
    Load loads_[kMaxLoadsInFit];
    int count_ = 0;
    Spectrum scale_{};
    bool useScale_ = false;
    Lab offset_;
    Lab current_;
};

struct Proposal {
    int pastes[kMostAddPastes] = {};
    double grams[kMostAddPastes] = {};
    int count = 0;
    double deltaE = 0;
};

Proposal Propose(const Corrector& corrector, const int* pastes, int count, double room) {
    Proposal p;
    p.count = count;
    std::copy(pastes, pastes + count, p.pastes);
    const auto fill = [&](const double* logGrams, double* r) {
        double grams[kMostAddPastes];
        for (int i = 0; i < count; ++i) grams[i] = std::exp(logGrams[i]);
        const Lab lab = corrector.Predict(pastes, grams, count);
        r[0] = lab.l - corrector.Aim().l;
        r[1] = lab.a - corrector.Aim().a;
        r[2] = lab.b - corrector.Aim().b;
    };
    double x[kMostAddPastes], best[kMostAddPastes], lower[kMostAddPastes], upper[kMostAddPastes], r[3];
    double bestCost = std::numeric_limits<double>::infinity();
    for (const double start : kStartAdditions) {
        for (int i = 0; i < count; ++i) x[i] = std::log(start);
        fill(x, r);
        const double cost = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
        if (cost < bestCost) {
            bestCost = cost;
            std::copy(x, x + count, best);
        }
    }
    for (int i = 0; i < count; ++i) {
        lower[i] = std::log(kLeastAddition);
        upper[i] = std::log(std::min(kMostAddition, std::max(room, kLeastAddition)));
    }
    FitBounded(count, 3, best, lower, upper, fill);
    double total = 0;
    for (int i = 0; i < count; ++i) total += p.grams[i] = std::exp(best[i]);
    // Within the can: scale the whole proposal down to the room left.
    if (total > room) {
        for (int i = 0; i < count; ++i) p.grams[i] *= room / total;
    }
    for (int i = 0; i < count; ++i) p.grams[i] = RoundRecipeGrams(p.grams[i]);
    p.deltaE = DeltaE2000(corrector.Aim(), corrector.Predict(p.pastes, p.grams, count));
    return p;
}

}  // namespace

Correction CorrectTrial(const OpticsTable& table, const Target& target, const Trial& trial,
                        const CorrectionRequest& request) {
    const Corrector corrector(table, target, trial);
    Correction result;
    result.current = result.predicted = DeltaE2000(target.labs[0], corrector.Current());
    const int most = std::clamp(request.maxAddPastes, 0, kMostAddPastes);
    const int n = static_cast<int>(request.pastes.size());
    Proposal best;
    bool found = false;
    const auto consider = [&](const int* pastes, int count) {
        const Proposal p = Propose(corrector, pastes, count, request.room);
        for (int i = 0; i < p.count; ++i)
            if (p.grams[i] < kSmallestRecipeGrams) return;
        bool better = !found;
        if (found && p.count < best.count) better = p.deltaE < best.deltaE + kAdditionTieDeltaE;
        else if (found && p.count == best.count) better = p.deltaE < best.deltaE;
        else if (found) better = p.deltaE < best.deltaE - kAdditionTieDeltaE;
        if (better) {
            best = p;
            found = true;
        }
    };
    for (int i = 0; i < n && most >= 1; ++i) {
        consider(&request.pastes[i], 1);
        for (int j = i + 1; j < n && most >= 2; ++j) {
            const int pair[2] = {request.pastes[i], request.pastes[j]};
            consider(pair, 2);
        }
    }
    if (!found || best.deltaE > result.current - kLeastCorrectionGain) return result;
    result.predicted = best.deltaE;
    for (int i = 0; i < best.count; ++i) result.additions.push_back({best.pastes[i], best.grams[i]});
    return result;
}

}  // namespace lacqueron::colour
