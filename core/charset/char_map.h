// The character of every byte in each of the five code pages, and the byte
// of every character: the one place that says what a code page's bytes
// stand for. A new code page is a row of kHighHalves and a row here.
#pragma once

#include <cstddef>

#include "core/charset/tables.h"

// The character byte `b` stands for in code page `cp` (0..4 as in tables.h;
// any other number is taken as 0). Bytes below 0x80 are themselves. Every
// byte has a character, so text in a code page always converts to UTF-8
// whole.
char32_t CodePageChar(int cp, unsigned char b);

// The display code pages, the first three: those the editor shows a
// document in (display_map.h).
constexpr int kDisplayCodePageCount = 3;

// The character byte `b` shows as in the editor in display code page `cp`
// (0..2; any other number is taken as 0): CodePageChar, but for the two
// bytes of 1251 the editor shows otherwise so that each has a width on
// screen: the unassigned 0x98 as U+FFFD and the soft hyphen 0xAD as the
// non-breaking hyphen U+2011 (display_map.h).
char16_t DisplayChar(int cp, unsigned char b);

// The byte for every UTF-16 unit: a row for each code page (CodePageChar's
// characters) and one more for 1251 as the editor shows it (DisplayChar's).
// byte[row][c] is c's own byte where the row has one (bit `row` of own[c]
// set), else its substitute: for the display code pages the byte the
// code-page tables give for the byte c has in another display code page
// (box drawing shown in 1251 becomes "-", "¦", "+" ...), for ISO and Mac the
// CP866 substitute brought over by the tables, '?' for a character no code
// page knows. Units below 0x80 are themselves in every row. Built once.
constexpr int kShownAnsiRow = kCodePageCount;
constexpr int kByteRowCount = kCodePageCount + 1;
constexpr std::size_t kUnitCount = 0x10000;
struct CodePageByteTable {
    unsigned char byte[kByteRowCount][kUnitCount];
    unsigned char own[kUnitCount];
};
const CodePageByteTable& CodePageBytes();

// The byte for character `c` in `cp` (0..4; any other number is taken as 0)
// from the table; '?' beyond the BMP. `exact` tells whether it is c's own.
unsigned char CodePageByte(int cp, char32_t c, bool* exact = nullptr);
