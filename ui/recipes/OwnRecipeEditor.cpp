#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <optional>

#include "ownrecipes/OwnRecipeCsv.h"
#include "data/text/TextFold.h"
#include "files/JournalAccess.h"
#include "formula/RecipeText.h"
#include "journal/JournalText.h"
#include "res/resource.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/recipes/OwnRecipeWindows.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ColourChooser.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/DerivedFont.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/Dpi.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FlagScope.h"
#include "ui/shared/FolderWriteState.h"
#include "ui/shared/GdiHandles.h"
#include "ui/shared/ListViewParts.h"
#include "ui/shared/RecipeFont.h"
#include "ui/shared/Beep.h"

namespace lacqueron {
namespace {

enum LineColumn { kLineComponentColumn, kLineCodeColumn, kLineAmountColumn };
constexpr ColumnLayout kLineColumns[] = {
    {L"Компонент", 50}, {L"Код", 14}, {L"Количество, г", 36, LVCFMT_RIGHT}};
constexpr int kLongestName = 100;
constexpr int kLongestNote = 200;
constexpr int kLongestAmount = 16;
// The preview is not a package colour: its number only has to be one.
constexpr std::int32_t kPreviewNumber = 0;
constexpr wchar_t kNotSaved[] = L" Рецепт не сохранён.";
constexpr char16_t kNotSavedLead[] = u"Рецепт не сохранён";
constexpr wchar_t kBadColour[] =
    L"Цвет R-G-B: три числа от 0 до 255 через дефис, например 200-30-40. Рецепт не сохранён.";
constexpr wchar_t kNoMemory[] = L"Не хватило памяти. Рецепт не сохранён.";

// A line as the painter typed it: the amount stays text until it is saved, so a bad
// one can be told about.
struct EditedLine {
    WideString component;
    WideString amount;
};

class OwnRecipeEditor final : public Dialog {
public:
    OwnRecipeEditor(OwnRecipeContext& context, OwnRecipeId& id, const OwnRecipe& start)
        : context_(context), id_(id), start_(start), rgb_(start.rgb) {
        for (const OwnRecipeLine& line : start.lines) lines_.push_back({line.component, FormatOwnAmount(line.amount)});
        // What the edit starts from: a save finds out whether another bench moved on since.
        if (id != 0 && context.store)
            for (const OwnRecipeCurrent& current : context.store->Current())
                if (current.id == id) versions_ = current.versions;
        if (context.catalogue == nullptr) return;
        // Each code once: a base is listed per purpose in the package under one code.
        for (const MixComponent& component : context.catalogue->components) {
            if (component.kind != kBase && component.kind != kPigment) continue;
            if (FindComponent(component.code) == nullptr) components_.push_back(&component);
        }
    }

    bool Run(HWND owner) noexcept { return RunModalOrReport(owner, IDD_OWN_RECIPE) == IDOK; }

private:
    HWND Control(int id) const noexcept { return GetDlgItem(Window(), id); }

    const MixComponent* FindComponent(const WideString& code) const noexcept {
        for (const MixComponent* component : components_)
            if (component->code == code) return component;
        return nullptr;
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return TRUE;  // the focus goes to the first tab stop, the code
        case WM_COMMAND: return OnCommand(HIWORD(wParam), LOWORD(wParam));
        case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        case FolderWriteState::kWrittenMessage: OnSaved(wParam); return TRUE;
        case WM_CTLCOLORSTATIC:
            if (swatchBrush_ && reinterpret_cast<HWND>(lParam) == Control(IDC_OWN_RECIPE_SWATCH))
                return reinterpret_cast<INT_PTR>(swatchBrush_.get());
            return FALSE;
        default: return FALSE;
        }
    }

