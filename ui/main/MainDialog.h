// The main window: paint list with colour bars (the package's colours, then the shop's
// own recipes), details, purpose, unit, amount, the live recipe and its cost. The object
// owns the catalogue, the own recipes' rows, the link to the data folder, the three
// profile values, the recipe text and the window's GDI objects; it outlives its window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "colour/Optics.h"
#include "core/AppModule.h"
#include "data/catalogue/Catalogue.h"
#include "data/catalogue/CatalogueLoader.h"
#include "data/catalogue/DataPackage.h"
#include "journal/BatchRecord.h"
#include "ledger/Costing.h"
#include "ledger/Ledger.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "pour/PourPlan.h"
#include "scale/ScaleSettings.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/GdiHandles.h"
#include "ui/find/ColourFinder.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/main/ShopData.h"
#include "ui/recipes/OwnRecipeWindows.h"

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
    // The line under the recipe: what it costs at today's prices; empty without prices.
    const WideString& CostText() const noexcept { return costText_; }
    // The link to the data folder, to see whether a look is under way.
    const ShopData& Shop() const noexcept { return shop_; }
    // The own recipes the list shows after the package's colours, in list order.
    const std::vector<OwnColourRow>& OwnRows() const noexcept { return ownRows_; }

    // The package's table of the pastes' optics the weighing dialog corrects a trial with
    // while the shop keeps no calibration; a table that does not read leaves the
    // correction by measurement off.
    void SetOptics(std::string_view text) noexcept;

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
    // The weighing dialog for a recipe at this dialog's purpose and amount; `recent` notes
    // a recorded batch among the recent colours.
    // `target`: the colour a draft was matched to, for the correction and the saved recipe.
    void Weigh(HWND owner, const ColourRecipe& recipe, const ColourEntry* colour, bool recent,
               const OwnTarget* target = nullptr) noexcept;
    // "Подбор цвета", from the selected colour when `fromSelected`; OpenMatch is the
    // window over `owner` once the shop has settled (the own recipes manager's too).
    void OnMatch(bool fromSelected) noexcept;
    void OpenMatch(HWND owner, bool fromSelected) noexcept;
    // "Калибровка паст" over the own recipes manager, which holds the stores; drafts and
    // corrections take the table in force from the store it writes to.
    void OpenCalibration(HWND owner) noexcept;
    void SetAmountFromBench(std::int32_t amount) noexcept;

    // The colour of a row, the package's or an own recipe's; null when it has none.
    const ColourEntry* ColourOf(const ColourRecipe* recipe) const noexcept;
    // The selected row among the own ones; kNoRow when none is, or a package's colour.
    std::size_t SelectedOwnRow() const noexcept;
    // Shows what a look at the data folder brought: rows, prices, the status line, a notice.
    void TakeNews(const ShopData::News& news) noexcept;
    // A look asked for and waited for a moment, before a window opens over the stores.
    void SettleShop() noexcept;
    // Replaces the list's own rows with the store's, keeping the selection by code.
    void ReloadOwnRows() noexcept;
    void TellStoreNotice() noexcept;
    // Runs a recipe window with this dialog's choices; a change reloads the own rows.
    void WithOwnRecipeContext(const std::function<void(OwnRecipeContext&)>& run) noexcept;
    void OnOwnRecipesChanged(OwnRecipeContext& context) noexcept;
    // The running own recipe windows' contexts given the stores in force; each told when `told`.
    void FollowShop(bool told) noexcept;
    // The prices again after the ledger changed, and the cost line with them.
    void OnLedgerChanged() noexcept;
    // The cost line for the recipe just computed; null clears it.
    void ShowCost(const Recipe* computed) noexcept;
    void OnRecipeManager() noexcept;
    // Runs a ledger window (prices, stock) over the ledger in the data folder.
    void WithLedger(const std::function<void(LedgerContext&)>& run) noexcept;
    INT_PTR OnContextMenu(HWND control, LPARAM at) noexcept;
    void CopySelectedToOwn() noexcept;
    void EditSelectedOwn() noexcept;
    // The editor over owner; a saved recipe is selected in the list.
    void EditOwn(HWND owner, OwnRecipeId id, const OwnRecipe& start) noexcept;
    void SaveBatchAsRecipe(HWND owner, const BatchRecord& batch, const OwnTarget* matched = nullptr) noexcept;

    // Set while the amount field changes by the program's hand (or is being read), and
    // until the window is set up: such a change is not the painter's typing.
    bool ignoreAmountChange_ = true;
    RefPtr<AppModule> module_;
    Catalogue catalogue_;
    std::string vendorOptics_;  // the package's table, in force until the shop calibrates
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
    std::vector<OwnRecipeContext*> running_;  // the own recipe windows' contexts, while they run
    std::vector<OwnColourRow> ownRows_;
    std::vector<OwnRecipeId> ownIds_;  // beside ownRows_
    WideString costText_;
    ShopData shop_{catalogue_};  // after the catalogue it borrows
};

}  // namespace lacqueron
