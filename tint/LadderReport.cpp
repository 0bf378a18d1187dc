#include "tint/LadderReport.h"

#include <algorithm>
#include <cmath>

#include "colour/Decimal.h"
#include "colour/Optics.h"
#include "core/Utf8.h"

namespace lacqueron {
namespace {

constexpr double kHundredths = 100;
constexpr int kDeltaEDecimals = 2;

std::uint32_t InHundredths(double value) { return static_cast<std::uint32_t>(std::lround(value * kHundredths)); }

WideString LineText(int line) { return u"Строка " + FromUtf8Lenient(std::to_string(line)) + u": "; }

WideString Joined(const std::vector<std::string>& names) {
    WideString text;
    for (const std::string& name : names) {
        if (!text.empty()) text += u", ";
        text += FromUtf8Lenient(name);
    }
    return text;
}

}  // namespace

WideString FitDeltaEText(double deltaE) { return FromUtf8Lenient(colour::FormatFixed(deltaE, kDeltaEDecimals)); }

std::vector<PasteFit> PasteFits(const LadderFit& fit) {
    std::vector<PasteFit> rows;
    const std::vector<double>& deltaE = fit.calibration.deltaE;
    for (std::size_t j = 0; j < fit.pastes.size() && j < deltaE.size() && j < fit.names.size(); ++j) {
        for (const std::string& code : fit.pastes[j]) {
            auto row = std::find_if(rows.begin(), rows.end(), [&](const PasteFit& r) { return r.code == code; });
            if (row == rows.end()) row = rows.insert(rows.end(), PasteFit{code, 0, {}});
            row->largest = std::max(row->largest, deltaE[j]);
            if (deltaE[j] > colour::kOutlierDeltaE) row->outliers.push_back(fit.names[j]);
        }
    }
    return rows;
}

WideString OutliersText(const LadderFit& fit) {
    if (fit.outliers.empty())
        return u"Все образцы легли в пределах ΔE " + FitDeltaEText(colour::kOutlierDeltaE) + u".";
    return u"Не легли: " + Joined(fit.outliers) + u".";
}

WideString LadderErrorText(const LadderError& error) {
    switch (error.problem) {
    case LadderProblem::kNone: return {};
    case LadderProblem::kNotCgats: return LineText(error.line) + u"это не файл лестниц выкрасок (CGATS со столбцами CONC_<код>).";
    case LadderProblem::kUnknownPaste:
        return LineText(error.line) + u"пасты " + FromUtf8Lenient(error.detail) + u" нет в пакете.";
    case LadderProblem::kCannotFit: break;
    }
    return u"По этим лестницам пасты не определить: нужны выкраски каждой пасты и белой пасты отдельно.";
}

OpticsEntry CalibrationEntry(const LadderFit& fit, const std::string& source, const BatchTime& time) {
    OpticsEntry entry;
    entry.time = time;
    entry.optics = colour::WriteOptics(fit.calibration.table);
    entry.source = source;
    entry.median = InHundredths(fit.calibration.median);
    entry.largest = InHundredths(fit.calibration.largest);
    entry.outliers = fit.outliers;
    return entry;
}

}  // namespace lacqueron
