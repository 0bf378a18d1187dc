#include "ui/journal/JournalDialog.h"

#include <commdlg.h>

#include <algorithm>

#include "data/catalogue/UnitAndPurpose.h"
#include "files/FileReplace.h"
#include "journal/JournalCsv.h"
#include "journal/JournalFilter.h"
#include "journal/JournalText.h"
#include "res/resource.h"
#include "ui/shared/Beep.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/ListViewParts.h"
#include "ui/print/CanLabelPrint.h"

namespace lacqueron {
namespace {

// The purpose comes last: the longest names make the list scroll sideways, and the
// rest stays in view.
enum Column { kDateColumn, kCodeColumn, kColourColumn, kAmountColumn, kStatusColumn, kNoteColumn, kPurposeColumn };

constexpr ColumnLayout kColumns[] = {{L"Дата", 15},   {L"Код", 11},        {L"Цвет", 7},         {L"Количество", 14},
                                     {L"Статус", 9}, {L"Примечание", 22}, {L"Назначение", 22}};
// Where the details' recipe and poured columns start, in dialog units.
constexpr int kDetailsTabStops[] = {110, 170};
constexpr std::size_t kNoBatch = static_cast<std::size_t>(-1);
// The colour bar keeps this much of the cell free around it, in dialog units.
constexpr int kBarInsetX = 2;
constexpr int kBarInsetY = 1;
constexpr UINT kShowDamage = WM_APP + 1;
constexpr wchar_t kDamageCaption[] = L"Внимание";
constexpr wchar_t kDefaultExportName[] = L"Журнал.csv";
constexpr wchar_t kExportFilter[] = L"Таблица CSV (*.csv)\0*.csv\0Все файлы (*.*)\0*.*\0";
constexpr wchar_t kExportExtension[] = L"csv";
constexpr char16_t kLineEnd[] = u"\r\n";

WideString BatchDetails(const BatchRecord& batch) {
    WideString text = FormatBatchTime(batch.time) + u"   " + batch.colourCode + u" " + batch.colourName + kLineEnd;
    text += u"Назначение: " + PurposeName(batch.purpose) + kLineEnd;
    text += u"Количество: " + FormatBatchAmount(batch) + u"   шаг весов: " +
            FormatHundredths(static_cast<Hundredths>(batch.resolution)) + u" г" + kLineEnd + kLineEnd;
    text += u"Компонент\tпо рецепту, г\tналито, г" + WideString(kLineEnd);
    for (const BatchComponent& component : batch.components)
        text += component.name + u"\t" + FormatHundredths(component.recipeWeight) + u"\t" +
                FormatHundredths(component.poured) + kLineEnd;
    for (const BatchCorrection& correction : batch.corrections)
        text += u"Пересчёт: " + FormatCorrection(correction) + kLineEnd;
    text += kLineEnd + (u"Итого: " + FormatHundredths(batch.finalTotal) + u" г   статус: " +
                        BatchStatusText(batch.status));
    if (!batch.note.empty()) text += kLineEnd + (u"Примечание: " + batch.note);
    return text;
}

}  // namespace

JournalDialog::JournalDialog(const JournalStore& store, const Catalogue& catalogue, RepeatFunction repeat)
    : journal_(store.Contents()), colours_(catalogue), repeat_(std::move(repeat)) {}

void JournalDialog::Run(HWND owner) noexcept { RunModal(owner, IDD_JOURNAL); }

HWND JournalDialog::List() const noexcept { return GetDlgItem(Window(), IDC_JOURNAL_LIST); }

INT_PTR JournalDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;  // the focus goes to the first tab stop, the search field
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        const INT_PTR handled = OnNotify(reinterpret_cast<const NMHDR*>(lParam), result);
        if (handled) SetWindowLongPtrW(Window(), DWLP_MSGRESULT, result);
        return handled;
    }
    case WM_DESTROY:
        StopForwardingListKeys(GetDlgItem(Window(), IDC_JOURNAL_SEARCH));
        return FALSE;
    case kShowDamage:
        try {
            const WideString damage = JournalDamageMessage(journal_);
            if (!damage.empty()) MessageBoxW(Window(), WinText(damage), kDamageCaption, MB_OK | MB_ICONWARNING);
        } catch (...) {
            // Out of memory for the message: the window shows what was read all the same.
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void JournalDialog::OnInit() noexcept {
    CentreWindow(Window());
    SendDlgItemMessageW(Window(), IDC_JOURNAL_DETAILS, EM_SETTABSTOPS, std::size(kDetailsTabStops),
                        reinterpret_cast<LPARAM>(kDetailsTabStops));
    SetUpReportColumns(List(), kColumns, std::size(kColumns));
    WidenPurposeColumn();
    ForwardListKeys(GetDlgItem(Window(), IDC_JOURNAL_SEARCH), List());
    Refill();
    // Told once the window is on the screen, so the painter sees what was recovered behind it.
    if (!journal_.Damage().empty()) PostMessageW(Window(), kShowDamage, 0, 0);
}

void JournalDialog::WidenPurposeColumn() noexcept {
    HWND list = List();
    if (list == nullptr) return;
    // The list pads a cell's text by about a character on each side.
    int widest = 2 * static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"x")));
    const int padding = widest;
    try {
        for (std::uint32_t purpose = 1;; ++purpose) {
            const WideString name = PurposeName(purpose);
            if (name.empty()) break;
            const auto width = static_cast<int>(
                SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(WinText(name))));
            widest = std::max(widest, width + padding);
        }
    } catch (...) {
        return;  // out of memory: the column keeps its share
    }
    if (widest > SendMessageW(list, LVM_GETCOLUMNWIDTH, kPurposeColumn, 0))
        SendMessageW(list, LVM_SETCOLUMNWIDTH, kPurposeColumn, MAKELPARAM(widest, 0));
}

