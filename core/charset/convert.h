// Byte conversions of the encodings menu between code pages: table
// conversion through CP866, the Fido substitution and transliteration. Each
// is a pure function of the bytes it is given, one byte at a time, so a text
// in pieces (a file read block by block) converts piece by piece.
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
