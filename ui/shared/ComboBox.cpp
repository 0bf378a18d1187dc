#include "ui/shared/ComboBox.h"

namespace lacqueron {

LRESULT AddComboItem(HWND combo, const wchar_t* text, std::uint32_t data, bool select) noexcept {
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index < 0) return index;  // CB_ERR or CB_ERRSPACE
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    if (select) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return index;
}

bool SelectComboData(HWND combo, std::uint32_t data) noexcept {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<std::uint32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) != data)
            continue;
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        return true;
    }
    return false;
}

std::optional<std::uint32_t> SelectedComboData(HWND combo) noexcept {
    if (combo == nullptr) return std::nullopt;
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return std::nullopt;
    return static_cast<std::uint32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

}  // namespace lacqueron
