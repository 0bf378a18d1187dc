#include "ui/weigh/AddPasteDialog.h"

#include <iterator>

#include "pour/PourText.h"
#include "res/resource.h"
#include "ui/shared/Centring.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/Dialog.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr int kGramsLength = 16;  // past the largest amount's nine digits and two decimals
constexpr wchar_t kBadGrams[] =
    L"Введите, сколько граммов пасты добавить: число больше нуля, не более двух знаков после запятой, "
    L"например 0.50.";
constexpr wchar_t kNoMemoryForPaste[] = L"Недостаточно памяти: паста не добавлена.";

class AddPasteDialog final : public Dialog {
public:
    explicit AddPasteDialog(const std::vector<PourPaste>& pastes) : pastes_(pastes) {}

    std::optional<PourAddition> Run(HWND owner) {
        if (RunModalOrReport(owner, IDD_WEIGH_ADD) != IDOK) return std::nullopt;
        return chosen_;
    }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) noexcept override {
        if (message == WM_INITDIALOG) return OnInit();
        if (message != WM_COMMAND) return FALSE;
        const WORD id = LOWORD(wParam);
        if (id == IDCANCEL) {
            EndDialog(Window(), IDCANCEL);
            return TRUE;
        }
        if (id == IDOK && Read()) EndDialog(Window(), IDOK);
        return id == IDOK;
    }

    INT_PTR OnInit() noexcept {
        CentreWindow(Window());
        HWND combo = GetDlgItem(Window(), IDC_WEIGH_PASTE);
        for (std::size_t i = 0; i < pastes_.size(); ++i)
            AddComboItem(combo, WinText(pastes_[i].name), static_cast<std::uint32_t>(i), i == 0);
        SendDlgItemMessageW(Window(), IDC_WEIGH_PASTE_GRAMS, EM_LIMITTEXT, kGramsLength, 0);
        return TRUE;  // the focus goes to the first tab stop, the paste
    }

    // The choice as typed; false, with the field to correct in focus, when the grams are
    // not a weight to add.
    bool Read() noexcept {
        const std::optional<std::uint32_t> index = SelectedComboData(GetDlgItem(Window(), IDC_WEIGH_PASTE));
        if (!index || *index >= pastes_.size()) {
            SetFocus(GetDlgItem(Window(), IDC_WEIGH_PASTE));
            return false;
        }
        wchar_t text[kGramsLength + 1] = {};
        GetDlgItemTextW(Window(), IDC_WEIGH_PASTE_GRAMS, text, static_cast<int>(std::size(text)));
        try {
            const std::optional<Hundredths> grams = ParseReading(FromWinText(text));
            if (!grams || *grams <= 0 || *grams > kLargestAmount * kHundredthsPerGram) {
                ShowErrorBox(Window(), kBadGrams);
                HWND field = GetDlgItem(Window(), IDC_WEIGH_PASTE_GRAMS);
                SetFocus(field);
                SendMessageW(field, EM_SETSEL, 0, -1);
                return false;
            }
            chosen_ = PourAddition{pastes_[*index], *grams};
        } catch (...) {
            ShowErrorBox(Window(), kNoMemoryForPaste);
            return false;
        }
        return true;
    }

    const std::vector<PourPaste>& pastes_;
    std::optional<PourAddition> chosen_;
};

}  // namespace

std::optional<PourAddition> AskPasteToAdd(HWND owner, const std::vector<PourPaste>& pastes) noexcept {
    try {
        AddPasteDialog dialog(pastes);
        return dialog.Run(owner);
    } catch (...) {
        ShowErrorBox(owner, kNoMemoryForPaste);
        return std::nullopt;
    }
}

}  // namespace lacqueron
