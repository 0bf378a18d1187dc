#include "ui/ledger/LedgerParts.h"

#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"
#include "ui/shared/Beep.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr Hundredths kGramsPerKilogram = 1000;

}  // namespace

DayNumber Today() noexcept { return LocalDay(CurrentBatchTime()); }

WideString LedgerStateText(const LedgerContext& context) {
    if (context.ledger == nullptr) return context.ledgerError;
    return u"Папка данных: " + DataFolderPath();
}

void ReportLedgerChange(LedgerContext& context) noexcept {
    if (!context.changed) return;
    try {
        context.changed();
    } catch (...) {
        // The record is in the ledger; the main dialog shows it at its next refresh.
        ShowErrorBox(nullptr, L"Не хватило памяти, чтобы обновить стоимость рецепта.");
    }
}

void ShowNotWritten(HWND owner, const wchar_t* notDone, JournalAppendResult result) noexcept {
    try {
        // "Цена не сохранена." leads: "Цена не сохранена: не удалось записать файл цен и остатков."
        WideString lead = FromWinText(notDone);
        if (!lead.empty() && lead.back() == u'.') lead.pop_back();
        ShowErrorBox(owner, WinText(DescribeAppendFailure(result, lead, kLedgerWords)));
    } catch (...) {
        ShowErrorBox(owner, notDone);
    }
}

void LedgerWrite::Start(HWND dialog, int statusId, LedgerContext& context, Add add) noexcept {
    FolderWrite write;
    try {
        write = [add = std::move(add)](OwnRecipeStore*, LedgerStore* ledger, OpticsStore*) {
            return ledger ? add(*ledger) : JournalAppendResult::WriteFailed;
        };
    } catch (...) {
        SimpleBeep();
        return;
    }
    if (context.ledger == nullptr) {
        SimpleBeep();
        return;
    }
    if (!state_.Start(dialog, statusId, context.writes, std::move(write), nullptr, context.ledger))
        ShowErrorBox(dialog, kStoresAwayText);
}

void LedgerWrite::OnWritten(HWND dialog, WPARAM generation, LedgerContext& context, const wchar_t* notDone) noexcept {
    const std::optional<JournalAppendResult> result = state_.Take(generation);
    if (!result) return;  // another write's
    if (*result != JournalAppendResult::Appended) return ShowNotWritten(dialog, notDone, *result);
    ReportLedgerChange(context);
    EndDialog(dialog, IDOK);
}

bool ParseGramsText(std::u16string_view text, bool kilograms, Hundredths& grams) {
    // Money reads the same way: whole hundredths, a comma or a point, groups of digits.
    Kopecks hundredths = 0;
    if (!ParseRoubles(text, hundredths)) return false;
    grams = kilograms ? hundredths * kGramsPerKilogram : hundredths;
    return true;
}

}  // namespace lacqueron
