// Ladders as an instrument exports them (CGATS with CONC_<code> columns) fitted into the
// pastes' optics: what datapack calibrate and the shop's calibration both do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "colour/Calibration.h"
#include "data/catalogue/Catalogue.h"

namespace lacqueron {

struct LadderFit {
    colour::Calibration calibration;
    std::vector<std::string> names;     // per sample fitted, as deltaE
    std::vector<std::vector<std::string>> pastes;  // per sample fitted, the codes poured in it
    std::vector<std::string> outliers;  // the names of samples past colour::kOutlierDeltaE
};

enum class LadderProblem { kNone, kNotCgats, kUnknownPaste, kCannotFit };

struct LadderError {
    LadderProblem problem = LadderProblem::kNone;
    int line = 0;        // for kNotCgats and kUnknownPaste
    std::string detail;  // the reader's or the fit's reason (English), or the unknown code
};

// Whether the package has a paste (a pigment) of this code, UTF-8.
bool IsPackagePaste(const Catalogue& catalogue, const std::string& code);

// Fits the ladders in text (UTF-8) against the package's pastes; false with the error.
bool FitLadders(const Catalogue& catalogue, std::string_view text, LadderFit& fit, LadderError& error);

}  // namespace lacqueron
