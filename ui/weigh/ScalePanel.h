// The weighing dialog's scale row: the port, baud rate and protocol chosen (an automatic
// search's rate becomes the one the next search starts from, its protocol only what
// the buttons offer), the tare and zero buttons, the live reading with its stable mark
// or the scale's fault, and the auto-record choice. It owns the port reader, started
// again whenever the choice changes;
// each start is a new generation, and events of an earlier one are dropped.
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
    // A milliseconds clock on which auto-record times its hold.
    using Clock = std::int64_t (*)() noexcept;
    // The clock of every panel in the process: GetTickCount64 unless a test sets its
    // own; null puts GetTickCount64 back. Window thread only.
    static void SetClock(Clock clock) noexcept;

    // Fills the controls from the settings (kept up to date in place for the caller)
    // and starts reading when a port is chosen. Attach begins generation 1, and every
    // later choice of port (manual entry too), baud rate or protocol the next one.
    void Attach(HWND dialog, ScaleSettings& settings) noexcept;
    // The panel's own commands; false for any other.
    bool OnCommand(WORD code, WORD id) noexcept;

    // What a scale message means for the dialog.
    struct Update {
        std::optional<Hundredths> reading;     // the live reading for the reading field
        std::optional<Hundredths> autoRecord;  // to record now
        WideString notice;                     // for the dialog's message line: the scale found
    };
    // A scale message; `step` is the step waiting for a reading, null when none is, and
    // `lastRecorded` the reading recorded before it (the plan's last reading): a reading
    // is auto-recorded only once it is at least `resolution` above that, so a step
    // lighter than its tolerance waits for the painter's Enter rather than being booked
    // with nothing poured. A message of an earlier generation gives an empty update.
    Update OnScaleMessage(WPARAM wParam, LPARAM lParam, const PourStep* step, Hundredths resolution,
                          Hundredths lastRecorded) noexcept;
    // A reading was recorded: the next one is held from scratch.
    void ForgetHeld() noexcept { held_.clear(); }
    // Tells the reader to stop and returns at once; its worker closes the port shortly.
    void Stop() noexcept { reader_.reset(); }

private:
    void FillChoices() noexcept;
    void ReadChoices() noexcept;
    // Tare and zero offered as the chosen port and protocol allow.
    void EnableCommands() noexcept;
    // The search found the scale: its rate is kept, its protocol offers its buttons.
    void OnFound(const ScaleEvent& event) noexcept;
    // Starts the reader for the chosen port; none for manual entry.
    void Restart() noexcept;
    void ShowState(const WideString& text) noexcept;

    HWND dialog_ = nullptr;
    ScaleSettings* settings_ = nullptr;
    std::unique_ptr<ScaleReader> reader_;
    ScaleGeneration generation_ = 0;  // of the choice in force
    ScaleProtocol found_ = ScaleProtocol::Automatic;  // by the search of this generation
    std::vector<TimedReading> held_;  // the last readings, for auto-record
};

}  // namespace lacqueron
