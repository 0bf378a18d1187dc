// "Калибровка паст": a ladder file fitted into the shop's own optics of the pastes, each
// paste's fit and the samples it missed, the calibration kept in the data folder, and the
// way back to the vendor's table. The dialog knows no other window.
#pragma once

#include <windows.h>

#include <string_view>

#include "data/catalogue/Catalogue.h"
#include "shop/FolderWorker.h"
#include "tint/OpticsStore.h"

namespace lacqueron {

// Borrowed for the dialog's run.
struct CalibrationContext {
    const Catalogue* catalogue = nullptr;  // outlives every fit
    std::string_view vendorOptics;         // the package's table, in force without a calibration
    OpticsStore* optics = nullptr;         // null when the data folder cannot be reached
    WideString opticsError;                // why it is null
    // What the dialog writes through, off its thread; null writes on the dialog's thread
    // (a window test's own store).
    FolderWrites* writes = nullptr;
};

void ShowCalibrationDialog(HWND owner, CalibrationContext& context) noexcept;

}  // namespace lacqueron
