// The program's error message: a box with an OK button and the caption "Ошибка".
#pragma once

#include <windows.h>

namespace lacqueron {

inline constexpr wchar_t kErrorCaption[] = L"Ошибка";
inline constexpr UINT kErrorBoxStyle = MB_OK | MB_ICONERROR;

// Returns when the user has closed the box.
inline void ShowErrorBox(HWND owner, const wchar_t* text) noexcept {
    MessageBoxW(owner, text, kErrorCaption, kErrorBoxStyle);
}

}  // namespace lacqueron
