#include <algorithm>
#include <iterator>
#include <memory>

#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "res/resource.h"
#include "ui/recipes/OwnRecipeParts.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/FolderWriteState.h"
#include "ui/shared/ListViewParts.h"

namespace lacqueron {
namespace {

constexpr char16_t kNotRestored[] = u"Версия не восстановлена";
// The data folder was gone when the older versions were to be read.
constexpr wchar_t kVersionsUnreadText[] = L"Не прочитано: папка данных недоступна.";
constexpr ColumnLayout kVersionColumns[] = {{L"Дата", 24}, {L"Код", 18}, {L"Название", 28}, {L"Изменения", 30}};
constexpr ColumnLayout kDeletedColumns[] = {{L"Дата", 24}, {L"Код", 18}, {L"Название", 28}, {L"Примечание", 30}};

// What a version changed against the one before it, in a few words.
WideString DescribeChange(const OwnRecipeVersion* before, const OwnRecipeVersion& version) {
    if (version.deleted) return u"удалён";
    if (before == nullptr) return u"создан";
    if (before->deleted) return u"восстановлен";
    const OwnRecipe& a = before->recipe;
    const OwnRecipe& b = version.recipe;
    const struct {
        bool changed;
        const char16_t* what;
    } fields[] = {{a.code != b.code, u"код"},        {a.name != b.name, u"название"},
                  {a.note != b.note, u"примечание"}, {a.rgb != b.rgb, u"цвет"},
                  {a.lines != b.lines, u"состав"}};
    WideString text;
    for (const auto& field : fields) {
        if (!field.changed) continue;
        text += text.empty() ? WideString(field.what) : u", " + WideString(field.what);
    }
    return text.empty() ? WideString(u"без изменений") : text;
}

class OwnRecipeHistoryDialog final : public Dialog {
public:
    // id 0 lists the deleted recipes, any other that recipe's versions.
    OwnRecipeHistoryDialog(OwnRecipeContext& context, OwnRecipeId id)
        : context_(context), id_(id), deletedList_(id == 0) {}

    bool Run(HWND owner) noexcept { return RunModalOrReport(owner, IDD_OWN_HISTORY) == IDOK; }

private:
    HWND List() const noexcept { return GetDlgItem(Window(), IDC_OWN_HISTORY_LIST); }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return FALSE;  // the focus is set on the list
        case WM_COMMAND: return OnCommand(LOWORD(wParam));
        case FolderWriteState::kWrittenMessage: OnRestored(wParam); return TRUE;
        case kFolderReadMessage: OnRead(wParam); return TRUE;
        case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        default: return FALSE;
        }
    }

    // The older versions are read off the window's thread: the file may be large and on a
    // share that stalls. Until they come the list is empty; the window answers, and beeps at a close.
    void OnInit() noexcept {
        CentreWindow(Window());
        HWND list = List();
        if (deletedList_) {
            SetWindowTextW(Window(), L"Удалённые рецепты");
            SetUpReportColumns(list, kDeletedColumns, std::size(kDeletedColumns));
        } else {
            SetUpReportColumns(list, kVersionColumns, std::size(kVersionColumns));
        }
        SetFocus(list);
        EnableRestore();
        if (context_.store == nullptr) return;
        try {
            auto read = std::make_shared<std::vector<OwnRecipeVersion>>();
            FolderWrite job = [read, id = id_](OwnRecipeStore* store, LedgerStore*, OpticsStore*) {
                if (store == nullptr) return JournalAppendResult::WriteFailed;
                *read = id == 0 ? store->Deleted() : store->History(id);
                return JournalAppendResult::Appended;
            };
            if (!reading_.Start(Window(), context_.writes, std::move(job), context_.store, nullptr)) {
                SetDlgItemTextW(Window(), IDC_OWN_HISTORY_SAVING, kStoresAwayText);
                return;
            }
            read_ = std::move(read);
            if (reading_.Running()) SetDlgItemTextW(Window(), IDC_OWN_HISTORY_SAVING, kFolderReadingText);
        } catch (...) {
            // Out of memory: the list stays empty, nothing to restore rather than a wrong row.
        }
    }

    void OnRead(WPARAM generation) noexcept {
        const std::optional<JournalAppendResult> done = reading_.Take(generation);
        if (!done || !read_) return;  // another job's
        SetDlgItemTextW(Window(), IDC_OWN_HISTORY_SAVING,
                        *done == JournalAppendResult::Appended ? L"" : kVersionsUnreadText);
        HWND list = List();
        try {
            versions_ = std::move(*read_);
            fourth_.clear();
            if (deletedList_) {
                for (const OwnRecipeVersion& version : versions_) fourth_.push_back(version.recipe.note);
            } else {
                for (std::size_t i = 0; i < versions_.size(); ++i)
                    fourth_.push_back(DescribeChange(i ? &versions_[i - 1] : nullptr, versions_[i]));
                // Newest first.
                std::reverse(versions_.begin(), versions_.end());
                std::reverse(fourth_.begin(), fourth_.end());
                SetWindowTextW(Window(), WinText(u"История рецепта " + LatestCode()));
            }
            for (std::size_t i = 0; i < versions_.size(); ++i) {
                const OwnRecipeVersion& version = versions_[i];
                AddListRow(list, {FormatBatchTime(version.saved), version.recipe.code, version.recipe.name, fourth_[i]});
            }
        } catch (...) {
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            versions_.clear();  // out of memory: nothing to restore rather than a wrong row
        }
        read_.reset();
        if (!versions_.empty()) SelectListItem(list, 0);
        EnableRestore();
    }

