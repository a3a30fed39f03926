// Paragraph formatting with random settings: every word comes out once and in
// order, every line ends with CR LF, and no line with other than one word
// passes the right margin. The checks walk the input and the output side by
// side without making copies, and the output goes into one buffer kept from
// input to input, so that an input costs about what formatting it costs.
// fuzz: -max_len=1024
// The formatting is the slowest of the engine per input: it gets three times
// the others' time.
// fuzz-time: 3x
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/text/paragraph.h"

// The checks walk every output byte: they are left out of the coverage
// tracing, which would otherwise cost far more than the formatting.
#define CHECK_CODE __attribute__((no_sanitize("coverage")))

namespace {
CHECK_CODE bool IsBlank(unsigned char c) { return c == 0 || c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// The words of a buffer, one after another.
struct WordCursor {
    const unsigned char* p;
    std::size_t n;
    std::size_t i = 0;
    // The next word as [start, end); false at the end.
    CHECK_CODE bool Next(std::size_t& start, std::size_t& end) {
        // Indents make long runs of spaces: eight at a time.
        for (;;) {
            while (i + 8 <= n) {
                std::uint64_t eight;
                std::memcpy(&eight, p + i, 8);
                if (eight != 0x2020202020202020ULL) break;
                i += 8;
            }
            if (i < n && IsBlank(p[i])) {
                ++i;
                continue;
            }
            break;
        }
        if (i == n) return false;
        start = i;
        while (i < n && !IsBlank(p[i])) ++i;
        end = i;
        return true;
    }
};

CHECK_CODE bool SameWords(const unsigned char* a, std::size_t an, const unsigned char* b, std::size_t bn) {
    WordCursor x{a, an};
    WordCursor y{b, bn};
    for (;;) {
        std::size_t xs = 0, xe = 0, ys = 0, ye = 0;
        const bool more = x.Next(xs, xe);
        if (more != y.Next(ys, ye)) return false;
        if (!more) return true;
        if (xe - xs != ye - ys || std::memcmp(a + xs, b + ys, xe - xs) != 0) return false;
    }
}

// At most how many words a line holds, counting up to two.
CHECK_CODE int WordsUpToTwo(const unsigned char* p, std::size_t n) {
    WordCursor c{p, n};
    std::size_t s = 0, e = 0;
    int count = 0;
    while (count < 2 && c.Next(s, e)) ++count;
    return count;
}

// Every line ends with CR LF (no LF elsewhere), and a line longer than the
// margin holds one word.
CHECK_CODE bool LinesEndWell(const unsigned char* o, std::size_t n, std::size_t margin) {
    std::size_t start = 0;
    for (;;) {
        const void* cr = std::memchr(o + start, '\r', n - start);
        const std::size_t at = cr ? static_cast<std::size_t>(static_cast<const unsigned char*>(cr) - o) : n;
        if (std::memchr(o + start, '\n', at - start)) return false;
        if (at == n) return true;
        if (at + 1 >= n || o[at + 1] != '\n') return false;
        const std::size_t length = at - start;
        if (length > margin && WordsUpToTwo(o + start, length) != 1) return false;
        start = at + 2;
        if (start == n) return true;
    }
}

int Take(const std::uint8_t*& data, std::size_t& size) {
    int v = 0;
    if (size >= 4) {
        std::memcpy(&v, data, 4);
        data += 4;
        size -= 4;
    }
    return v;
}

CHECK_CODE bool Append(void* context, const unsigned char* bytes, std::size_t n) {
    auto* v = static_cast<std::vector<unsigned char>*>(context);
    v->insert(v->end(), bytes, bytes + n);
    return true;
}
} // namespace

// Every input allocates the formatter's 64 KB output block: a small
// quarantine lets freed blocks come back, rather than fresh pages the system
// must clear each time.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::vector<unsigned char> out;
    if (size < 1) return 0;
    const int mode = data[0] & 3;
    const bool wide = data[0] & 4; // any int at all, or the options dialog's ranges
    const bool ig = data[0] & 8;
    ++data;
    --size;
    int right = Take(data, size);
    int left = Take(data, size);
    int first = Take(data, size);
    if (!wide) {
        right = 10 + static_cast<int>(static_cast<unsigned>(right) % 119);
        left = static_cast<int>(static_cast<unsigned>(left) % 81);
        first = static_cast<int>(static_cast<unsigned>(first) % 81);
    }
    ParagraphSettings s;
    s.right = right;
    s.left = left;
    s.first = first;
    s.ignoreLineBreaks = ig;
    out.clear();
    if (!FormatParagraphs(data, size, static_cast<Alignment>(mode), s, Append, &out)) std::abort();
    if (size == 0) {
        if (!out.empty()) std::abort();
        return 0;
    }
    // The vector form gives the same bytes (checked now and then: it is the
    // same formatter behind another sink).
    if ((size & 15) == 0 && FormatParagraphs(data, size, static_cast<Alignment>(mode), s) != out) std::abort();
    if (!SameWords(data, size, out.data(), out.size())) std::abort();
    if (out.size() < 2 || out[out.size() - 2] != '\r' || out.back() != '\n') std::abort();
    if (!LinesEndWell(out.data(), out.size(), static_cast<std::size_t>(std::clamp(right, 1, kMaxRightMargin))))
        std::abort();
    return 0;
}
