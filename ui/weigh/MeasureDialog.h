// Correction by a trial's measurement: the target (handed in, or typed), the trial's
// L*a*b* typed or read from an instrument's CGATS file, the difference in the painter's
// words and the additions the engine proposes.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "colour/BenchCorrection.h"
#include "colour/Optics.h"
#include "data/catalogue/Catalogue.h"
#include "pour/PourPlan.h"

namespace lacqueron {

// Borrowed for the dialog's run.
struct MeasureRequest {
    const Catalogue* catalogue = nullptr;  // for a target named by code
    const colour::OpticsTable* optics = nullptr;
    WideString opticsSource;  // "данные поставщика", or the shop's calibration
    std::optional<colour::Lab> target;  // handed in by the weighing dialog's caller
    colour::WeighedTrial trial;         // what is in the can; the measurement is asked for
    std::vector<PourPaste> pastes;      // what may be added
    std::optional<double> roomGrams;    // what the can still takes, when its capacity is set
};

// One round: the measurement, what was proposed, and the additions as steps to pour.
struct MeasureRound {
    colour::Lab target;
    colour::Lab measured;  // D65, from the spectrum when a file gave one
    colour::BenchCorrection proposed;
    std::vector<PourAddition> additions;  // in hundredths, those that weigh anything
};

// Shows the dialog (template IDD_WEIGH_MEASURE) owned by owner. The round after
// "Добавить"; none after "Отмена", Esc, or when the dialog cannot be shown.
std::optional<MeasureRound> AskMeasurement(HWND owner, const MeasureRequest& request) noexcept;

}  // namespace lacqueron
