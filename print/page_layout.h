// The page layout printing and the preview share: the editor control's page
// formatting (lay out from a character index into a rectangle in twips at a
// target device's metrics, draw or only measure, return the first character
// that did not fit), done by the program itself over the document's bytes as
// the editor shows them.
#pragma once

#include <windows.h>

#include <cstdint>

struct PageFormat {
    HDC hdc;          // where the page is drawn
    HDC hdcTarget;    // whose metrics the lines are broken at
    RECT rc;          // twips from the origin of hdc: where the text goes
    RECT rcPage;      // twips: the whole page
    int32_t first;    // the first byte to lay out
    int32_t last;     // the end of what to lay out; -1: the end of the text
};

// Lays out one page of the editor's text from `first`: the display code
// page's font, whole lines while they fit into rc's height, each broken to
// rc's width as the layout rules say. With `draw` the lines are drawn into
// hdc in the text colour (HTML tags in their colour while the text shows
// them coloured), each character where it stands at the target, on the
// context's background colour. Returns the first byte that did not fit: last
// when all did, `first` when not even one line fits.
int32_t FormatPage(HWND editor, const PageFormat& format, bool draw);
