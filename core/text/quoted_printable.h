// Quoted-printable decoding of the encodings menu, a pure function of the
// bytes it is given. It also takes a text in pieces (a file read block by
// block): a small state carries what a piece's end leaves open, and the
// pieces give the same bytes as the whole text at once.
#pragma once

#include <cstddef>
#include <vector>

// "=XY" with X and Y upper-case hexadecimal digits becomes the byte 0xXY;
// every other "=" and every other byte is kept as it is (soft line breaks
// included). The result is never longer than the input.
std::vector<unsigned char> DecodeQuotedPrintable(const unsigned char* text, std::size_t n);

// The decoding of a text in pieces: an "=" or "=X" at the end of a piece is
// held until the next piece tells whether it is an escape.
struct QuotedPrintableState {
    unsigned char held[2] = {};
    int heldCount = 0;
};
// Decodes the next `n` bytes into `out` (room for n + 2 bytes); `end` says
// the text ends with them. Returns the count written.
std::size_t DecodeQuotedPrintable(QuotedPrintableState& state, const unsigned char* text, std::size_t n, bool end,
                                  unsigned char* out);
