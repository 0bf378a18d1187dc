#include "ui/journal/JournalDialog.h"

#include <algorithm>
#include <string>

#include "core/IntegerText.h"
#include "data/catalogue/UnitAndPurpose.h"
#include "files/FileReplace.h"
#include "journal/JournalCsv.h"
#include "journal/JournalFilter.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"
#include "res/resource.h"
#include "ui/shared/Beep.h"
#include "ui/shared/CsvFileDialog.h"
#include "ui/shared/ErrorBox.h"
#include "ui/shared/ListViewParts.h"
#include "ui/print/CanLabelPrint.h"

namespace lacqueron {
namespace {

// The purpose comes last: the longest names make the list scroll sideways, and the
// rest stays in view.
enum Column {
    kDateColumn,
    kCodeColumn,
    kColourColumn,
    kAmountColumn,
    kCostColumn,
    kStatusColumn,
    kNoteColumn,
    kPurposeColumn
};

// Wide enough for its whole title, the rouble sign too; the list scrolls sideways for
// what this takes from the purpose.
constexpr int kCostColumnPercent = 14;
constexpr ColumnLayout kColumns[] = {{L"Дата", 15},    {L"Код", 11},
                                     {L"Цвет", 7},     {L"Количество", 13},
                                     {L"Стоимость, ₽", kCostColumnPercent, LVCFMT_RIGHT}, {L"Статус", 9},
                                     {L"Примечание", 14}, {L"Назначение", 19}};
// Where the details' recipe and poured columns start, in dialog units.
// Wide enough for the longest paste name of the package before the weights.
constexpr int kDetailsTabStops[] = {150, 210};
constexpr std::size_t kNoBatch = static_cast<std::size_t>(-1);
// The colour bar keeps this much of the cell free around it, in dialog units.
constexpr int kBarInsetX = 2;
constexpr int kBarInsetY = 1;
constexpr UINT kShowDamage = WM_APP + 1;
constexpr wchar_t kDamageCaption[] = L"Внимание";
// The data folder went away before the journal could be opened in it.
constexpr wchar_t kJournalUnreachableText[] = L"Журнал замесов не прочитан: папка данных недоступна.";
constexpr wchar_t kDefaultExportName[] = L"Журнал.csv";
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr char16_t kCostTitle[] = u"Стоимость, ₽";
constexpr char16_t kTotalsGap[] = u"   ";
// The totals give kilograms with two decimals: hundredths of a gram per hundredth of a kilogram.
constexpr Hundredths kHundredthsPerKilogramStep = 1000;

WideString BatchDetails(const BatchRecord& batch) {
    WideString text = FormatBatchTime(batch.time) + u"   " + batch.colourCode + u" " + batch.colourName + kLineEnd;
    text += u"Назначение: " + PurposeName(batch.purpose) + kLineEnd;
    text += u"Количество: " + FormatBatchAmount(batch) + u"   шаг весов: " +
            FormatHundredths(static_cast<Hundredths>(batch.resolution)) + u" г" + kLineEnd + kLineEnd;
    text += u"Компонент\tпо рецепту, г\tналито, г" + WideString(kLineEnd);
    // The recipe's own components first, then the pastes added while tinting under their heading.
    for (const bool additions : {false, true}) {
        bool headed = !additions;
        for (const BatchComponent& component : batch.components) {
            if (component.addition != additions) continue;
            if (!headed) text += AdditionsHeading() + kLineEnd;
            headed = true;
            text += component.name + u"\t" + FormatHundredths(component.recipeWeight) + u"\t" +
                    FormatHundredths(component.poured) + kLineEnd;
        }
    }
    for (const BatchCorrection& correction : batch.corrections)
        text += u"Пересчёт: " + FormatCorrection(correction) + kLineEnd;
    for (std::size_t i = 0; i < batch.measureRounds.size(); ++i)
        text += FormatMeasureRound(batch.measureRounds[i], i + 1) + kLineEnd;
    text += kLineEnd + (u"Итого: " + FormatHundredths(batch.finalTotal) + u" г   статус: " +
                        BatchStatusText(batch.status));
    if (!batch.note.empty()) text += kLineEnd + (u"Примечание: " + batch.note);
    return text;
}

}  // namespace

JournalDialog::JournalDialog(WideString path, const Catalogue& catalogue, RepeatFunction repeat,
                             SaveRecipeFunction saveRecipe, LedgerContext* ledger)
    : FilteredListDialog({IDC_JOURNAL_SEARCH, IDC_JOURNAL_LIST, IDC_JOURNAL_CLOSE, kColumns, std::size(kColumns),
                          kColourColumn, SIZE{kBarInsetX, kBarInsetY}}),
      read_(std::make_shared<JournalRead>(JournalRead{std::move(path), nullptr, {}})),
      colours_(catalogue),
      repeat_(std::move(repeat)),
      saveRecipe_(std::move(saveRecipe)),
      ledger_(ledger),
      keys_(catalogue) {
    if (ledger_ && ledger_->ledger && !ledger_->ledger->Prices().empty()) prices_.emplace(ledger_->ledger->Prices(), catalogue);
}

void JournalDialog::Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_JOURNAL); }

