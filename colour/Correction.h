// Correcting a trial from one measurement: the model's error on this batch is taken
// as it showed, and only additions are proposed.
#pragma once

#include <limits>
#include <vector>

#include "colour/Drafting.h"
#include "colour/Optics.h"

namespace lacqueron::colour {

struct Trial {
    std::vector<Load> poured;  // grams per 1000 g of base, as they went into the can
    bool spectral = false;
    Spectrum measured{};       // when spectral
    Lab measuredLab;           // D65; used when not spectral
};

struct CorrectionRequest {
    std::vector<int> pastes;  // what may be added
    int maxAddPastes = 2;
    // Grams per 1000 g of base the can still takes.
    double room = std::numeric_limits<double>::infinity();
};

struct Correction {
    double current = 0;           // the trial's ΔE00 to the target, as measured
    double predicted = 0;         // after the additions (equal to current when none)
    std::vector<Load> additions;  // grams per 1000 g of base; empty when nothing helps
};

// An addition must promise at least this much, or the batch is left as it is.
constexpr double kLeastCorrectionGain = 0.05;

Correction CorrectTrial(const OpticsTable& table, const Target& target, const Trial& trial,
                        const CorrectionRequest& request);

}  // namespace lacqueron::colour
