#include "ui/shared/ColourChooser.h"

#include <commdlg.h>

#include "ui/shared/ErrorBox.h"

namespace lacqueron {

bool ChooseScreenColour(HWND owner, COLORREF& rgb, CustomColours& custom) noexcept {
    CHOOSECOLORW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = rgb;
    request.lpCustColors = custom.data();
    request.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&request)) {
        if (CommDlgExtendedError() != 0) ShowErrorBox(owner, L"Не удалось открыть окно выбора цвета.");
        return false;
    }
    rgb = request.rgbResult;
    return true;
}

}  // namespace lacqueron
