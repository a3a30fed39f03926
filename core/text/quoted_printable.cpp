#include "core/text/quoted_printable.h"

namespace {

bool IsUpperHex(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
int HexValue(unsigned char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

} // namespace

std::size_t DecodeQuotedPrintable(QuotedPrintableState& state, const unsigned char* text, std::size_t n, bool end,
                                  unsigned char* out) {
    std::size_t m = 0;
    std::size_t i = 0;
    // An escape begun in the piece before: "=" or "=X" with X a digit.
    while (state.heldCount > 0) {
        if (i == n) {
            if (!end) return m;
            // The text ended inside: the bytes are kept as they are.
            for (int h = 0; h < state.heldCount; ++h) out[m++] = state.held[h];
            state.heldCount = 0;
            return m;
        }
        const unsigned char c = text[i];
        if (!IsUpperHex(c)) {
            // No escape: "=" (and the digit) are kept; c is read anew below.
            for (int h = 0; h < state.heldCount; ++h) out[m++] = state.held[h];
            state.heldCount = 0;
        } else if (state.heldCount == 1) {
            state.held[state.heldCount++] = c;
            ++i;
        } else {
            out[m++] = static_cast<unsigned char>(16 * HexValue(state.held[1]) + HexValue(c));
            state.heldCount = 0;
            ++i;
        }
    }
    while (i < n) {
        const unsigned char c = text[i];
        if (c != '=') {
            out[m++] = c;
            ++i;
            continue;
        }
        if (i + 2 < n) {
            if (IsUpperHex(text[i + 1]) && IsUpperHex(text[i + 2])) {
                out[m++] = static_cast<unsigned char>(16 * HexValue(text[i + 1]) + HexValue(text[i + 2]));
                i += 3;
            } else {
                out[m++] = c;
                ++i;
            }
            continue;
        }
        // Fewer than two bytes after "=": the next piece decides, unless the
        // text ends here or the byte after it is no digit.
        if (end || (i + 1 < n && !IsUpperHex(text[i + 1]))) {
            out[m++] = c;
            ++i;
            continue;
        }
        while (i < n) state.held[state.heldCount++] = text[i++];
    }
    return m;
}

std::vector<unsigned char> DecodeQuotedPrintable(const unsigned char* text, std::size_t n) {
    std::vector<unsigned char> out(n);
    QuotedPrintableState state;
    out.resize(DecodeQuotedPrintable(state, text, n, true, out.data()));
    return out;
}
