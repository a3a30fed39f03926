// Paragraph formatting with random settings: every word comes out once and in
// order, every line ends with CR LF, and no line with other than one word
// passes the right margin.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/codepage/paragraph.h"

namespace {
bool IsBlank(unsigned char c) { return c == 0 || c == '\t' || c == '\n' || c == '\r' || c == ' '; }

std::vector<std::vector<unsigned char>> Words(const unsigned char* p, std::size_t n) {
    std::vector<std::vector<unsigned char>> words;
    std::size_t i = 0;
    while (i < n) {
        while (i < n && IsBlank(p[i])) ++i;
        const std::size_t start = i;
        while (i < n && !IsBlank(p[i])) ++i;
        if (i > start) words.emplace_back(p + start, p + i);
    }
    return words;
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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
    const auto out = FormatParagraphs(data, size, static_cast<Alignment>(mode), s);
    if (size == 0) {
        if (!out.empty()) std::abort();
        return 0;
    }
    if (Words(data, size) != Words(out.data(), out.size())) std::abort();
    if (out.size() < 2 || out[out.size() - 2] != '\r' || out.back() != '\n') std::abort();
    const std::size_t margin = static_cast<std::size_t>(std::clamp(right, 1, kMaxRightMargin));
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == '\n') std::abort(); // LF only after CR
        if (out[i] != '\r') continue;
        if (out[i + 1] != '\n') std::abort();
        const std::size_t length = i - start;
        if (length > margin && Words(out.data() + start, length).size() != 1) std::abort();
        start = i + 2;
        ++i;
    }
    return 0;
}
