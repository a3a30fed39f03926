// One 16 by 16 image of a strip of images (the menu items' and the status
// bar's), drawn over whatever is beneath it.
#pragma once

#include <windows.h>

// Image `index` of the strip at (x, y). A strip with an alpha channel (the
// system's standard images, on some systems) is blended; one without has its
// background, the button-face colour the grey became when it was loaded,
// left out.
void DrawStripImage(HDC dc, HBITMAP strip, int index, int x, int y);
