// What the shop's calibration tells the painter about a ladder file: how well each paste
// fitted, which samples it missed, why a file cannot be used, and the record it keeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/WideString.h"
#include "journal/BatchRecord.h"
#include "journal/JournalText.h"
#include "tint/LadderCalibration.h"
#include "tint/OpticsStore.h"

namespace lacqueron {

// How the calibrations' file names itself in the painter's messages.
inline constexpr LogWords kOpticsWords = {u"файл калибровки паст",
                                          u"Калибровка паст занята другим рабочим местом. Попробуйте ещё раз.",
                                          u"Файл калибровки паст",
                                          u"калибровок",
                                          u"файл не похож на файл калибровки паст",
                                          u"файл калибровки паст записан более новой версией программы"};

struct PasteFit {
    std::string code;
    double largest = 0;                 // ΔE00 of the worst sample the paste is in
    std::vector<std::string> outliers;  // its samples past colour::kOutlierDeltaE
};

// "1.25", as the windows show ΔE00.
WideString FitDeltaEText(double deltaE);

// One row per paste, in the order the file first pours them.
std::vector<PasteFit> PasteFits(const LadderFit& fit);

// "Все образцы легли в пределах ΔE 2,00." or "Не легли: <образцы>."
WideString OutliersText(const LadderFit& fit);

// The Russian reason a ladder file cannot be used, with its line where there is one.
WideString LadderErrorText(const LadderError& error);

// The record "Сохранить" keeps: the fitted table, the file it came from, the fit in hundredths.
OpticsEntry CalibrationEntry(const LadderFit& fit, const std::string& source, const BatchTime& time);

}  // namespace lacqueron
