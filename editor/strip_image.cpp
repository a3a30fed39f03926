#include "editor/strip_image.h"

#include <vector>

#include "base/scoped.h"

namespace {

// Whether the strip carries an alpha channel: any pixel whose alpha byte is
// not 0 when read as 32-bit colour.
bool HasAlpha(HDC dc, HBITMAP strip, const BITMAP& info) {
    if (info.bmBitsPixel != 32 || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    if (!GetDIBits(dc, strip, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS))
        return false;
    for (DWORD pixel : pixels)
        if (pixel >> 24) return true;
    return false;
}

} // namespace

void DrawStripImage(HDC dc, HBITMAP strip, int index, int x, int y) {
    if (!strip) return;
    BITMAP info{};
    if (!GetObjectA(strip, sizeof info, &info)) return;
    const int side = info.bmHeight;
    const bool alpha = HasAlpha(dc, strip, info);
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    {
        ScopedSelectObject image(memory, strip);
        const int left = side * index;
        if (alpha) {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(dc, x, y, side, side, memory, left, 0, side, side, blend);
        } else {
            TransparentBlt(dc, x, y, side, side, memory, left, 0, side, side, GetSysColor(COLOR_3DFACE));
        }
    }
    DeleteDC(memory);
}

int StripImageSide(HBITMAP strip) {
    BITMAP info{};
    if (!strip || !GetObjectA(strip, sizeof info, &info)) return 0;
    return info.bmHeight;
}

int WindowDpi(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return 96;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

HBITMAP ScaleStrip(HBITMAP strip, int scale) {
    BITMAP info{};
    if (!strip || scale <= 1 || !GetObjectA(strip, sizeof info, &info)) return strip;
    if (info.bmWidth <= 0 || info.bmHeight <= 0 || info.bmWidth > 4096 / scale || info.bmHeight > 4096 / scale)
        return strip;
    const int width = info.bmWidth * scale;
    const int height = info.bmHeight * scale;
    // A 32-bit section keeps every colour and an alpha channel as they were.
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy) return strip;
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    bool done = false;
    if (from && to) {
        ScopedSelectObject source(from, strip);
        ScopedSelectObject target(to, copy);
        SetStretchBltMode(to, COLORONCOLOR);
        done = StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY) != 0;
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    if (!done) {
        DeleteObject(copy);
        return strip;
    }
    DeleteObject(strip);
    return copy;
}
