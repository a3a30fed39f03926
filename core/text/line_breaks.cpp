#include "core/text/line_breaks.h"

#include <cstring>

std::size_t RepairLineBreaks(LineBreakState& state, const unsigned char* text, std::size_t n, bool end,
                             unsigned char* out) {
    std::size_t m = 0;
    if (state.crBefore && (n > 0 || end)) {
        if (n == 0 || text[0] != '\n') out[m++] = '\n';
        state.crBefore = false;
    }
    std::size_t i = 0;
    while (i < n) {
        const void* cr = std::memchr(text + i, '\r', n - i);
        const std::size_t stop = cr ? static_cast<std::size_t>(static_cast<const unsigned char*>(cr) - text) + 1 : n;
        std::memcpy(out + m, text + i, stop - i);
        m += stop - i;
        i = stop;
        if (!cr) break;
        if (i < n) {
            if (text[i] != '\n') out[m++] = '\n';
        } else if (end) {
            out[m++] = '\n';
        } else {
            state.crBefore = true;
        }
    }
    return m;
}

std::vector<unsigned char> RepairLineBreaks(const unsigned char* text, std::size_t n) {
    std::size_t lone = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (text[i] == '\r' && (i + 1 == n || text[i + 1] != '\n')) ++lone;
    std::vector<unsigned char> out(n + lone);
    LineBreakState state;
    RepairLineBreaks(state, text, n, true, out.data());
    return out;
}
