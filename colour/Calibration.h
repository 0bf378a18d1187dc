// Learning the pastes from ladders: drawdowns of known composition at complete hiding,
// each paste alone and with the white paste in several ratios. Finds every paste's K
// and S per band, the surface constant k2 and one strength fall-off for all pastes.
#pragma once

#include <string>
#include <vector>

#include "colour/Optics.h"

namespace lacqueron::colour {

struct LadderSample {
    std::string name;
    std::vector<Load> loads;  // indices into the codes given to Calibrate
    Spectrum measured{};
};

struct CalibrationOptions {
    bool fitSurface = true;  // k2; k1 stays as given
    bool fitFalloff = true;
    Surface surface;         // the start, or the constants when not fitted
};

struct Calibration {
    OpticsTable table;
    std::vector<double> deltaE;  // per sample: the table's prediction against the measurement
    double median = 0;
    double largest = 0;
};

// The refit's ΔE00 above which a sample is named as an outlier.
constexpr double kOutlierDeltaE = 2;

// The white paste (present in the most samples) has S = 1 at every band; the others'
// K and S are relative to it. False with a reason when the samples cannot determine
// the pastes (a paste in no sample, no sample with the white alone).
bool Calibrate(const std::vector<std::string>& codes, const std::vector<LadderSample>& samples,
               const CalibrationOptions& options, Calibration& result, std::string& error);

}  // namespace lacqueron::colour
