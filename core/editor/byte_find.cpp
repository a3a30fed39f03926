#include "core/editor/byte_find.h"

#include "core/charset/display_map.h"

#include <array>

namespace {

bool IsBlank(unsigned char b) { return b == ' ' || b == '\t'; }
bool IsLineBreak(unsigned char b) { return b == '\r' || b == '\n'; }

// 0 blank, 1 line break, 2 word letter, 3 sign.
int ClassOf(unsigned char b, int cp) {
    if (IsBlank(b)) return 0;
    if (IsLineBreak(b)) return 1;
    return IsDisplayWordByte(cp, b) ? 2 : 3;
}

} // namespace

std::ptrdiff_t FindInView(const unsigned char* text, std::size_t n, std::size_t from, std::size_t to,
                          const unsigned char* needle, std::size_t m, unsigned flags, int cp) {
    if (to > n) to = n;
    if (m == 0 || from >= to || to - from < m) return -1;
    const bool matchCase = (flags & kFindMatchCase) != 0;
    const bool wholeWord = (flags & kFindWholeWord) != 0;
    std::array<unsigned char, 256> fold{};
    for (int b = 0; b < 256; ++b)
        fold[b] = matchCase ? static_cast<unsigned char>(b) : FoldDisplayCase(cp, static_cast<unsigned char>(b));
    const unsigned char first = fold[needle[0]];
    for (std::size_t i = from; i + m <= to; ++i) {
        if (fold[text[i]] != first) continue;
        std::size_t k = 1;
        while (k < m && fold[text[i + k]] == fold[needle[k]]) ++k;
        if (k < m) continue;
        if (wholeWord) {
            if (i > 0 && IsDisplayWordByte(cp, text[i - 1])) continue;
            if (i + m < n && IsDisplayWordByte(cp, text[i + m])) continue;
        }
        return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::size_t WordBreakRightInView(const unsigned char* text, std::size_t n, std::size_t pos, int cp) {
    if (pos >= n) return n;
    if (text[pos] == '\r') return pos + 1 < n && text[pos + 1] == '\n' ? pos + 2 : pos + 1;
    if (text[pos] == '\n') return pos + 1;
    const int kind = ClassOf(text[pos], cp);
    if (kind != 0)
        while (pos < n && ClassOf(text[pos], cp) == kind) ++pos;
    while (pos < n && IsBlank(text[pos])) ++pos;
    return pos;
}

std::size_t WordBreakLeftInView(const unsigned char* text, std::size_t n, std::size_t pos, int cp) {
    if (pos > n) pos = n;
    const std::size_t start = pos;
    while (pos > 0 && IsBlank(text[pos - 1])) --pos;
    if (pos == 0) return 0;
    // Blanks that open a line: the word to the left ends at the line start.
    if (pos != start && IsLineBreak(text[pos - 1])) return pos;
    if (text[pos - 1] == '\n') return pos >= 2 && text[pos - 2] == '\r' ? pos - 2 : pos - 1;
    if (text[pos - 1] == '\r') return pos - 1;
    const int kind = ClassOf(text[pos - 1], cp);
    while (pos > 0 && ClassOf(text[pos - 1], cp) == kind) --pos;
    return pos;
}