    void OnInit() noexcept {
        CentreWindow(Window());
        SendMessageW(Control(IDC_OWN_RECIPE_CODE), EM_LIMITTEXT, kLongestOwnCode, 0);
        SendMessageW(Control(IDC_OWN_RECIPE_NAME), EM_LIMITTEXT, kLongestName, 0);
        SendMessageW(Control(IDC_OWN_RECIPE_NOTE), EM_LIMITTEXT, kLongestNote, 0);
        SendMessageW(Control(IDC_OWN_RECIPE_AMOUNT), EM_LIMITTEXT, kLongestAmount, 0);
        SetOwnedFont(Control(IDC_OWN_RECIPE_PREVIEW), previewFont_,
                     CreateRecipeFont(static_cast<int>(DpiOfWindow(Window()))));
        try {
            FlagScope filling(filling_);
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_CODE, WinText(start_.code));
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_NAME, WinText(start_.name));
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_NOTE, WinText(start_.note));
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_RGB, WinText(FormatRgb(rgb_)));
            HWND combo = Control(IDC_OWN_RECIPE_COMPONENT);
            for (std::size_t i = 0; i < components_.size(); ++i) {
                const MixComponent& component = *components_[i];
                AddComboItem(combo, WinText(component.name.empty() ? component.code : component.name),
                             static_cast<std::uint32_t>(i));
            }
        } catch (...) {
            // Out of memory: the fields stay as they are; saving reads what they show.
        }
        SetUpReportColumns(Control(IDC_OWN_RECIPE_LINES), kLineColumns, std::size(kLineColumns));
        PaintSwatch();
        ShowLines(0);
    }

    INT_PTR OnCommand(int code, int id) noexcept {
        switch (id) {
        case IDC_OWN_RECIPE_CODE:
        case IDC_OWN_RECIPE_NAME:
            if (code == EN_CHANGE) ShowPreview();
            return TRUE;
        case IDC_OWN_RECIPE_RGB:
            if (code == EN_CHANGE) ReadColourText();
            return TRUE;
        case IDC_OWN_RECIPE_CHOOSE_COLOUR: ChooseColour(); return TRUE;
        case IDC_OWN_RECIPE_COMPONENT:
            if (code == CBN_SELCHANGE) TakeLineFields();
            return TRUE;
        case IDC_OWN_RECIPE_AMOUNT:
            if (code == EN_CHANGE) TakeLineFields();
            return TRUE;
        case IDC_OWN_RECIPE_ADD: AddLine(); return TRUE;
        case IDC_OWN_RECIPE_REMOVE: RemoveLine(); return TRUE;
        case IDC_OWN_RECIPE_UP: MoveLine(-1); return TRUE;
        case IDC_OWN_RECIPE_DOWN: MoveLine(1); return TRUE;
        case IDOK:
        case IDCANCEL: saving_.OkOrCancel(Window(), id == IDOK, [this] { Save(); }); return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR OnNotify(const NMHDR* header) noexcept {
        if (header == nullptr || header->idFrom != IDC_OWN_RECIPE_LINES) return FALSE;
        if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) ShowLineFields();
        } else if (header->code == LVN_KEYDOWN &&
                   reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) {
            RemoveLine();
        }
        return FALSE;
    }

    int SelectedLine() const noexcept {
        const auto item = static_cast<int>(SendMessageW(Control(IDC_OWN_RECIPE_LINES), LVM_GETNEXTITEM,
                                                        static_cast<WPARAM>(-1), LVNI_SELECTED));
        return item >= 0 && static_cast<std::size_t>(item) < lines_.size() ? item : -1;
    }

    WideString ComponentName(const WideString& code) const {
        const MixComponent* component = FindComponent(code);
        return component && !component->name.empty() ? component->name : code;
    }

    // The list filled again from the lines, `select` selected.
    void ShowLines(int select) noexcept {
        HWND list = Control(IDC_OWN_RECIPE_LINES);
        {
            FlagScope filling(filling_);
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            try {
                for (const EditedLine& line : lines_) AddListRow(list, {ComponentName(line.component), line.component, line.amount});
            } catch (...) {
                SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            }
        }
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        if (count > 0) SelectListItem(list, std::clamp(select, 0, count - 1));
        ShowLineFields();
        ShowPreview();
    }

    // The selected line in the component and amount fields.
    void ShowLineFields() noexcept {
        if (filling_) return;
        FlagScope filling(filling_);
        const int line = SelectedLine();
        HWND combo = Control(IDC_OWN_RECIPE_COMPONENT);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        if (line < 0) {
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_AMOUNT, L"");
        } else {
            const EditedLine& edited = lines_[static_cast<std::size_t>(line)];
            for (std::size_t i = 0; i < components_.size(); ++i)
                if (components_[i]->code == edited.component) SelectComboData(combo, static_cast<std::uint32_t>(i));
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_AMOUNT, WinText(edited.amount));
        }
        for (int id : {IDC_OWN_RECIPE_COMPONENT, IDC_OWN_RECIPE_AMOUNT, IDC_OWN_RECIPE_REMOVE, IDC_OWN_RECIPE_UP,
                       IDC_OWN_RECIPE_DOWN})
            EnableWindow(Control(id), line >= 0);
    }

    // The component and amount fields into the selected line, as they change.
    void TakeLineFields() noexcept {
        if (filling_) return;
        const int line = SelectedLine();
        if (line < 0) return;
        EditedLine& edited = lines_[static_cast<std::size_t>(line)];
        try {
            const std::optional<std::uint32_t> choice = SelectedComboData(Control(IDC_OWN_RECIPE_COMPONENT));
            if (choice && *choice < components_.size()) edited.component = components_[*choice]->code;
            edited.amount = ControlText(Control(IDC_OWN_RECIPE_AMOUNT));
            const WideString cells[] = {ComponentName(edited.component), edited.component, edited.amount};
            HWND list = Control(IDC_OWN_RECIPE_LINES);
            for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
                LVITEMW item{};
                item.iSubItem = column;
                item.pszText = const_cast<wchar_t*>(WinText(cells[column]));
                SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
            }
        } catch (...) {
            // Out of memory: the line keeps what it held.
        }
        ShowPreview();
    }

    // A new line, selected, for the first component the recipe does not have yet; the
    // painter chooses its component and types its amount in the fields.
    void AddLine() noexcept {
        try {
            EditedLine line;
            for (const MixComponent* component : components_) {
                const auto used = [&](const EditedLine& other) { return other.component == component->code; };
                if (std::none_of(lines_.begin(), lines_.end(), used)) {
                    line.component = component->code;
                    break;
                }
            }
            lines_.push_back(std::move(line));
        } catch (...) {
            SimpleBeep();
            return;
        }
        ShowLines(static_cast<int>(lines_.size()) - 1);
        SetFocus(Control(IDC_OWN_RECIPE_COMPONENT));
    }

    void RemoveLine() noexcept {
        const int line = SelectedLine();
        if (line < 0) {
            SimpleBeep();
            return;
        }
        lines_.erase(lines_.begin() + line);
        ShowLines(line);
    }

    void MoveLine(int step) noexcept {
        const int line = SelectedLine();
        const int to = line + step;
        if (line < 0 || to < 0 || to >= static_cast<int>(lines_.size())) {
            SimpleBeep();
            return;
        }
        std::swap(lines_[static_cast<std::size_t>(line)], lines_[static_cast<std::size_t>(to)]);
        ShowLines(to);
    }

    void PaintSwatch() noexcept {
        swatchBrush_.Reset(CreateSolidBrush(rgb_));
        InvalidateRect(Control(IDC_OWN_RECIPE_SWATCH), nullptr, TRUE);
    }

    void ReadColourText() noexcept {
        if (filling_) return;
        std::uint32_t rgb = 0;
        if (!ParseRgb(ControlText(Control(IDC_OWN_RECIPE_RGB)), rgb)) return;  // said when saving
        rgb_ = rgb;
        PaintSwatch();
    }

    void ChooseColour() noexcept {
        COLORREF chosen = rgb_;
        if (!ChooseScreenColour(Window(), chosen, customColours_)) return;
        rgb_ = chosen;
        try {
            FlagScope filling(filling_);
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_RGB, WinText(FormatRgb(rgb_)));
        } catch (...) {
            SimpleBeep();
        }
        PaintSwatch();
    }

    // The fields as a recipe; a line whose amount does not read keeps 0 and, with
    // `problem` set, is told about.
    OwnRecipe FieldsRecipe(OwnRecipeCheck* problem) const {
        OwnRecipe recipe;
        recipe.code = WideString(TrimSpaces(ControlText(Control(IDC_OWN_RECIPE_CODE))));
        recipe.name = WideString(TrimSpaces(ControlText(Control(IDC_OWN_RECIPE_NAME))));
        recipe.note = WideString(TrimSpaces(ControlText(Control(IDC_OWN_RECIPE_NOTE))));
        recipe.rgb = rgb_;
        // The colour it was matched to is no field of the editor's: an edit keeps it.
        recipe.target = start_.target;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            OwnRecipeLine line{lines_[i].component, 0};
            const OwnRecipeProblem read = ParseOwnAmount(TrimSpaces(lines_[i].amount), line.amount);
            if (read != OwnRecipeProblem::kNone && problem && problem->ok()) *problem = {read, i};
            if (read == OwnRecipeProblem::kNone || problem) recipe.lines.push_back(std::move(line));
        }
        return recipe;
    }

    void ShowPreview() noexcept {
        if (filling_) return;
        try {
            WideString text;
            if (context_.catalogue) {
                const ColourRecipe recipe = ToColourRecipe(FieldsRecipe(nullptr), kPreviewNumber);
                text = ComputeRecipeText(*context_.catalogue, &recipe, context_.purpose, context_.weightType,
                                         context_.amount);
            }
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_PREVIEW, WinText(text));
        } catch (...) {
            SetDlgItemTextW(Window(), IDC_OWN_RECIPE_PREVIEW, L"");
        }
    }

    void TellProblem(const OwnRecipe& recipe, const OwnRecipeCheck& check) {
        if (check.line && *check.line < lines_.size()) {
            SelectListItem(Control(IDC_OWN_RECIPE_LINES), static_cast<int>(*check.line));
            SetFocus(Control(IDC_OWN_RECIPE_AMOUNT));
        }
        ShowErrorBox(Window(), WinText(DescribeProblem(recipe, check) + FromWinText(kNotSaved)));
    }

    // Another bench saved first: a code it took is told; a recipe it changed or deleted
    // is shown, and saved on top of that only when the painter says so.
    void TellClash(const OwnRecipe& recipe, const OwnSaveClash& clash) {
        if (!clash.code.empty()) {
            ShowErrorBox(Window(), WinText(DescribeCodeClash(kNotSavedLead, clash.code)));
            SetFocus(Control(IDC_OWN_RECIPE_CODE));
            return;
        }
        if (!AskOwnRecipeQuestion(Window(), ChangedElsewhereQuestion(recipe.code, clash))) return;
        versions_ = clash.theirs ? std::optional(clash.theirs->versions) : std::nullopt;
        Save();
    }

    // Checks the fields and sends the save on its way; anything wrong is told and the
    // editor stays open with the edit.
    void Save() noexcept {
        try {
            std::uint32_t rgb = 0;
            if (!ParseRgb(ControlText(Control(IDC_OWN_RECIPE_RGB)), rgb)) {
                ShowErrorBox(Window(), kBadColour);
                SetFocus(Control(IDC_OWN_RECIPE_RGB));
                return;
            }
            rgb_ = rgb;
            OwnRecipeCheck check;
            const OwnRecipe recipe = FieldsRecipe(&check);
            if (check.ok() && context_.catalogue)
                check = CheckOwnRecipe(*context_.catalogue, recipe, OtherOwnCodes(context_, id_));
            if (!check.ok()) {
                TellProblem(recipe, check);
                return;
            }
            if (context_.store == nullptr) {
                ShowErrorBox(Window(), WinText(context_.storeError + FromWinText(kNotSaved)));
                return;
            }
            // The save runs on the data folder's worker; the editor keeps the edit until told.
            auto outcome = std::make_shared<SaveOutcome>();
            outcome->id = id_;
            outcome->recipe = recipe;
            FolderWrite write = [outcome, now = CurrentBatchTime(), versions = versions_](OwnRecipeStore* store,
                                                                                          LedgerStore*, OpticsStore*) {
                if (store == nullptr) return JournalAppendResult::WriteFailed;
                return store->Save(outcome->id, outcome->recipe, now, versions, outcome->clash);
            };
            if (!saving_.Start(Window(), IDC_OWN_RECIPE_SAVING, context_.writes, std::move(write), context_.store,
                               nullptr)) {
                ShowErrorBox(Window(), WinText(FromWinText(kStoresAwayText) + FromWinText(kNotSaved)));
                return;
            }
            outcome_ = std::move(outcome);
        } catch (...) {
            ShowErrorBox(Window(), kNoMemory);
        }
    }

    // The save came back: closes when it landed; anything else is told and the editor
    // stays open with the edit.
    void OnSaved(WPARAM generation) noexcept {
        const std::optional<JournalAppendResult> result = saving_.Take(generation);
        if (!result || !outcome_) return;  // another save's, long gone
        const std::shared_ptr<SaveOutcome> outcome = std::move(outcome_);
        try {
            if (*result == JournalAppendResult::Refused) return TellClash(outcome->recipe, outcome->clash);
            if (*result != JournalAppendResult::Appended) {
                ShowErrorBox(Window(), WinText(DescribeAppendFailure(*result, kNotSavedLead, kOwnRecipeWords)));
                return;
            }
        } catch (...) {
            ShowErrorBox(Window(), kNoMemory);
            return;
        }
        id_ = outcome->id;
        ReportOwnRecipeChange(context_);
        EndDialog(Window(), IDOK);
    }

    // A save as it goes to the worker and comes back: written there, read here once told.
    struct SaveOutcome {
        OwnRecipeId id = 0;
        OwnRecipe recipe;
        OwnSaveClash clash;
    };

    OwnRecipeContext& context_;
    OwnRecipeId& id_;
    const OwnRecipe& start_;
    // The recipe's versions when the edit began, or when the painter chose to save on top.
    std::optional<std::size_t> versions_;
    std::uint32_t rgb_;
    std::vector<EditedLine> lines_;
    std::vector<const MixComponent*> components_;  // the combo's items, by their data
    CustomColours customColours_{};
    BrushHandle swatchBrush_;
    FontHandle previewFont_;
    FolderWriteState saving_;
    std::shared_ptr<SaveOutcome> outcome_;  // the save on its way
    bool filling_ = false;  // the window's own changes of its fields, not the painter's
};

}  // namespace

bool EditOwnRecipe(HWND owner, OwnRecipeContext& context, OwnRecipeId& id, const OwnRecipe& start) noexcept {
    try {
        OwnRecipeEditor editor(context, id, start);
        return editor.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы открыть рецепт.");
        return false;
    }
}

}  // namespace lacqueron
