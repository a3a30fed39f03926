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
    const bool alpha = HasAlpha(dc, strip, info);
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    {
        ScopedSelectObject image(memory, strip);
        const int left = 16 * index;
        if (alpha) {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(dc, x, y, 16, 16, memory, left, 0, 16, 16, blend);
        } else {
            TransparentBlt(dc, x, y, 16, 16, memory, left, 0, 16, 16, GetSysColor(COLOR_3DFACE));
        }
    }
    DeleteDC(memory);
}