INT_PTR JournalDialog::OnCommand(int code, int id) noexcept {
    switch (id) {
    case IDC_JOURNAL_SEARCH:
        if (code != EN_CHANGE) return FALSE;
        Refill();
        return TRUE;
    case IDC_JOURNAL_REPEAT:
    case IDOK:  // Enter, wherever the focus is
        Repeat();
        return TRUE;
    case IDC_JOURNAL_EXPORT:
        Export();
        return TRUE;
    case IDC_JOURNAL_LABEL:
        PrintLabel();
        return TRUE;
    case IDC_JOURNAL_CLOSE:
    case IDCANCEL:
        EndDialog(Window(), IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR JournalDialog::OnNotify(const NMHDR* header, LRESULT& result) noexcept {
    if (header == nullptr || header->idFrom != IDC_JOURNAL_LIST) return FALSE;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        OnDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
        return TRUE;
    case LVN_ITEMCHANGED:
        ShowDetails();
        return TRUE;
    case NM_DBLCLK:
        if (reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem >= 0) Repeat();
        return TRUE;
    default:
        return FALSE;
    }
}

void JournalDialog::Refill() noexcept {
    try {
        rows_ = SelectBatches(journal_, ControlText(GetDlgItem(Window(), IDC_JOURNAL_SEARCH)));
    } catch (...) {
        rows_.clear();  // out of memory: no rows rather than stale ones
    }
    HWND list = List();
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETITEMCOUNT, rows_.size(), 0);
    if (!rows_.empty()) SelectListItem(list, 0);
    InvalidateRect(list, nullptr, TRUE);
    ShowDetails();
}

const BatchRecord* JournalDialog::BatchAt(int item) noexcept {
    if (item < 0 || static_cast<std::size_t>(item) >= rows_.size()) return nullptr;
    const std::size_t index = rows_[static_cast<std::size_t>(item)];
    if (index != cachedIndex_) {
        try {
            journal_.DecodeInto(index, cached_);
        } catch (...) {
            cachedIndex_ = kNoBatch;
            return nullptr;
        }
        cachedIndex_ = index;
    }
    return &cached_;
}

const BatchRecord* JournalDialog::SelectedBatch() noexcept {
    return BatchAt(static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
}

void JournalDialog::ShowDetails() noexcept {
    const BatchRecord* batch = SelectedBatch();
    try {
        SetDlgItemTextW(Window(), IDC_JOURNAL_DETAILS, batch ? WinText(BatchDetails(*batch)) : L"");
    } catch (...) {
        SetDlgItemTextW(Window(), IDC_JOURNAL_DETAILS, L"");
    }
    for (int id : {IDC_JOURNAL_REPEAT, IDC_JOURNAL_EXPORT, IDC_JOURNAL_LABEL}) {
        const bool enabled = id == IDC_JOURNAL_EXPORT ? !rows_.empty() : batch != nullptr;
        if (HWND button = GetDlgItem(Window(), id)) EnableWindow(button, enabled);
    }
}

void JournalDialog::OnDisplayInfo(NMLVDISPINFOW* info) noexcept {
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    const BatchRecord* batch = BatchAt(item.iItem);
    if (batch == nullptr) return;
    try {
        WideString text;
        switch (item.iSubItem) {
        case kDateColumn: text = FormatBatchTime(batch->time); break;
        case kCodeColumn: text = batch->colourCode; break;
        case kPurposeColumn: text = PurposeName(batch->purpose); break;
        case kAmountColumn: text = FormatBatchAmount(*batch); break;
        case kStatusColumn: text = BatchStatusText(batch->status); break;
        case kNoteColumn: text = batch->note; break;
        default: break;
        }
        lstrcpynW(item.pszText, WinText(text), item.cchTextMax);
    } catch (...) {
        // Out of memory: the cell stays empty.
    }
}

LRESULT JournalDialog::OnCustomDraw(NMLVCUSTOMDRAW* draw) noexcept {
    bool paintNow = false;
    const LRESULT answer = ColourBarDrawStage(*draw, kColourColumn, paintNow);
    const int item = static_cast<int>(draw->nmcd.dwItemSpec);
    const BatchRecord* batch = paintNow ? BatchAt(item) : nullptr;
    const std::size_t row = batch ? colours_.RowOfColourCode(batch->colourCode) : kNoRow;
    const ColourEntry* colour = row == kNoRow ? nullptr : colours_.Colour(row);
    if (colour == nullptr) return answer;  // none for a colour the package does not have
    // The inset in dialog units, so that it grows with the window's DPI as the cell does.
    RECT inset{0, 0, kBarInsetX, kBarInsetY};
    MapDialogRect(Window(), &inset);
    PaintCellBar(List(), draw->nmcd.hdc, item, kColourColumn, colour->rgb, SIZE{inset.right, inset.bottom});
    return answer;
}

void JournalDialog::Repeat() noexcept {
    const BatchRecord* batch = SelectedBatch();
    if (batch == nullptr) {
        SimpleBeep();
        return;
    }
    if (repeat_ && repeat_(*batch)) {
        EndDialog(Window(), IDOK);
        return;
    }
    try {
        const WideString text = u"Цвета " + batch->colourCode + u" нет в каталоге: замес не повторить.";
        ShowErrorBox(Window(), WinText(text));
    } catch (...) {
        SimpleBeep();
    }
}

void JournalDialog::Export() noexcept {
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, kDefaultExportName, MAX_PATH);
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = Window();
    request.lpstrFilter = kExportFilter;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrDefExt = kExportExtension;
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameW(&request)) return;  // cancelled
    try {
        const std::string table = ExportBatchesCsv(journal_, rows_, PurposeName);
        if (ReplaceFileContents(FromWinText(path), table)) return;
        ShowErrorBox(Window(), WinText(u"Не удалось записать файл " + FromWinText(path) + u"."));
    } catch (...) {
        ShowErrorBox(Window(), L"Не хватило памяти, чтобы выгрузить журнал.");
    }
}

void JournalDialog::PrintLabel() noexcept {
    if (const BatchRecord* batch = SelectedBatch()) {
        PrintCanLabel(Window(), *batch);
        return;
    }
    SimpleBeep();
}

void ShowJournal(HWND owner, const Catalogue& catalogue, const RepeatFunction& repeat,
                 const WideString& path) noexcept {
    WideString error;
    std::unique_ptr<JournalStore> store = OpenJournal(path, error);
    if (!store) {
        ShowErrorBox(owner, WinText(error));
        return;
    }
    try {
        JournalDialog dialog(*store, catalogue, repeat);
        dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы показать журнал замесов.");
    }
}

}  // namespace lacqueron