    WideString LatestCode() const { return versions_.empty() ? WideString() : versions_.front().recipe.code; }

    INT_PTR OnCommand(int id) noexcept {
        switch (id) {
        case IDOK:  // Enter
        case IDC_OWN_HISTORY_RESTORE:
        case IDCANCEL:
        case IDC_OWN_HISTORY_CLOSE:
            // A read left behind would keep the stores from the manager until it closes.
            if (reading_.Running()) {
                SimpleBeep();
                return TRUE;
            }
            restoring_.OkOrCancel(Window(), id == IDOK || id == IDC_OWN_HISTORY_RESTORE, [this] { Restore(); });
            return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR OnNotify(const NMHDR* header) noexcept {
        if (header == nullptr || header->idFrom != IDC_OWN_HISTORY_LIST) return FALSE;
        if (header->code == LVN_ITEMCHANGED) EnableRestore();
        if (header->code == NM_DBLCLK) Restore();
        return FALSE;
    }

    // The selected version when it can be restored: not a delete, and not the one in force.
    const OwnRecipeVersion* Restorable() const noexcept {
        const auto item = static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (item < 0 || static_cast<std::size_t>(item) >= versions_.size()) return nullptr;
        const OwnRecipeVersion& version = versions_[static_cast<std::size_t>(item)];
        if (version.deleted) return nullptr;
        const bool inForce = !deletedList_ && item == 0;
        return inForce ? nullptr : &version;
    }

    void EnableRestore() noexcept {
        if (HWND button = GetDlgItem(Window(), IDC_OWN_HISTORY_RESTORE)) EnableWindow(button, Restorable() != nullptr);
    }

    void Restore() noexcept {
        const OwnRecipeVersion* version = Restorable();
        if (version == nullptr || context_.store == nullptr) {
            SimpleBeep();
            return;
        }
        try {
            if (context_.catalogue) {
                const OwnRecipeCheck check =
                    CheckOwnRecipe(*context_.catalogue, version->recipe, OtherOwnCodes(context_, version->id));
                if (!check.ok()) {
                    ShowErrorBox(Window(), WinText(u"Версия не восстановлена. " + DescribeProblem(version->recipe, check)));
                    return;
                }
            }
            auto clash = std::make_shared<OwnSaveClash>();
            FolderWrite write = [clash, version = *version, now = CurrentBatchTime()](OwnRecipeStore* store,
                                                                                      LedgerStore*, OpticsStore*) {
                return store ? store->Restore(version, now, *clash) : JournalAppendResult::WriteFailed;
            };
            if (!restoring_.Start(Window(), IDC_OWN_HISTORY_SAVING, context_.writes, std::move(write), context_.store,
                                  nullptr)) {
                ShowErrorBox(Window(), kStoresAwayText);
                return;
            }
            clash_ = std::move(clash);
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы восстановить версию.");
        }
    }

    void OnRestored(WPARAM generation) noexcept {
        const std::optional<JournalAppendResult> result = restoring_.Take(generation);
        if (!result) return;  // another write's
        try {
            if (*result == JournalAppendResult::Refused) {
                ShowErrorBox(Window(), WinText(DescribeCodeClash(kNotRestored, clash_ ? clash_->code : WideString())));
                return;
            }
            if (*result != JournalAppendResult::Appended) {
                ShowErrorBox(Window(), WinText(DescribeAppendFailure(*result, kNotRestored, kOwnRecipeWords)));
                return;
            }
        } catch (...) {
            ShowErrorBox(Window(), L"Не хватило памяти, чтобы восстановить версию.");
            return;
        }
        ReportOwnRecipeChange(context_);
        EndDialog(Window(), IDOK);
    }

    OwnRecipeContext& context_;
    OwnRecipeId id_;
    bool deletedList_;
    std::vector<OwnRecipeVersion> versions_;  // as listed
    std::vector<WideString> fourth_;          // the last column of each
    FolderWriteState restoring_;
    FolderJob reading_{kFolderReadMessage};
    std::shared_ptr<std::vector<OwnRecipeVersion>> read_;  // the read on its way
    std::shared_ptr<OwnSaveClash> clash_;  // of the restore on its way
};

bool ShowHistoryDialog(HWND owner, OwnRecipeContext& context, OwnRecipeId id) noexcept {
    try {
        OwnRecipeHistoryDialog dialog(context, id);
        return dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы показать историю рецепта.");
        return false;
    }
}

}  // namespace

bool ShowOwnRecipeHistory(HWND owner, OwnRecipeContext& context, OwnRecipeId id) noexcept {
    return id != 0 && ShowHistoryDialog(owner, context, id);
}

bool ShowDeletedOwnRecipes(HWND owner, OwnRecipeContext& context) noexcept {
    return ShowHistoryDialog(owner, context, 0);
}

}  // namespace lacqueron
