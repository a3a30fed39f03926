// Strips of square images side by side (the menu items' and the status
// bar's, the toolbar's own), drawn over whatever is beneath them, and their
// size on screens of many dots per inch.
#pragma once

#include <windows.h>

// Image `index` of the strip at (x, y), as large as the strip is high. A strip
// with an alpha channel (the system's standard images, on some systems) is
// blended; one without has its background, the button-face colour the grey
// became when it was loaded, left out.
void DrawStripImage(HDC dc, HBITMAP strip, int index, int x, int y);
// The side of the strip's images: its height (0 without a strip).
int StripImageSide(HBITMAP strip);
// The dots per inch of the screen a window is on (96 when it cannot be asked).
int WindowDpi(HWND window);
// A copy of the strip `scale` times as large, each pixel a square of pixels,
// so that the colours (the button face the toolbar leaves out among them)
// stay exact. The strip itself is deleted and the copy returned; with
// `scale` 1, or when no copy can be made, the strip comes back unchanged.
HBITMAP ScaleStrip(HBITMAP strip, int scale);