INT_PTR JournalDialog::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kFolderReadMessage) {
        OnRead(wParam);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != DTN_DATETIMECHANGE ||
            (header->idFrom != IDC_JOURNAL_FROM && header->idFrom != IDC_JOURNAL_TO))
            return FALSE;
        Refill();
        return TRUE;
    }
    if (message != kShowDamage) return FALSE;
    try {
        const WideString damage = JournalDamageMessage(Journal());
        if (!damage.empty()) MessageBoxW(Window(), WinText(damage), kDamageCaption, MB_OK | MB_ICONWARNING);
    } catch (...) {
        // Out of memory for the message: the window shows what was read all the same.
    }
    return TRUE;
}

void JournalDialog::OnSetUp() noexcept {
    SendDlgItemMessageW(Window(), IDC_JOURNAL_DETAILS, EM_SETTABSTOPS, std::size(kDetailsTabStops),
                        reinterpret_cast<LPARAM>(kDetailsTabStops));
    WidenPurposeColumn();
    // No range at first: every batch is shown.
    for (const int id : {IDC_JOURNAL_FROM, IDC_JOURNAL_TO})
        SendDlgItemMessageW(Window(), id, DTM_SETSYSTEMTIME, GDT_NONE, 0);
    if (saveRecipe_)
        if (HWND button = GetDlgItem(Window(), IDC_JOURNAL_SAVE_RECIPE)) ShowWindow(button, SW_SHOW);
    if (ledger_)
        if (HWND button = GetDlgItem(Window(), IDC_JOURNAL_STOCK)) ShowWindow(button, SW_SHOW);
    StartRead();
}

// The batch journal may be large and on a share that stalls: it is read off the window's
// thread, the window answering and closing meanwhile.
void JournalDialog::StartRead() noexcept {
    FolderWrite job;
    try {
        job = [read = read_](OwnRecipeStore*, LedgerStore*, OpticsStore*) {
            read->store = OpenJournal(read->path, read->error);
            return read->store ? JournalAppendResult::Appended : JournalAppendResult::WriteFailed;
        };
    } catch (...) {
        ShowErrorBox(Window(), L"Не хватило памяти, чтобы показать журнал замесов.");
        EndDialog(Window(), IDCANCEL);
        return;
    }
    FolderWrites* writes = ledger_ ? ledger_->writes : nullptr;
    if (!reading_.Start(Window(), writes, std::move(job), nullptr, nullptr)) {
        ShowErrorBox(Window(), kStoresAwayText);
        EndDialog(Window(), IDCANCEL);
        return;
    }
}

