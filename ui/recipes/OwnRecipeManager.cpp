#include <iterator>
#include <optional>

#include "data/text/TextFold.h"
#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "res/resource.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/recipes/OwnRecipeWindows.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/shared/Beep.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FilteredListDialog.h"
#include "ui/shared/FolderWriteState.h"

namespace lacqueron {
namespace {

enum Column { kCodeColumn, kColourColumn, kNameColumn, kNoteColumn, kChangedColumn };

constexpr ColumnLayout kColumns[] = {
    {L"Код", 16}, {L"Цвет", 8}, {L"Название", 30}, {L"Примечание", 26}, {L"Изменён", 20}};
// The colour bar keeps this much of the cell free around it, in dialog units.
constexpr int kBarInsetX = 2;
constexpr int kBarInsetY = 1;
constexpr char16_t kCopySuffix[] = u" (копия)";

bool Contains(const WideString& text, const WideString& foldedQuery) {
    return FoldText(text).find(foldedQuery) != WideString::npos;
}

class OwnRecipeManager final : public FilteredListDialog {
public:
    explicit OwnRecipeManager(OwnRecipeContext& context)
        : FilteredListDialog({IDC_OWN_SEARCH, IDC_OWN_LIST, IDC_OWN_CLOSE, kColumns, std::size(kColumns),
                              kColourColumn, SIZE{kBarInsetX, kBarInsetY}}),
          context_(context) {
        context_.followed = [this] { OnFollowed(); };
    }
    ~OwnRecipeManager() { context_.followed = nullptr; }

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_OWN_RECIPES); }

private:
    // None while a save has the store on the data folder's worker: the rows are blank
    // for that moment rather than read while they change.
    const std::vector<OwnRecipeCurrent>* Recipes() const noexcept {
        if (context_.writes && context_.writes->Away()) return nullptr;
        return context_.store ? &context_.store->Current() : nullptr;
    }

    const OwnRecipeCurrent* RecipeAt(int item) const noexcept {
        const std::vector<OwnRecipeCurrent>* recipes = Recipes();
        const std::size_t row = RowAt(item);
        if (recipes == nullptr || row == kNoItemRow || row >= recipes->size()) return nullptr;
        return &(*recipes)[row];
    }

    const OwnRecipeCurrent* Selected() const noexcept { return RecipeAt(SelectedItem()); }

    std::vector<std::size_t> SelectRows(const WideString& text) override {
        std::vector<std::size_t> rows;
        const std::vector<OwnRecipeCurrent>* recipes = Recipes();
        // Chosen from nothing while the store is away: chosen again once it is back.
        shownRevision_ = recipes ? std::optional(context_.store->Revision()) : std::nullopt;
        if (recipes == nullptr) return rows;
        const WideString query = FoldText(TrimSpaces(text));
        for (std::size_t i = 0; i < recipes->size(); ++i) {
            const OwnRecipe& recipe = (*recipes)[i].recipe;
            if (query.empty() || Contains(recipe.code, query) || Contains(recipe.name, query) ||
                Contains(recipe.note, query))
                rows.push_back(i);
        }
        return rows;
    }

    WideString CellText(int item, int column) override {
        const OwnRecipeCurrent* current = RecipeAt(item);
        if (current == nullptr) return WideString();
        switch (column) {
        case kCodeColumn: return current->recipe.code;
        case kNameColumn: return current->recipe.name;
        case kNoteColumn: return current->recipe.note;
        case kChangedColumn: return FormatBatchTime(current->lastSaved);
        default: return WideString();
        }
    }

    const ColourEntry* BarColour(int item) noexcept override {
        const OwnRecipeCurrent* current = RecipeAt(item);
        if (current == nullptr) return nullptr;
        bar_.rgb = current->recipe.rgb;  // read at once by the painting
        return &bar_;
    }

    void OnActivate(int) noexcept override {
        if (!catchUp_.Defer(IDOK)) Edit();
    }
    void OnSetUp() noexcept override {
        ShowWindow(GetDlgItem(Window(), IDC_OWN_MATCH), context_.match ? SW_SHOW : SW_HIDE);
        ShowWindow(GetDlgItem(Window(), IDC_OWN_CALIBRATE), context_.calibrate ? SW_SHOW : SW_HIDE);
        ShowState();
    }
    void OnRowsShown() noexcept override { EnableButtons(); }

