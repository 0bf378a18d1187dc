// The journal window (template IDD_JOURNAL): the batches newest first with their cost,
// filtered as the painter types and by a range of dates, the totals of those shown, the
// selected batch's details, and from it a repeat in the main dialog, a CSV export and a
// can label.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "data/catalogue/Catalogue.h"
#include "files/JournalAccess.h"
#include "journal/JournalStore.h"
#include "ledger/ComponentKeys.h"
#include "ledger/Costing.h"
#include "search/ColourIndex.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/shared/FilteredListDialog.h"
#include "ui/shared/FolderWriteState.h"

namespace lacqueron {

// Selects the batch's colour, purpose, unit and amount in the main dialog; false when
// the colour is not in the package.
using RepeatFunction = std::function<bool(const BatchRecord&)>;
// Takes the batch into the shop's own recipes, asking over owner.
using SaveRecipeFunction = std::function<void(HWND owner, const BatchRecord& batch)>;

class JournalDialog final : public FilteredListDialog {
public:
    // The journal at `path` is read once the window is up, on the data folder's worker
    // when the ledger's context has one; the catalogue is borrowed for the run.
    // Without saveRecipe the window has no "Сохранить как рецепт..." button; without
    // the ledger (borrowed too) no "Остатки...", and without its prices the cost column
    // stays blank.
    JournalDialog(WideString path, const Catalogue& catalogue, RepeatFunction repeat,
                  SaveRecipeFunction saveRecipe = {}, LedgerContext* ledger = nullptr);

    // Shows the window until it is closed or a batch repeated.
    void Run(HWND owner) noexcept;

private:
    // What the totals add up for one batch, worked out once.
    struct BatchFigures {
        DayNumber day = 0;
        Hundredths grams = 0;
        std::optional<Kopecks> cost;  // none when a price is missing
        std::optional<Kopecks> overPour;
    };

    std::vector<std::size_t> SelectRows(const WideString& text) override;
    WideString CellText(int item, int column) override;
    const ColourEntry* BarColour(int item) noexcept override;
    void OnActivate(int) noexcept override { Repeat(); }
    void OnSetUp() noexcept override;
    void OnRowsShown() noexcept override { ShowDetails(); }
    INT_PTR OnOtherCommand(int code, int id) noexcept override;
    INT_PTR OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    // Every purpose is shown whole: the list scrolls sideways rather than cut a name.
    void WidenPurposeColumn() noexcept;
    void ShowDetails() noexcept;
    // Every batch's figures, the first time they are needed.
    void FigureBatches();
    // A date field's day; none when its box is not ticked.
    std::optional<DayNumber> DayOfField(int id) const noexcept;
    // The count, kilograms and roubles of the batches shown, in the line under the list.
    void ShowTotals(const std::vector<std::size_t>& rows);
    void Repeat() noexcept;
    void Export() noexcept;
    void PrintLabel() noexcept;
    void SaveAsRecipe() noexcept;
    // The batch of a list item, decoded once for all its cells; null when out of range.
    const BatchRecord* BatchAt(int item) noexcept;
    // The selected item's batch; null when none is selected.
    const BatchRecord* SelectedBatch() noexcept;

    // The journal as read; none until the read came back.
    struct JournalRead {
        WideString path;
        std::unique_ptr<JournalStore> store;
        WideString error;  // why store is null
    };
    const JournalContents& Journal() const noexcept { return read_->store ? read_->store->Contents() : noBatches_; }
    // Starts the read; told by kFolderReadMessage.
    void StartRead() noexcept;
    void OnRead(WPARAM generation) noexcept;

    std::shared_ptr<JournalRead> read_;
    FolderJob reading_{kFolderReadMessage};
    const JournalContents noBatches_{};
    ColourIndex colours_;
    RepeatFunction repeat_;
    SaveRecipeFunction saveRecipe_;
    LedgerContext* ledger_;
    std::optional<PriceBook> prices_;  // the ledger's, when it keeps any
    BatchComponentKeys keys_;
    std::vector<BatchFigures> figures_;  // by batch index
    std::size_t cachedIndex_ = static_cast<std::size_t>(-1);
    BatchRecord cached_;
};

// Opens the journal at path and shows it, owned by owner. A damaged journal is shown
// with what was read and the damage told once; one that cannot be read is reported.
void ShowJournal(HWND owner, const Catalogue& catalogue, const RepeatFunction& repeat,
                 const WideString& path = JournalPath(), const SaveRecipeFunction& saveRecipe = {},
                 LedgerContext* ledger = nullptr) noexcept;

}  // namespace lacqueron
