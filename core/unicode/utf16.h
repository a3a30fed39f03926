// UTF-16 text that comes in blocks, as lork2-text reads and writes it: the
// units after the mark decoded to UTF-8, and UTF-8 written as UTF-16 again.
// Each direction keeps what a block's end cut (a byte of a unit, a leading
// surrogate, a UTF-8 sequence) for the next block, so the blocks of a text
// give the result of the whole text in memory bounded by the block.
#pragma once

#include <cstddef>

#include "core/unicode/utf8.h"

// Writes one UTF-16 unit at `o` in the byte order asked for and steps past it.
inline void PutUtf16Unit(unsigned char*& o, char16_t u, bool bigEndian) {
    o[bigEndian ? 1 : 0] = static_cast<unsigned char>(u);
    o[bigEndian ? 0 : 1] = static_cast<unsigned char>(u >> 8);
    o += 2;
}

// UTF-16 to UTF-8. A surrogate without its partner, and a lone byte at the
// very end (an odd length), each become '?', counted in `substitutes`.
struct Utf16Decoding {
    bool bigEndian = false;
    bool haveByte = false;   // the first byte of a unit the block before cut
    unsigned char byte = 0;
    char16_t lead = 0;       // a leading surrogate waiting for its partner, 0 for none
    std::size_t substitutes = 0;
};
// The room `out` needs for `n` bytes of UTF-16: three bytes a unit, and the
// units and substitutes carried from the block before or written at the end.
constexpr std::size_t Utf16ToUtf8Room(std::size_t n) { return 3 * (n / 2) + 8; }
// Decodes the next `n` bytes (`end`: the text ends with them) into `out`;
// returns the count written.
std::size_t Utf16ToUtf8(Utf16Decoding& d, const unsigned char* text, std::size_t n, bool end, unsigned char* out);

// UTF-8 to UTF-16 without a mark (U+FEFF in front writes one). Each byte
// that begins no well-formed sequence becomes '?', counted.
struct Utf16Encoding {
    bool bigEndian = false;
    Utf8Cut cut;
    std::size_t substitutes = 0;
};
// Two bytes for each byte of UTF-8 at most, and the bytes carried.
constexpr std::size_t Utf8ToUtf16Room(std::size_t n) { return 2 * n + 8; }
std::size_t Utf8ToUtf16(Utf16Encoding& e, const unsigned char* text, std::size_t n, bool end, unsigned char* out);