    INT_PTR OnOtherCommand(int, int id) noexcept override {
        // Every command reads the store, which a catch-up has away for a moment.
        if (catchUp_.Defer(id)) return TRUE;
        switch (id) {
        case IDC_OWN_NEW: New(); return TRUE;
        case IDOK:  // Enter, wherever the focus is
        case IDC_OWN_EDIT: Edit(); return TRUE;
        case IDC_OWN_COPY: Copy(); return TRUE;
        case IDC_OWN_DELETE: Delete(); return TRUE;
        case IDC_OWN_HISTORY:
            if (const OwnRecipeCurrent* current = Selected()) {
                const OwnRecipeId id = current->id;
                if (ShowOwnRecipeHistory(Window(), context_, id)) Reload(id);
            } else {
                SimpleBeep();
            }
            return TRUE;
        case IDC_OWN_DELETED:
            if (ShowDeletedOwnRecipes(Window(), context_)) Reload(0);
            return TRUE;
        case IDC_OWN_IMPORT: import_.Start(Window(), IDC_OWN_STATE, context_); return TRUE;
        case IDC_OWN_EXPORT: ExportOwnRecipesFile(Window(), context_, Rows()); return TRUE;
        case IDC_OWN_FOLDER:
            if (ChooseDataFolder(Window(), context_)) {
                ShowState();
                Reload(0);
            }
            return TRUE;
        case IDC_OWN_MATCH:
            // A draft saved from it reports the change as any save does.
            if (context_.match) context_.match(Window());
            Reload(0);
            return TRUE;
        case IDC_OWN_CALIBRATE:
            if (context_.calibrate) context_.calibrate(Window());
            return TRUE;
        case IDC_OWN_PRICES:
        case IDC_OWN_STOCK: ShowLedger(id); return TRUE;
        default: return FALSE;
        }
    }

    void ShowLedger(int id) noexcept {
        try {
            LedgerContext ledger{context_.catalogue, context_.ledger, context_.ledgerError, context_.ledgerChanged,
                                 context_.writes};
            if (id == IDC_OWN_PRICES)
                ShowPrices(Window(), ledger);
            else
                ShowStock(Window(), ledger);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть окно.");
        }
    }

