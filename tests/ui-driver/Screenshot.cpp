#include "Screenshot.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "ui/shared/GdiHandles.h"

namespace uidriver {

namespace {

// Copies width x height pixels of source, from its origin, into a BMP file.
bool SaveBitmapOf(const wchar_t* path, HDC source, int width, int height) noexcept {
    if (source == nullptr || width <= 0 || height <= 0) return false;
    lacqueron::OwnedDC memory(CreateCompatibleDC(source));

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    lacqueron::BitmapHandle bitmap(CreateDIBSection(source, reinterpret_cast<BITMAPINFO*>(&header),
                                                    DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || bits == nullptr) return false;
    {
        lacqueron::SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, source, 0, 0, SRCCOPY)) return false;
    }
    GdiFlush();

    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    header.biSizeImage = imageSize;

    FILE* out = _wfopen(path, L"wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(bits, imageSize, 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

}  // namespace

bool SaveScreenshot(const wchar_t* path) noexcept {
    lacqueron::WindowDC screen(nullptr);
    return SaveBitmapOf(path, screen.get(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool SaveWindowShot(const wchar_t* path, HWND window) noexcept {
    RECT frame{};
    if (!GetWindowRect(window, &frame)) return false;
    HDC dc = GetWindowDC(window);
    const bool saved = SaveBitmapOf(path, dc, frame.right - frame.left, frame.bottom - frame.top);
    if (dc) ReleaseDC(window, dc);
    return saved;
}

}  // namespace uidriver
