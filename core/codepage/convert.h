// Byte conversions of the encodings menu: table conversion through CP866, the
// Fido substitution, transliteration, quoted-printable decoding and the repair
// of line ends. Each is a pure function of the bytes it is given. The ones
// that look past a byte also take a text in pieces (a file read block by
// block): a small state carries what a piece's end leaves open, and the
// pieces give the same bytes as the whole text at once.
#pragma once

#include <cstddef>
#include <vector>

// Replaces every byte from 0x80 up by table[byte - 0x80], in place; bytes
// below 0x80 are kept. `table` has 128 entries.
void TranslateTable(unsigned char* data, std::size_t n, const unsigned char* table);

// The table conversion, in place: first table `fromTable` (0..8; -1 none),
// then table `toTable` (0..7; -1 none) or, for `toTable` = 9, the Fido
// substitution of CP866 Н (0x8D) by "H" and р (0xE0) by "p". Any other table
// number is taken as none. The whole conversion is one pass over the bytes.
void ConvertBytes(unsigned char* data, std::size_t n, int fromTable, int toTable);

// Latin transliteration of text shown in `displayCodePage` (0 ANSI, 1 OEM,
// 2 KOI8; 3 and 4 are taken too): the text is first brought to CP866, then
// every letter becomes its Latin letter or pair of letters; other bytes from
// 0x80 up stay as CP866 bytes. An unknown code page is taken as CP866.
std::vector<unsigned char> Transliterate(const unsigned char* text, std::size_t n, int displayCodePage);
// The same into `out`, which has room for 2 n bytes; returns the count written.
std::size_t Transliterate(const unsigned char* text, std::size_t n, int displayCodePage, unsigned char* out);

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

// Every CR not followed by LF (a CR at the very end included) gets an LF
// after it; lone LF bytes and CR LF pairs are kept.
std::vector<unsigned char> RepairLineBreaks(const unsigned char* text, std::size_t n);

// The repair of a text in pieces: a CR that ends a piece gets its LF when the
// next piece does not start with one (or the text ends).
struct LineBreakState {
    bool crBefore = false;
};
// Repairs the next `n` bytes into `out` (room for 2 n + 1 bytes); `end` says
// the text ends with them. Returns the count written.
std::size_t RepairLineBreaks(LineBreakState& state, const unsigned char* text, std::size_t n, bool end,
                             unsigned char* out);
