// A page-sized 32-bit bitmap in a memory device context, filled with a marker colour,
// and the measurements the page tests make on it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace lacqueron::testing {

inline constexpr std::uint32_t kMarker = 0xFF00FF;  // magenta, as 0x00RRGGBB
inline constexpr std::uint32_t kWhitePixel = 0xFFFFFF;

class PageCanvas {
public:
    // dc: a memory context to select into, or null for a new one (kept by the canvas).
    PageCanvas(int width, int height, HDC dc = nullptr);
    ~PageCanvas();
    PageCanvas(const PageCanvas&) = delete;
    PageCanvas& operator=(const PageCanvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t Pixel(int x, int y) const { return bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF; }
    const std::uint32_t* Bits() const { return bits_; }
    bool Same(const PageCanvas& other) const;

    // Dark pixels: every channel below half.
    bool IsInk(int x, int y) const;
    // The smallest rectangle holding every ink pixel; empty when there is none.
    RECT InkBox() const;
    // Runs of rows with ink.
    int InkBands() const;
    bool AllPixels(std::uint32_t colour) const;
    // The context handed over to code that deletes it: the bitmap stays with the canvas.
    HDC HandOverDC();

private:
    int width_;
    int height_;
    HDC dc_;
    bool ownsDc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

}  // namespace lacqueron::testing
