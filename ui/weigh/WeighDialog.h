// The weighing dialog: the recipe of the selected colour poured step by step on a
// tared scale, with over-pour corrections and the smallest weighable batch. A batch
// finished, or left after a reading, goes into the journal with the painter's note.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "colour/Colorimetry.h"
#include "colour/Optics.h"
#include "core/WideString.h"
#include "data/catalogue/Catalogue.h"
#include "journal/BatchRecord.h"
#include "ledger/Costing.h"
#include "pour/PourPlan.h"
#include "scale/ScaleSettings.h"
#include "shop/FolderWorker.h"
#include "ui/weigh/WeighJournal.h"

namespace lacqueron {

// What the main dialog hands over; borrowed for the dialog's run.
struct WeighRequest {
    const Catalogue* catalogue = nullptr;
    const ColourRecipe* recipe = nullptr;
    const ColourEntry* colour = nullptr;  // null when the recipe has no colour
    std::uint32_t purpose = 0;
    std::uint32_t weightType = 0;
    std::int32_t amount = 0;
    WideString purposeText;  // as the main dialog's combos show them
    WideString unitText;
    Hundredths resolution = kDefaultResolution;  // the remembered one in, the chosen one out
    ScaleSettings scale;                         // likewise
    bool recorded = false;                       // out: a reading was recorded
    WideString journalPath;  // where a finished batch, or one left after a reading, is written
    OpenJournalFile openJournal;  // how its file is opened; null opens it through Win32
    // Sets the main dialog's amount and recomputes its recipe.
    std::function<void(std::int32_t amount)> setAmount;
    // Offered in the summary of a finished batch, with the batch as the journal keeps it;
    // no button when empty.
    std::function<void(HWND owner, const BatchRecord& batch)> saveAsRecipe;
    // The shop's prices: the summary says what the batch cost. Null when none is kept.
    const PriceBook* prices = nullptr;
    // The job that works out into `out` what a batch of these weights would leave below
    // zero or below a minimum, told before the first reading; it runs over the data
    // folder's stores through `writes` (here without). Empty when the shop keeps no stock.
    using Shortfalls = std::shared_ptr<std::vector<StockRow>>;
    std::function<FolderWrite(const std::vector<CostLine>& needed, Shortfalls out)> shortfalls;
    FolderWrites* writes = nullptr;
    // The pastes' optics for a correction by a trial's measurement; no correction when null.
    const colour::OpticsTable* optics = nullptr;
    WideString opticsSource;  // which table that is, as the correction names it
    // The colour the batch was matched to (D65), when known; else the painter types it.
    std::optional<colour::Lab> target;
};

inline constexpr wchar_t kNoMemoryForWeighing[] = L"Недостаточно памяти, чтобы открыть окно взвешивания.";

// Runs the dialog modally, owned by owner; says so when there is no memory for it.
void ShowWeighDialog(HWND owner, WeighRequest& request) noexcept;

}  // namespace lacqueron
