#include "tests/ui/print/PageCanvas.h"

#include <algorithm>
#include <cstring>

namespace lacqueron::testing {

PageCanvas::PageCanvas(int width, int height, HDC dc)
    : width_(width), height_(height), dc_(dc ? dc : CreateCompatibleDC(nullptr)), ownsDc_(dc == nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    if (bits_) std::fill(bits_, bits_ + static_cast<std::size_t>(width) * height, kMarker);
    previous_ = SelectObject(dc_, bitmap_);
}

PageCanvas::~PageCanvas() {
    if (dc_) {
        SelectObject(dc_, previous_);
        if (ownsDc_) DeleteDC(dc_);
    }
    DeleteObject(bitmap_);
}

HDC PageCanvas::HandOverDC() {
    HDC dc = dc_;
    dc_ = nullptr;
    return dc;
}

bool PageCanvas::Same(const PageCanvas& other) const {
    if (width_ != other.width_ || height_ != other.height_ || !bits_ || !other.bits_) return false;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
    return true;
}

bool PageCanvas::IsInk(int x, int y) const {
    const std::uint32_t p = Pixel(x, y);
    return (p & 0xFF) < 0x80 && ((p >> 8) & 0xFF) < 0x80 && ((p >> 16) & 0xFF) < 0x80;
}

RECT PageCanvas::InkBox() const {
    RECT box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (IsInk(x, y)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.right == 0) box = RECT{0, 0, 0, 0};
    return box;
}

int PageCanvas::InkBands() const {
    int bands = 0;
    bool previous = false;
    for (int y = 0; y < height_; ++y) {
        bool ink = false;
        for (int x = 0; x < width_ && !ink; ++x) ink = IsInk(x, y);
        if (ink && !previous) ++bands;
        previous = ink;
    }
    return bands;
}

bool PageCanvas::AllPixels(std::uint32_t colour) const {
    if (!bits_) return false;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (Pixel(x, y) != colour) return false;
    return true;
}

}  // namespace lacqueron::testing
