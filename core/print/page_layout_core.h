// The page layout's arithmetic, with no window: lines broken out of the
// document's bytes by the widths each byte's character has at the target
// device, the pen positions of a laid-out line, the HTML tags' extent, and the
// page and print rectangles in twips.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the layout knows of the font at the target device, in its units.
struct LayoutMetrics {
    int32_t advance[256]; // the width of the character each byte shows
    int32_t lineHeight;
    int32_t tabWidth;     // distance between tab stops (half an inch), > 0
};

// One line of a page: bytes [start, end) are shown, the line's end (CR LF,
// CR or LF) lies in [end, next), and the next line starts at next. Positions
// are offsets into the view the line was laid out from.
struct LaidLine {
    std::size_t start;
    std::size_t end;
    std::size_t next;
};

// Lays out the line starting at `from` in view[0, n) into `width` units.
// Lines break at CR LF, a lone CR and a lone LF; a word that does not fit
// moves to the next line whole, after the blanks before it (blanks may hang
// past the edge); a word longer than a line breaks at the edge; every line
// holds at least one character, however narrow the width. The view ends
// where the text to lay out ends.
LaidLine BreakLine(const unsigned char* view, std::size_t n, std::size_t from, const LayoutMetrics& m, int32_t width);

struct LaidPage {
    std::vector<LaidLine> lines;
    std::size_t next = 0; // the first byte that did not fit
};

// Lays out one page from the start of the view: as many whole lines as fit
// into `height`. A page on which not even one line fits takes nothing
// (next == 0).
LaidPage LayOutPage(const unsigned char* view, std::size_t n, const LayoutMetrics& m, int32_t width, int32_t height);

// The pen advance of each shown byte of a laid line, end - start values: a
// tab reaches the next tab stop, every other byte its character's width.
void LineAdvances(const unsigned char* view, const LaidLine& line, const LayoutMetrics& m, int32_t* out);

// Marks the bytes of text[first, first + n) that belong to an HTML tag, by
// the rule of NextHtmlTag over the whole text of `length` bytes: a tag may
// open before the view and close after it. coloured[i] is set to 1 when byte
// first + i is a tag's, else 0.
void MarkHtmlTags(const unsigned char* text, std::size_t length, std::size_t first, std::size_t n,
                  unsigned char* coloured);

// Rectangles in twips (1/1440 inch).
struct TwipsRect {
    int32_t left, top, right, bottom;
};
struct PageMargins {
    int32_t left, top, right, bottom; // as the page-setup dialog gives them
};

// a * b / c rounded to the nearest, as the platform's MulDiv; 0 when c is 0
// or the result does not fit in 32 bits.
int32_t MulDiv64(int32_t a, int32_t b, int32_t c);
// The page: (0, 0, width × 1440 / dpiX, height × 1440 / dpiY).
TwipsRect PageRectTwips(int32_t physicalWidth, int32_t physicalHeight, int32_t dpiX, int32_t dpiY);
// A margin in twips: m × 1440 / 2500, in 64 bits.
int64_t MarginTwips(int32_t margin);
// The page less the margins. Each pair (left and right, top and bottom)
// applies only when more than an inch is left between them; a pair with a
// negative margin is ignored too.
TwipsRect PrintRectTwips(const TwipsRect& page, const PageMargins& margins);
