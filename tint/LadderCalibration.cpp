#include "tint/LadderCalibration.h"

#include <algorithm>

#include "colour/Cgats.h"
#include "core/Utf8.h"

namespace lacqueron {

namespace {

// The line that names a paste column, for a code the package lacks; 0 when none does.
int LineOf(std::string_view text, const std::string& what) {
    const std::size_t at = text.find(what);
    if (at == std::string_view::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

}  // namespace

bool IsPackagePaste(const Catalogue& catalogue, const std::string& code) {
    const MixComponent* component = catalogue.findComponent(FromUtf8Lenient(code), 0);
    return component && component->kind == kPigment;
}

bool FitLadders(const Catalogue& catalogue, std::string_view text, LadderFit& fit, LadderError& error) {
    std::vector<colour::CgatsSample> read;
    colour::CgatsError cgatsError;
    if (!colour::ReadCgats(text, read, cgatsError)) {
        error = {LadderProblem::kNotCgats, cgatsError.line, cgatsError.reason};
        return false;
    }
    std::vector<std::string> codes;
    std::vector<colour::LadderSample> samples;
    for (const colour::CgatsSample& sample : read) {
        colour::LadderSample ladder{sample.name.empty() ? sample.id : sample.name, {}, sample.reflectance};
        for (const auto& [code, grams] : sample.concentrations) {
            if (!IsPackagePaste(catalogue, code)) {
                const int line = LineOf(text, "CONC_" + code);
                error = {LadderProblem::kUnknownPaste, line ? line : sample.line, code};
                return false;
            }
            if (grams <= 0) continue;
            auto at = std::find(codes.begin(), codes.end(), code);
            if (at == codes.end()) at = codes.insert(codes.end(), code);
            ladder.loads.push_back({static_cast<int>(at - codes.begin()), grams});
        }
        if (!ladder.loads.empty()) samples.push_back(std::move(ladder));
    }
    std::string reason;
    if (!colour::Calibrate(codes, samples, {}, fit.calibration, reason)) {
        error = {LadderProblem::kCannotFit, 0, reason};
        return false;
    }
    fit.names.clear();
    fit.pastes.clear();
    fit.outliers.clear();
    for (std::size_t j = 0; j < samples.size(); ++j) {
        fit.names.push_back(samples[j].name);
        std::vector<std::string>& poured = fit.pastes.emplace_back();
        for (const colour::Load& load : samples[j].loads) poured.push_back(codes[static_cast<std::size_t>(load.paste)]);
        if (fit.calibration.deltaE[j] > colour::kOutlierDeltaE) fit.outliers.push_back(samples[j].name);
    }
    return true;
}

}  // namespace lacqueron
