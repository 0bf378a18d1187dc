#include "colour/BenchCorrection.h"

#include <algorithm>

namespace lacqueron::colour {

namespace {

// The engine's loads are per this many grams of base.
constexpr double kEngineBaseGrams = 1000;

}  // namespace

std::vector<int> PastesOf(const OpticsTable& table, const std::vector<std::string>& codes) {
    std::vector<int> pastes;
    for (std::size_t i = 0; i < table.pastes.size(); ++i)
        if (std::find(codes.begin(), codes.end(), table.pastes[i].code) != codes.end())
            pastes.push_back(static_cast<int>(i));
    return pastes;
}

BenchCorrectionResult CorrectWeighedTrial(const OpticsTable& table, const Target& target, const WeighedTrial& trial,
                                          const std::vector<int>& allowed, int maxAddPastes,
                                          std::optional<double> roomGrams, BenchCorrection& result,
                                          std::string& badCode) {
    if (!(trial.baseGrams > 0)) return BenchCorrectionResult::kNoBase;
    if (trial.pastes.empty()) return BenchCorrectionResult::kNoPaste;
    const double perBase = kEngineBaseGrams / trial.baseGrams;
    Trial engineTrial;
    for (const PouredPaste& paste : trial.pastes) {
        const int index = table.Find(paste.code);
        if (index < 0) {
            badCode = paste.code;
            return BenchCorrectionResult::kUnknownPaste;
        }
        engineTrial.poured.push_back({index, paste.grams * perBase});
    }
    engineTrial.spectral = trial.spectral;
    engineTrial.measured = trial.measured;
    engineTrial.measuredLab = trial.measuredLab;
    CorrectionRequest request;
    request.pastes = allowed;
    request.maxAddPastes = maxAddPastes;
    if (roomGrams) request.room = std::max(*roomGrams, 0.0) * perBase;
    const Correction correction = CorrectTrial(table, target, engineTrial, request);
    result.current = correction.current;
    result.predicted = correction.predicted;
    result.additions.clear();
    for (const Load& load : correction.additions)
        result.additions.push_back({table.pastes[load.paste].code, load.grams / perBase});
    return BenchCorrectionResult::kCorrected;
}

}  // namespace lacqueron::colour
