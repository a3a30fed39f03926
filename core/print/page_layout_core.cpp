#include "core/print/page_layout_core.h"

#include <algorithm>
#include <optional>

#include "core/text/html_tags.h"

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

int64_t TabStopAfter(int64_t x, int32_t tabWidth) {
    const int64_t tab = tabWidth > 0 ? tabWidth : 1;
    return (x / tab + 1) * tab;
}

bool IsTagMark(unsigned char c) { return c == '<' || c == '>'; }

} // namespace

LaidLine BreakLine(const unsigned char* view, std::size_t n, std::size_t from, const LayoutMetrics& m, int32_t width) {
    int64_t x = 0;
    std::size_t wordStart = 0; // after the last blank: where a wrapped word starts
    bool hasBreak = false;
    for (std::size_t i = from; i < n; ++i) {
        const unsigned char c = view[i];
        if (c == '\r') return {from, i, (i + 1 < n && view[i + 1] == '\n') ? i + 2 : i + 1};
        if (c == '\n') return {from, i, i + 1};
        if (IsBlank(c)) {
            x = c == '\t' ? TabStopAfter(x, m.tabWidth) : x + m.advance[c];
            wordStart = i + 1;
            hasBreak = true;
            continue;
        }
        const int64_t w = m.advance[c];
        if (x + w > width && i > from) {
            const std::size_t cut = hasBreak ? wordStart : i; // a word longer than the line breaks here
            return {from, cut, cut};
        }
        x += w;
    }
    return {from, n, n};
}

LaidPage LayOutPage(const unsigned char* view, std::size_t n, const LayoutMetrics& m, int32_t width, int32_t height) {
    LaidPage page;
    const int64_t lineHeight = m.lineHeight > 0 ? m.lineHeight : 1;
    int64_t y = 0;
    std::size_t pos = 0;
    while (y + lineHeight <= height && pos < n) {
        const LaidLine line = BreakLine(view, n, pos, m, width);
        page.lines.push_back(line);
        pos = line.next;
        y += lineHeight;
    }
    page.next = pos;
    return page;
}

void LineAdvances(const unsigned char* view, const LaidLine& line, const LayoutMetrics& m, int32_t* out) {
    int64_t x = 0;
    for (std::size_t i = line.start; i < line.end; ++i) {
        const unsigned char c = view[i];
        const int64_t to = c == '\t' ? TabStopAfter(x, m.tabWidth) : x + m.advance[c];
        out[i - line.start] = static_cast<int32_t>(to - x);
        x = to;
    }
}

void MarkHtmlTags(const unsigned char* text, std::size_t length, std::size_t first, std::size_t n,
                  unsigned char* coloured) {
    if (n == 0) return;
    std::fill(coloured, coloured + n, static_cast<unsigned char>(0));
    if (first >= length) return;
    const std::size_t last = std::min(length, first + n);
    // A tag running into the view opened at the last mark before it, if that
    // mark is a "<"; any other tag of the view opens inside it.
    std::size_t from = first;
    for (std::size_t p = first; p-- > 0;) {
        if (IsTagMark(text[p])) {
            if (text[p] == '<') from = p;
            break;
        }
    }
    while (const std::optional<HtmlTagSpan> tag = NextHtmlTag(text, length, from, last)) {
        for (std::size_t i = std::max(tag->start, first); i < std::min(tag->end, last); ++i) coloured[i - first] = 1;
        from = tag->end;
    }
}

int32_t MulDiv64(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return 0;
    // Two 32-bit factors keep the product inside 64 bits.
    int64_t p = static_cast<int64_t>(a) * b;
    int64_t d = c;
    const bool negative = (p < 0) != (d < 0);
    if (p < 0) p = -p;
    if (d < 0) d = -d;
    int64_t q = (p + d / 2) / d;
    if (negative) q = -q;
    if (q > INT32_MAX || q < INT32_MIN) return 0;
    return static_cast<int32_t>(q);
}

TwipsRect PageRectTwips(int32_t physicalWidth, int32_t physicalHeight, int32_t dpiX, int32_t dpiY) {
    return {0, 0, MulDiv64(physicalWidth, 1440, dpiX), MulDiv64(physicalHeight, 1440, dpiY)};
}

int64_t MarginTwips(int32_t margin) { return static_cast<int64_t>(margin) * 1440 / 2500; }

TwipsRect PrintRectTwips(const TwipsRect& page, const PageMargins& margins) {
    TwipsRect r = page;
    const int64_t width = page.right;
    const int64_t height = page.bottom;
    if (margins.left >= 0 && margins.right >= 0 &&
        (static_cast<int64_t>(margins.left) + margins.right) * 1440 / 2500 + 1440 < width) {
        r.left = static_cast<int32_t>(MarginTwips(margins.left));
        r.right = static_cast<int32_t>(width - MarginTwips(margins.right));
    }
    if (margins.top >= 0 && margins.bottom >= 0 &&
        (static_cast<int64_t>(margins.top) + margins.bottom) * 1440 / 2500 + 1440 < height) {
        r.top = static_cast<int32_t>(MarginTwips(margins.top));
        r.bottom = static_cast<int32_t>(height - MarginTwips(margins.bottom));
    }
    return r;
}
