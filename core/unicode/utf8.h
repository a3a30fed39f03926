// UTF-8 beside the five Cyrillic code pages: text in a code page to UTF-8 and
// back, the test whether bytes read as UTF-8, and the one decoder and encoder
// of a UTF-8 character the rest of the program builds on (the Unicode files,
// the repair, lork2-text's convert, the encodings dialog).
#pragma once

#include <cstddef>
#include <vector>

#include "core/charset/encodings.h"

// Text in code page `cp` as UTF-8.
std::vector<unsigned char> CodePageToUtf8(int cp, const unsigned char* text, std::size_t n);
// The same into `out`, which has room for 3 n bytes; returns the count
// written. Each byte stands alone, so a text in pieces converts piece by piece.
std::size_t CodePageToUtf8(int cp, const unsigned char* text, std::size_t n, unsigned char* out);

// UTF-8 to code page `cp`. A byte order mark at the very start is dropped.
// A character without a byte of its own becomes its substitute, and each
// byte that does not belong to a well-formed UTF-8 sequence (a stray
// continuation byte, a cut or overlong sequence, a surrogate, a value above
// U+10FFFF) becomes '?' by itself; `substitutes` counts both.
struct Utf8Conversion {
    std::vector<unsigned char> bytes;
    std::size_t substitutes = 0;
};
Utf8Conversion Utf8ToCodePage(int cp, const unsigned char* text, std::size_t n);

// UTF-8 to UTF-8 with the same rule for malformed bytes ('?' each, counted).
Utf8Conversion CleanUtf8(const unsigned char* text, std::size_t n);

// The two conversions from UTF-8 on a text in pieces: a sequence cut by the
// end of a piece is held until the next piece completes it (or the text
// ends), so the pieces give the bytes and the count of the whole text.
// A UTF-8 sequence cut by the end of a block of text, kept until the next
// block completes it (DecodeUtf8Block).
struct Utf8Cut {
    std::size_t count = 0;
    unsigned char bytes[4] = {};
};

struct Utf8State {
    int target = kEncodingUtf8; // code page 0..4, or kEncodingUtf8 for UTF-8 to UTF-8
    std::size_t substitutes = 0;
    bool started = false;       // past the place of a byte order mark
    Utf8Cut cut;                // until then, the bytes that may be one
};
// Converts the next `n` bytes into `out` (room for n + 4 bytes); `end` says
// the text ends with them. Returns the count written.
std::size_t ConvertUtf8(Utf8State& state, const unsigned char* text, std::size_t n, bool end, unsigned char* out);

// True when the bytes are well-formed UTF-8 and hold at least one character
// above U+007F. With `mayBeCut` (a sample taken from the start of a longer
// file) a sequence cut off by the end of the sample is accepted.
bool LooksLikeUtf8(const unsigned char* text, std::size_t n, bool mayBeCut);

// One step of UTF-8 decoding, for the decoders built on this one: the
// character of the well-formed sequence at text[i], advancing i past it, or
// kBadUtf8 (advancing by one byte) when the byte at i starts none; `cut` is
// set when the sequence is only cut by the end of the text. Inline: every
// decoder of the program runs it once a character; the byte-by-byte way for
// everything but ASCII and whole two- and three-byte sequences is out of
// line, so that the short way stays small enough to inline.
constexpr char32_t kBadUtf8 = 0xFFFFFFFF;
char32_t DecodeUtf8CharSlowly(const unsigned char* text, std::size_t n, std::size_t& i, bool* cut);
inline char32_t DecodeUtf8Char(const unsigned char* text, std::size_t n, std::size_t& i, bool* cut = nullptr) {
    const unsigned char b = text[i];
    if (b < 0x80) {
        ++i;
        return b;
    }
    // Whole two- and three-byte sequences, Cyrillic and the marks, go the
    // short way; anything else is taken apart byte by byte.
    if (i + 2 < n || (i + 1 < n && b < 0xE0)) {
        const unsigned t1 = text[i + 1];
        if (b >= 0xC2 && b <= 0xDF && (t1 & 0xC0) == 0x80) {
            i += 2;
            return (b & 0x1Fu) << 6 | (t1 & 0x3F);
        }
        if (b >= 0xE1 && b <= 0xEF && b != 0xED && (t1 & 0xC0) == 0x80 && (text[i + 2] & 0xC0) == 0x80) {
            const unsigned t2 = text[i + 2];
            i += 3;
            return (b & 0x0Fu) << 12 | (t1 & 0x3F) << 6 | (t2 & 0x3F);
        }
    }
    return DecodeUtf8CharSlowly(text, n, i, cut);
}

// Writes the UTF-8 bytes of character `c` (at most U+10FFFF) at `out`, room
// for four; returns their count. AppendUtf8 appends them to a vector.
std::size_t PutUtf8(unsigned char* out, char32_t c);
void AppendUtf8(std::vector<unsigned char>& out, char32_t c);

// Decodes a block of UTF-8 that follows the bytes `cut` kept from the block
// before: put(c) for every character in order, kBadUtf8 for each byte that
// begins none. A sequence the block's end cuts is kept in `cut` for the
// next block, unless `last` says the text ends with this one (its bytes
// are then bad). The blocks of a text give the characters of the whole.
template <typename Put>
void DecodeUtf8Block(Utf8Cut& cut, const unsigned char* text, std::size_t n, bool last, Put&& put) {
    std::size_t i = 0;
    // The characters that start in the kept bytes, taking bytes from the
    // block while a sequence is cut (four bytes complete any).
    while (cut.count > 0) {
        std::size_t used = 0;
        bool isCut = false;
        const char32_t c = DecodeUtf8Char(cut.bytes, cut.count, used, &isCut);
        if (isCut && i < n) {
            cut.bytes[cut.count++] = text[i++];
            continue;
        }
        if (isCut && !last) return;
        put(c);
        cut.count -= used;
        for (std::size_t h = 0; h < cut.count; ++h) cut.bytes[h] = cut.bytes[h + used];
    }
    while (i < n) {
        if (text[i] < 0x80) {
            put(static_cast<char32_t>(text[i++]));
            continue;
        }
        const std::size_t start = i;
        bool isCut = false;
        const char32_t c = DecodeUtf8Char(text, n, i, &isCut);
        if (isCut && !last) {
            // At most three bytes: the rest of a sequence the block cut.
            for (i = start; i < n; ++i) cut.bytes[cut.count++] = text[i];
            return;
        }
        put(c);
    }
}
