// A trial corrected as it was weighed: grams of base and of each paste in this can, and
// the additions as grams to pour into it. What the bench and datapack correct share.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "colour/Correction.h"

namespace lacqueron::colour {

struct PouredPaste {
    std::string code;
    double grams = 0;
};

struct WeighedTrial {
    double baseGrams = 0;  // everything in the can that is not a paste
    std::vector<PouredPaste> pastes;
    bool spectral = false;
    Spectrum measured{};  // when spectral
    Lab measuredLab;      // D65; used when not spectral
};

struct BenchAddition {
    std::string code;
    double grams = 0;  // to pour into this can
};

struct BenchCorrection {
    double current = 0;    // the trial's ΔE00 to the target
    double predicted = 0;  // after the additions
    std::vector<BenchAddition> additions;
};

enum class BenchCorrectionResult {
    kCorrected,     // additions may still be empty: nothing brings the batch closer
    kNoBase,        // the base weighs nothing
    kNoPaste,       // no paste was poured
    kUnknownPaste,  // the optics table lacks a poured paste; its code is given
};

// The optics pastes among codes, in the table's order.
std::vector<int> PastesOf(const OpticsTable& table, const std::vector<std::string>& codes);

// Corrects trial towards target with additions of allowed (indices into table), at most
// maxAddPastes of them, within roomGrams (what the can still takes) when given. badCode
// names the paste for kUnknownPaste.
BenchCorrectionResult CorrectWeighedTrial(const OpticsTable& table, const Target& target, const WeighedTrial& trial,
                                          const std::vector<int>& allowed, int maxAddPastes,
                                          std::optional<double> roomGrams, BenchCorrection& result,
                                          std::string& badCode);

}  // namespace lacqueron::colour
