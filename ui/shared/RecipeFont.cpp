#include "ui/shared/RecipeFont.h"

#include <cwchar>

namespace lacqueron {

HFONT CreateRecipeFont(int pixelsPerInchY) noexcept {
    LOGFONTW description{};
    description.lfHeight = -MulDiv(11, pixelsPerInchY, 72);
    description.lfWeight = FW_BOLD;
    description.lfCharSet = RUSSIAN_CHARSET;
    description.lfQuality = ANTIALIASED_QUALITY;
    std::wcscpy(description.lfFaceName, L"Arial");
    return CreateFontIndirectW(&description);
}

}  // namespace lacqueron