void JournalDialog::OnRead(WPARAM generation) noexcept {
    if (!reading_.Take(generation)) return;  // another job's
    if (!read_->store) {
        ShowErrorBox(Window(), read_->error.empty() ? kJournalUnreachableText : WinText(read_->error));
        EndDialog(Window(), IDCANCEL);
        return;
    }
    Refill();
    // Told once the batches are on the screen, so the painter sees what was recovered behind it.
    if (!Journal().Damage().empty()) PostMessageW(Window(), kShowDamage, 0, 0);
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

INT_PTR JournalDialog::OnOtherCommand(int code, int id) noexcept {
    switch (id) {
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
    case IDC_JOURNAL_SAVE_RECIPE:
        SaveAsRecipe();
        return TRUE;
    case IDC_JOURNAL_STOCK:
        if (ledger_) ShowStock(Window(), *ledger_);
        return TRUE;
    default:
        return FALSE;
    }
}

std::vector<std::size_t> JournalDialog::SelectRows(const WideString& text) {
    if (reading_.Running()) {
        SetDlgItemTextW(Window(), IDC_JOURNAL_TOTALS, kFolderReadingText);
        return {};
    }
    std::vector<std::size_t> rows = SelectBatches(Journal(), text);
    const std::optional<DayNumber> from = DayOfField(IDC_JOURNAL_FROM);
    const std::optional<DayNumber> to = DayOfField(IDC_JOURNAL_TO);
    FigureBatches();
    std::erase_if(rows, [&](std::size_t index) {
        const DayNumber day = figures_[index].day;
        return (from && day < *from) || (to && day > *to);
    });
    ShowTotals(rows);
    return rows;
}

void JournalDialog::FigureBatches() {
    if (figures_.size() == Journal().BatchCount()) return;
    std::vector<BatchFigures> figures(Journal().BatchCount());
    BatchRecord batch;
    for (std::size_t index = 0; index < figures.size(); ++index) {
        Journal().DecodeInto(index, batch);
        BatchFigures& figure = figures[index];
        figure.day = LocalDay(batch.time);
        figure.grams = batch.finalTotal;
        if (!prices_) continue;
        const BatchCosting costing = CostOfBatch(keys_, batch, *prices_);
        figure.cost = costing.poured.total;
        figure.overPour = costing.overPour;
    }
    figures_.swap(figures);
}

std::optional<DayNumber> JournalDialog::DayOfField(int id) const noexcept {
    SYSTEMTIME date{};
    if (SendDlgItemMessageW(Window(), id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID)
        return std::nullopt;
    return DayOfDate(date.wYear, date.wMonth, date.wDay);
}

// "Замесов: 3   Вес: 1.25 кг   Стоимость: 1 234.56 ₽   Перелив: 12.40 ₽", and how many
// batches have no cost for want of a price.
void JournalDialog::ShowTotals(const std::vector<std::size_t>& rows) {
    Hundredths grams = 0;
    Kopecks cost = 0, overPour = 0;
    std::size_t unpriced = 0;
    for (const std::size_t index : rows) {
        const BatchFigures& figure = figures_[index];
        grams += figure.grams;
        if (!figure.cost || !figure.overPour) {
            ++unpriced;
            continue;
        }
        cost += *figure.cost;
        overPour += *figure.overPour;
    }
    const Hundredths kilograms = (grams + kHundredthsPerKilogramStep / 2) / kHundredthsPerKilogramStep;
    WideString text = u"Замесов: " + IntegerText(rows.size()) + kTotalsGap + u"Вес: " + FormatHundredths(kilograms) +
                      u" кг";
    if (prices_) {
        text += kTotalsGap + (u"Стоимость: " + FormatRoubles(cost)) + u" ₽" + kTotalsGap + u"Перелив: " +
                FormatRoubles(overPour) + u" ₽";
        if (unpriced > 0) text += kTotalsGap + (u"Без цены: " + IntegerText(unpriced));
    }
    SetDlgItemTextW(Window(), IDC_JOURNAL_TOTALS, WinText(text));
}

const BatchRecord* JournalDialog::BatchAt(int item) noexcept {
    const std::size_t index = RowAt(item);
    if (index == kNoItemRow) return nullptr;
    if (index != cachedIndex_) {
        try {
            Journal().DecodeInto(index, cached_);
        } catch (...) {
            cachedIndex_ = kNoBatch;
            return nullptr;
        }
        cachedIndex_ = index;
    }
    return &cached_;
}

const BatchRecord* JournalDialog::SelectedBatch() noexcept {
    return BatchAt(SelectedItem());
}

void JournalDialog::ShowDetails() noexcept {
    const BatchRecord* batch = SelectedBatch();
    try {
        SetDlgItemTextW(Window(), IDC_JOURNAL_DETAILS, batch ? WinText(BatchDetails(*batch)) : L"");
    } catch (...) {
        SetDlgItemTextW(Window(), IDC_JOURNAL_DETAILS, L"");
    }
    for (int id : {IDC_JOURNAL_REPEAT, IDC_JOURNAL_EXPORT, IDC_JOURNAL_LABEL, IDC_JOURNAL_SAVE_RECIPE}) {
        const bool enabled = id == IDC_JOURNAL_EXPORT ? !Rows().empty() : batch != nullptr;
        if (HWND button = GetDlgItem(Window(), id)) EnableWindow(button, enabled);
    }
}

WideString JournalDialog::CellText(int item, int column) {
    const BatchRecord* batch = BatchAt(item);
    if (batch == nullptr) return WideString();
    switch (column) {
    case kDateColumn: return FormatBatchTime(batch->time);
    case kCodeColumn: return batch->colourCode;
    case kPurposeColumn: return PurposeName(batch->purpose);
    case kAmountColumn: return FormatBatchAmount(*batch);
    case kCostColumn: {
        const std::optional<Kopecks>& cost = figures_[RowAt(item)].cost;
        return cost ? FormatRoubles(*cost) : WideString();
    }
    case kStatusColumn: return BatchStatusText(batch->status);
    case kNoteColumn: return batch->note;
    default: return WideString();
    }
}

const ColourEntry* JournalDialog::BarColour(int item) noexcept {
    const BatchRecord* batch = BatchAt(item);
    const std::size_t row = batch ? colours_.RowOfColourCode(batch->colourCode) : kNoRow;
    return row == kNoRow ? nullptr : colours_.Colour(row);  // none for a colour the package does not have
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
    WideString path;
    if (!AskCsvFile(Window(), CsvFileUse::kSave, kDefaultExportName, L"Журнал не выгружен.", path)) return;
    try {
        std::vector<BatchCsvColumn> more;
        if (prices_)
            more.push_back({kCostTitle, [this](const BatchRecord& batch) {
                                const std::optional<Kopecks> cost = CostOfBatch(keys_, batch, *prices_).poured.total;
                                return cost ? FormatHundredths(*cost, kSpreadsheetDecimalMark) : WideString();
                            }});
        const std::string table = ExportBatchesCsv(Journal(), Rows(), PurposeName, more);
        if (ReplaceFileContents(path, table)) return;
        ShowErrorBox(Window(), WinText(u"Не удалось записать файл " + path + u"."));
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

void JournalDialog::SaveAsRecipe() noexcept {
    const BatchRecord* batch = SelectedBatch();
    if (batch == nullptr || !saveRecipe_) {
        SimpleBeep();
        return;
    }
    try {
        saveRecipe_(Window(), *batch);
    } catch (...) {
        ShowErrorBox(Window(), L"Не хватило памяти, чтобы сохранить замес как рецепт.");
    }
}

void ShowJournal(HWND owner, const Catalogue& catalogue, const RepeatFunction& repeat, const WideString& path,
                 const SaveRecipeFunction& saveRecipe, LedgerContext* ledger) noexcept {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        JournalDialog dialog(path, catalogue, repeat, saveRecipe, ledger);
        dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, L"Не хватило памяти, чтобы показать журнал замесов.");
    }
}

}  // namespace lacqueron
