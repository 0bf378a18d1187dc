// The weighing dialog's scale row: the port, baud rate and protocol chosen, the tare and
// zero buttons, the live reading with its stable mark or the scale's fault, and the
// auto-record choice. It owns the port reader, started again whenever the choice changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pour/PourPlan.h"
#include "port/ScaleReader.h"
#include "scale/AutoRecord.h"
#include "scale/ScaleSettings.h"

namespace lacqueron {

class ScalePanel {
public:
    // Fills the controls from the settings (kept up to date in place for the caller)
    // and starts reading when a port is chosen.
    void Attach(HWND dialog, ScaleSettings& settings) noexcept;
    // The panel's own commands; false for any other.
    bool OnCommand(WORD code, WORD id) noexcept;

    // What a scale message means for the dialog.
    struct Update {
        std::optional<Hundredths> reading;     // the live reading for the reading field
        std::optional<Hundredths> autoRecord;  // to record now
    };
    // A scale message; `step` is the step waiting for a reading, null when none is.
    Update OnScaleMessage(WPARAM wParam, LPARAM lParam, const PourStep* step, Hundredths resolution) noexcept;
    // A reading was recorded: the next one is held from scratch.
    void ForgetHeld() noexcept { held_.clear(); }
    // Stops the reader and waits for it; the port is closed.
    void Stop() noexcept { reader_.reset(); }

private:
    void FillChoices() noexcept;
    void ReadChoices() noexcept;
    // Starts the reader for the chosen port; none for manual entry.
    void Restart() noexcept;
    void ShowState(const WideString& text) noexcept;

    HWND dialog_ = nullptr;
    ScaleSettings* settings_ = nullptr;
    std::unique_ptr<ScaleReader> reader_;
    std::vector<TimedReading> held_;  // the last readings, for auto-record
};

}  // namespace lacqueron
