#include "ui/shared/DerivedFont.h"

#include <utility>

#include "ui/shared/Dpi.h"

namespace lacqueron {
namespace {

constexpr int kPointsPerInch = 72;

}  // namespace

HFONT CreateDerivedFont(HWND window, const FontChange& change) noexcept {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (font == nullptr || GetObjectW(font, sizeof description, &description) != sizeof description) return nullptr;
    if (change.weight != 0) description.lfWeight = change.weight;
    if (change.points != 0)
        description.lfHeight = -MulDiv(change.points, static_cast<int>(DpiOfWindow(nullptr)), kPointsPerInch);
    if (change.underline) description.lfUnderline = TRUE;
    return CreateFontIndirectW(&description);
}

void SetOwnedFont(HWND control, FontHandle& owner, HFONT font) noexcept {
    FontHandle made(font);
    if (control == nullptr || !made) return;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
    owner = std::move(made);
}

}  // namespace lacqueron
