// The page layout on any bytes, widths and page sizes: every line lies inside
// the text, lines follow one another with nothing left out, every page but
// one too small for a line takes something, and laying out page after page
// covers the text exactly once. The pen advances fill exactly their buffer;
// the tag marks and the rectangles take any numbers.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/print/page_layout_core.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    LayoutMetrics m{};
    const int widthKind = in.Byte();
    for (int32_t& a : m.advance) a = widthKind & 1 ? in.Byte() % 8 : 1 + widthKind % 5; // zero widths too
    m.lineHeight = 1 + in.Byte() % 20;
    m.tabWidth = 1 + in.Byte() % 50;
    const int32_t width = static_cast<int32_t>(in.Byte() % 80) - 2;
    const int32_t height = static_cast<int32_t>(in.Byte() % 100) - 2;
    const int32_t pageWidth = in.Int();
    const int32_t pageHeight = in.Int();
    const PageMargins margins{in.Int(), in.Int(), in.Int(), in.Int()};
    const int32_t dpiX = in.Int();
    const int32_t dpiY = in.Int();
    std::vector<unsigned char> text(in.data, in.data + in.size);
    const std::size_t n = text.size();

    // One line from anywhere.
    if (n > 0) {
        const std::size_t from = static_cast<std::size_t>(pageWidth) % n;
        const LaidLine line = BreakLine(text.data(), n, from, m, width);
        if (!(line.start == from && line.start <= line.end && line.end <= line.next && line.next <= n)) std::abort();
        if (line.next == from) std::abort(); // every line takes at least one byte
        std::vector<int32_t> advances(line.end - line.start);
        LineAdvances(text.data(), line, m, advances.data());
        for (int32_t a : advances)
            if (a < 0) std::abort();
    }

    // Page after page over the whole text.
    std::size_t start = 0;
    int pages = 0;
    while (start < n) {
        const LaidPage page = LayOutPage(text.data() + start, n - start, m, width, height);
        if (page.next == 0) {
            if (height >= m.lineHeight) std::abort(); // a line fits, yet nothing was taken
            if (!page.lines.empty()) std::abort();
            break;
        }
        if (page.next > n - start || page.lines.empty()) std::abort();
        std::size_t expected = 0;
        for (const LaidLine& line : page.lines) {
            if (line.start != expected || line.end < line.start || line.next < line.end || line.next <= line.start)
                std::abort();
            expected = line.next;
        }
        if (expected != page.next) std::abort();
        if (static_cast<int64_t>(page.lines.size()) * m.lineHeight > std::max(height, m.lineHeight)) std::abort();
        start += page.next;
        if (++pages > static_cast<int>(n) + 1) std::abort();
    }

    // The tag marks of a view of the text, as a printed page asks for them,
    // agree with the marks of the whole text at the same places.
    std::vector<unsigned char> whole(n + 1);
    MarkHtmlTags(text.data(), n, 0, n, whole.data());
    const std::size_t first = n ? static_cast<std::size_t>(pageWidth) % n : 0;
    const std::size_t count = n - first;
    std::vector<unsigned char> view(count + 1);
    MarkHtmlTags(text.data(), n, first, count, view.data());
    for (std::size_t i = 0; i < count; ++i)
        if (view[i] > 1 || view[i] != whole[first + i]) std::abort();

    const TwipsRect page = PageRectTwips(pageWidth, pageHeight, dpiX, dpiY);
    const TwipsRect print = PrintRectTwips(page, margins);
    if (print.left < page.left || print.right > page.right || print.top < page.top || print.bottom > page.bottom) {
        // The margins apply only inside the page.
        if (page.right >= page.left && page.bottom >= page.top) std::abort();
    }
    (void)MulDiv64(pageWidth, dpiX, dpiY);
    (void)MarginTwips(margins.left);
    return 0;
}
