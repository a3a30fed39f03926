// The character of every byte in each of the five code pages, and the byte
// of a character: the one place that says what a code page's bytes stand
// for. The display code pages differ from it only where the editor shows a
// byte otherwise (display_map.h).
#pragma once

// The character byte `b` stands for in code page `cp` (0..4 as in tables.h;
// any other number is taken as 0). Bytes below 0x80 are themselves; the
// three display code pages read as the editor shows them (display_map.h),
// ISO 8859-5 and Mac Cyrillic by their standard tables. Every byte has a
// character, so text in a code page always converts to UTF-8 whole.
char32_t CodePageChar(int cp, unsigned char b);

// The byte for character `c` in `cp`: its own byte when it has one; else the
// editor's usual substitute (for the display code pages DisplayByte; for ISO
// and Mac the CP866 substitute brought over by the code-page tables), which
// is '?' for a character that no code page knows. `exact` tells which.
unsigned char CodePageByte(int cp, char32_t c, bool* exact = nullptr);