    INT_PTR OnOtherMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        if (message == FolderWriteState::kWrittenMessage) {
            OnDeleted(wParam);
            OnImported(wParam);
            return TRUE;
        }
        // What other benches saved shows when the window is active again.
        return catchUp_
            .OnMessage(Window(), message, wParam, [this] { CatchUp(); }, [this](JournalAppendResult) { OnCaughtUp(); })
            .value_or(FALSE);
    }

    // The store reads what other benches saved, on the data folder's worker.
    void CatchUp() noexcept {
        if (Recipes() == nullptr) return;  // none, or a write has it and catches it up itself
        const OwnRecipeCurrent* current = Selected();
        keptId_ = current ? current->id : 0;
        catchUp_.Start(
            Window(), context_.writes,
            [](OwnRecipeStore* store, LedgerStore*, OpticsStore*) { return FolderCatchUp::Refreshed(store); }, context_.store,
            nullptr);
    }

    void OnCaughtUp() noexcept {
        InvalidateRect(GetDlgItem(Window(), IDC_OWN_LIST), nullptr, TRUE);  // blank while the store was away
        // The recipe the painter chose meanwhile stays chosen: the rows read keep their order.
        const OwnRecipeCurrent* chosen = Selected();
        if (chosen) keptId_ = chosen->id;
        if (context_.store && context_.store->Revision() != shownRevision_) Reload(keptId_);
        EnableButtons();
    }

    // Where the recipes are kept, or why they cannot be read.
    void ShowState() noexcept {
        try {
            const WideString text = context_.store ? u"Папка данных: " + DataFolderPath()
                                                   : context_.storeError + u" Выберите другую папку данных.";
            SetDlgItemTextW(Window(), IDC_OWN_STATE, WinText(text));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_OWN_STATE, L"");
        }
    }

    void EnableButtons() noexcept {
        const bool store = context_.store != nullptr;
        const bool selected = Selected() != nullptr;
        const struct {
            int id;
            bool enabled;
        } buttons[] = {{IDC_OWN_NEW, store},      {IDC_OWN_EDIT, selected},    {IDC_OWN_COPY, selected},
                       {IDC_OWN_DELETE, selected}, {IDC_OWN_HISTORY, selected}, {IDC_OWN_DELETED, store},
                       {IDC_OWN_IMPORT, store},    {IDC_OWN_EXPORT, !Rows().empty()}};
        for (const auto& button : buttons)
            if (HWND control = GetDlgItem(Window(), button.id)) EnableWindow(control, button.enabled);
    }

    // The rows chosen again; the recipe `id` selected when it is listed.
    void Reload(OwnRecipeId id) noexcept {
        Refill();
        const std::vector<OwnRecipeCurrent>* recipes = Recipes();
        if (recipes == nullptr || id == 0) return;
        for (std::size_t item = 0; item < Rows().size(); ++item)
            if ((*recipes)[Rows()[item]].id == id) {
                SelectListItem(List(), static_cast<int>(item));
                return;
            }
    }

    void RunEditor(OwnRecipeId id, const OwnRecipe& start) noexcept {
        if (EditOwnRecipe(Window(), context_, id, start)) Reload(id);
    }

    void New() noexcept {
        try {
            RunEditor(0, OwnRecipe{});
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть рецепт.");
        }
    }

    void Edit() noexcept {
        if (const OwnRecipeCurrent* current = Selected()) {
            try {
                const OwnRecipe start = current->recipe;  // the store may change under the editor
                RunEditor(current->id, start);
            } catch (...) {
                ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть рецепт.");
            }
            return;
        }
        SimpleBeep();
    }

    // A new recipe with the selected one's fields; its code marked as a copy while it fits.
    void Copy() noexcept {
        const OwnRecipeCurrent* current = Selected();
        if (current == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            OwnRecipe copy = current->recipe;
            if (copy.code.size() + std::size(kCopySuffix) - 1 <= kLongestOwnCode) copy.code += kCopySuffix;
            RunEditor(0, copy);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы открыть рецепт.");
        }
    }

    void Delete() noexcept {
        const OwnRecipeCurrent* current = Selected();
        if (current == nullptr || context_.store == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            const WideString question = u"Удалить рецепт " + current->recipe.code +
                                        u"? Он останется в истории, и его можно будет восстановить.";
            if (!AskOwnRecipeQuestion(Window(), question)) return;
            FolderWrite write = [id = current->id, now = CurrentBatchTime()](OwnRecipeStore* store, LedgerStore*,
                                                                             OpticsStore*) {
                return store ? store->Delete(id, now) : JournalAppendResult::WriteFailed;
            };
            if (!deleting_.Start(Window(), IDC_OWN_STATE, context_.writes, std::move(write), context_.store, nullptr))
                ShowErrorBox(Window(), kStoresAwayText);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы удалить рецепт.");
        }
    }

    void OnDeleted(WPARAM generation) noexcept {
        const std::optional<JournalAppendResult> result = deleting_.Take(generation);
        if (!result) return;  // another write's
        InvalidateRect(GetDlgItem(Window(), IDC_OWN_LIST), nullptr, TRUE);  // blank while the store was away
        if (*result != JournalAppendResult::Appended) {
            try {
                ShowErrorBox(Window(), WinText(DescribeAppendFailure(*result, u"Рецепт не удалён", kOwnRecipeWords)));
            } catch (...) {
                ShowErrorBox(Window(), L"Рецепт не удалён.");
            }
            return;
        }
        ReportOwnRecipeChange(context_);
        Reload(0);
    }

    // The data folder moved: its stores are read now, or why not is shown.
    void OnFollowed() noexcept {
        ShowState();
        Reload(0);
    }

    void OnImported(WPARAM generation) noexcept {
        const std::optional<bool> saved = import_.OnWritten(Window(), generation, context_);
        if (!saved) return;  // another write's
        InvalidateRect(GetDlgItem(Window(), IDC_OWN_LIST), nullptr, TRUE);  // blank while the store was away
        if (*saved) Reload(0);
    }

    bool HoldsClose() const noexcept override { return deleting_.Running() || import_.Running(); }
    bool DefersClose(int id) noexcept override { return catchUp_.Defer(id); }

    OwnRecipeContext& context_;
    ColourEntry bar_;
    FolderWriteState deleting_;
    OwnRecipeImport import_;
    FolderCatchUp catchUp_;
    OwnRecipeId keptId_ = 0;  // selected when the catch-up began
    // The store's revision the rows were chosen at; none when chosen while it was away.
    std::optional<std::uint64_t> shownRevision_;
};

}  // namespace

void ShowOwnRecipeManager(HWND owner, OwnRecipeContext& context) noexcept {
    try {
        OwnRecipeManager manager(context);
        manager.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы показать свои рецепты.");
    }
}

}  // namespace lacqueron
