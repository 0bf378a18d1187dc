// The main window: paint list with colour bars, details, purpose, unit, amount and
// the live recipe. The object owns the catalogue, the three profile values, the
// recipe text and the window's GDI objects; it outlives its window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>

#include "core/AppModule.h"
#include "data/catalogue/Catalogue.h"
#include "data/catalogue/CatalogueLoader.h"
#include "data/catalogue/DataPackage.h"
#include "journal/BatchRecord.h"
#include "pour/PourPlan.h"
#include "scale/ScaleSettings.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/GdiHandles.h"
#include "ui/find/ColourFinder.h"

namespace lacqueron {

class MainDialog final : public Dialog {
public:
    // Keeps a module reference, initialises the list-view class and, last, loads the
    // catalogue (stored profile values first) from the package.
    MainDialog(AppModule& module, const DataPackage& package);
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Creates the modeless window from template IDD_MAIN with no owner; null on failure.
    HWND Create() noexcept;
    // Destroys the window if it exists; forgets the handle when that succeeds.
    void DestroyWindowIfAny() noexcept;

    const Catalogue& GetCatalogue() const noexcept { return catalogue_; }
    const ProfileValues& Values() const noexcept { return values_; }
    const WideString& RecipeText() const noexcept { return recipeText_; }

    // A colour the painter used (printed, weighed): first of the recent colours.
    void NoteRecentColour(const WideString& code) noexcept { finder_.NoteRecent(code); }

    // Selects the batch's colour, purpose, unit and amount as the painter would, so the
    // recipe and the profile values follow; false when the package has no such colour.
    bool RepeatBatch(const BatchRecord& batch) noexcept;

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void OnInit() noexcept;
    INT_PTR OnCommand(int code, int id, HWND control) noexcept;
    INT_PTR OnNotify(int id, const NMHDR* header, LRESULT& result) noexcept;
    INT_PTR OnCtlColorStatic(HWND control) noexcept;
    void OnDestroy() noexcept;

    void SetUpRecipeFont() noexcept;
    void SetUpButtonFont() noexcept;
    void SetUpPaintList() noexcept;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) noexcept;
    void OnItemChanged(const NMLISTVIEW* change) noexcept;
    void RefreshDetails(const ColourEntry* colour, const ColourRecipe* recipe) noexcept;
    void OnComboChanged(int id, std::uint32_t& value) noexcept;
    void OnAmountChanged() noexcept;
    void OnSpin(int delta) noexcept;
    void WriteAmount() noexcept;
    const ColourRecipe* SelectedRecipe() const noexcept;
    // Recomputes the recipe text and enables weighing when the recipe can be poured.
    void ComputeRecipe() noexcept;
    void ChooseComboValue(int id, std::uint32_t value) noexcept;
    void OnJournal() noexcept;
    void OnWeigh() noexcept;
    void SetAmountFromBench(std::int32_t amount) noexcept;

    // Set while the amount field changes by the program's hand (or is being read), and
    // until the window is set up: such a change is not the painter's typing.
    bool ignoreAmountChange_ = true;
    RefPtr<AppModule> module_;
    Catalogue catalogue_;
    BrushHandle swatchBrush_;
    FontHandle buttonFont_;
    FontHandle recipeFont_;
    std::optional<Hundredths> benchResolution_;  // read when first needed
    std::optional<ScaleSettings> benchScale_;     // likewise
    ProfileValues values_;
    WideString recipeText_;
    bool busy_ = false;  // an amount change is being handled; only the outermost recomputes
    ColourFinder finder_;
    bool journalOpen_ = false;
};

}  // namespace lacqueron
