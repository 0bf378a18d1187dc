#include "ui/print/PageLayout.h"

#include <climits>

#include "ui/shared/GdiHandles.h"
#include "ui/shared/RecipeFont.h"

namespace lacqueron {
namespace {

// Restores a device context's font, colours and clipping on scope exit.
class SavedState {
public:
    explicit SavedState(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedState() { if (saved_ > 0) RestoreDC(dc_, saved_); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;
    explicit operator bool() const noexcept { return saved_ > 0; }

private:
    HDC dc_;
    int saved_;
};

}  // namespace

PageGeometry ReadPageGeometry(HDC dc) noexcept {
    PageGeometry page;
    page.width = GetDeviceCaps(dc, HORZRES);
    page.height = GetDeviceCaps(dc, VERTRES);
    page.pixelsPerInchY = GetDeviceCaps(dc, LOGPIXELSY);
    return page;
}

bool ComposePage(HDC dc, const PageGeometry& page, const WideString& text) noexcept {
    if (!dc || page.width <= 0 || page.height <= 0 || page.pixelsPerInchY <= 0) return false;
    // Declared before the saved state: deleted only after the state gives the old font back.
    FontHandle font(CreateRecipeFont(page.pixelsPerInchY));
    if (!font) return false;
    SavedState state(dc);
    if (!state) return false;

    RECT whole{0, 0, page.width, page.height};
    if (!FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))) return false;
    const HGDIOBJ previousFont = SelectObject(dc, font.get());
    if (!previousFont || previousFont == HGDI_ERROR) return false;
    SetTextColor(dc, kPrintInk);
    SetBkColor(dc, kPrintPaper);
    SetBkMode(dc, OPAQUE);
    if (text.empty()) return true;

    const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
    RECT box = whole;
    if (DrawTextW(dc, WinText(text), length, &box, DT_CALCRECT | DT_WORDBREAK) == 0) return false;
    // A word wider than the page or a text longer than it stops at the page's edges,
    // as it would at the edges of a page-sized bitmap.
    IntersectClipRect(dc, 0, 0, page.width, page.height);
    return DrawTextW(dc, WinText(text), length, &box, DT_WORDBREAK) != 0;
}

bool RenderPageOffScreen(HDC printer, const PageGeometry& page, const WideString& text) noexcept {
    OwnedDC memory(CreateCompatibleDC(printer));
    if (!memory) return false;
    BitmapHandle bitmap(CreateCompatibleBitmap(printer, page.width, page.height));
    if (!bitmap) return false;
    SelectedObject selected(memory.get(), bitmap.get());
    if (!selected.selected()) return false;
    if (!ComposePage(memory.get(), page, text)) return false;
    return BitBlt(printer, 0, 0, page.width, page.height, memory.get(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace lacqueron
