// The display code pages as the editor control holds them: every byte of the
// document is one UTF-16 unit in the control, decoded through a bijective map
// of the display code page (0 = Windows-1251, 1 = CP866, 2 = KOI8-R). Bytes
// below 0x80 map to themselves, and a byte the code page leaves unassigned
// (0x98 in 1251) gets a code point of its own (U+FFFD), so every byte
// survives. From the blank up, no byte shows as a character the control
// would draw as nothing (a soft hyphen, a format or combining character).
#pragma once

#include <cstddef>

// DisplayChar, the character a byte shows as, and the one table of bytes.
#include "core/charset/char_map.h"

// True when character `c` is the decoding of some byte in `cp`.
bool HasDisplayByte(int cp, char16_t c);
// The byte for character `c` in `cp`: its own byte when it has one; else the
// substitute of CodePageBytes (char_map.h).
unsigned char DisplayByte(int cp, char16_t c);

// n bytes to n characters, and n characters to n bytes.
void DecodeDisplayBytes(int cp, const unsigned char* bytes, std::size_t n, char16_t* out);
void EncodeDisplayChars(int cp, const char16_t* chars, std::size_t n, unsigned char* out);

// Case folding and word letters by what each byte shows in `cp`: the lower
// case byte of a capital letter (the byte itself when there is none), and
// whether a byte is a letter, a digit or "_".
unsigned char FoldDisplayCase(int cp, unsigned char b);
bool IsDisplayWordByte(int cp, unsigned char b);
