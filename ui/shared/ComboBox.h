// A drop-down list whose items carry a number: what the choice means, whatever its text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace lacqueron {

// Adds the item with its data at the end (the lists are not sorted), selected when
// `select` is set; its index, negative when it cannot be added.
LRESULT AddComboItem(HWND combo, const wchar_t* text, std::uint32_t data, bool select = false) noexcept;

// Selects the first item whose data is `data`; false when none has it.
bool SelectComboData(HWND combo, std::uint32_t data) noexcept;

// The selected item's data; none when nothing is selected.
std::optional<std::uint32_t> SelectedComboData(HWND combo) noexcept;

}  // namespace lacqueron
