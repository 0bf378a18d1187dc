// The printed page: the recipe text from the top-left corner of the printable area,
// wrapped at the page width and cut at its bottom edge, black on white.
#pragma once

#include <windows.h>

#include "core/WideString.h"

namespace lacqueron {

// Every printed page is black on white, whatever the screen's colours.
constexpr COLORREF kPrintInk = 0x000000;
constexpr COLORREF kPrintPaper = 0xFFFFFF;

struct PageGeometry {
    int width = 0;   // device pixels
    int height = 0;
    int pixelsPerInchY = 0;
};

// HORZRES, VERTRES and LOGPIXELSY of a device context.
PageGeometry ReadPageGeometry(HDC dc) noexcept;

// Whitens the page on dc and draws the text in the recipe font scaled to the page's
// resolution. The device context's state is restored afterwards. False when the page,
// the font or the text cannot be drawn.
bool ComposePage(HDC dc, const PageGeometry& page, const WideString& text) noexcept;

// Composes the page in a bitmap compatible with the printer and copies it to the
// printer at (0, 0). False when the bitmap page cannot be made or copied; the printer
// context is then untouched or holds a partial copy.
bool RenderPageOffScreen(HDC printer, const PageGeometry& page, const WideString& text) noexcept;

}  // namespace lacqueron
