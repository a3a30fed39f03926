// The page layout printing and the preview share: the editor control's page
// formatting (lay out from a character index into a rectangle in twips at a
// target device's metrics, draw or only measure, return the first character
// that did not fit), done by the program itself over the document's bytes as
// the editor shows them.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <vector>

#include "core/print/page_layout_core.h"
#include "core/unicode/foreign_units.h"

// The document as the editor shows it, taken once for a print job or a
// preview (the modal dialogs keep it from changing meanwhile). The control
// finds a position by walking its paragraphs from the start, so reading each
// page from it would make the pages of a long text cost more the further they
// lie; a copy of the bytes costs one stream out.
struct ShownText {
    std::vector<unsigned char> bytes;
    int codePage = 0;      // the display code page
    // A Unicode document's characters: its bytes as the code page's own
    // characters, and its foreign characters (each stand-in byte of `bytes`
    // takes the next unit), with the offset of each one's stand-in.
    bool unicode = false;
    ForeignUnits foreign;
    std::vector<int32_t> foreignAt;
    CHARFORMATA format{};  // its font and the text colour
    bool htmlColoured = false;
    COLORREF tagColour = 0;
    // The widths at the last target measured, kept for the next page.
    HDC measuredFor = nullptr;
    LayoutMetrics metrics{};
};

// Takes the editor's text, font and colours; false when the text does not
// fit into memory.
bool TakeShownText(HWND editor, ShownText& text);

struct PageFormat {
    HDC hdc;          // where the page is drawn
    HDC hdcTarget;    // whose metrics the lines are broken at
    RECT rc;          // twips from the origin of hdc: where the text goes
    RECT rcPage;      // twips: the whole page
    int32_t first;    // the first byte to lay out
    int32_t last;     // the end of what to lay out; -1: the end of the text
};

// Lays out one page of the text from `first`: the display code page's font
// (a foreign character takes the width of the widest of them, a combining
// mark none, and each is drawn as itself, where the font lacks it as the
// system's fallback draws it),
// whole lines while they fit into rc's height, each broken to rc's width as
// the layout rules say. With `draw` the lines are drawn into hdc in the text
// colour (HTML tags in their colour while the editor shows them coloured),
// each character where it stands at the target, on the context's background
// colour (drawn into the target itself, the page's own: no background is
// painted). Returns the first byte that did not fit: last when all did,
// `first` when not even one line fits.
int32_t FormatPage(ShownText& text, const PageFormat& format, bool draw);
