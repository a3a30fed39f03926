// A Unicode document's text as the editor holds it. The control keeps
// UTF-16, and the program reads it as bytes of the display code page, one
// byte a unit, so that positions stay the control's positions. A Unicode
// document shows its characters as they are: each byte of its text is the
// character CodePageChar gives it (not the stand-ins DisplayChar shows for
// bytes a code-page document cannot show). A unit that is no character of
// the display code page is a foreign unit: a character the code page lacks,
// or either half of a character beyond the BMP. It reads as a stand-in
// byte, and the units themselves come in order beside the bytes. The
// commands that work on bytes pass the stand-ins through as they are (they
// are ASCII control bytes), so the k-th stand-in of what a command gives
// back is the k-th foreign unit it was given. The units U+001A and U+001C,
// the stand-ins' own characters, are always foreign, so that no stand-in is
// ever a byte of the text.
//
// A code-page document has no foreign units: its text is its bytes, shown
// through the display map (display_map.h).
#pragma once

#include <cstddef>
#include <vector>

// The stand-in of a unit that takes a column, and of one that takes none:
// a combining mark, a joiner, a variation selector, or the second half of
// a pair (a character beyond the BMP takes one column for its two units).
constexpr unsigned char kForeignByte = 0x1A;
constexpr unsigned char kForeignMarkByte = 0x1C;

inline bool IsForeignByte(unsigned char b) { return b == kForeignByte || b == kForeignMarkByte; }

using ForeignUnits = std::vector<char16_t>;

// The stand-in for foreign unit `u`.
unsigned char ForeignByteOf(char16_t u);

// Whether unit `u` is foreign in a Unicode document shown in display code
// page `cp` (0..2).
bool IsForeignUnit(int cp, char16_t u);

// n units of a Unicode document's control to n bytes of display code page
// `cp`, each foreign unit as its stand-in, appended to `foreign`.
void SplitUnicodeUnits(int cp, const char16_t* units, std::size_t n, unsigned char* bytes, ForeignUnits& foreign);

// Where the next stand-in takes its unit from: units[next] of `count`.
// lowTaken: the unit before units[next] was the high half of a pair, written
// together with units[next], its low half; the next stand-in takes that low
// half (a writer of UTF-8 then writes nothing for it, having written the
// whole character already). A cursor that writes a text in pieces keeps it
// from one piece to the next.
struct ForeignCursor {
    const char16_t* units = nullptr;
    std::size_t count = 0;
    std::size_t next = 0;
    bool lowTaken = false;
};

// n bytes of a Unicode document to n units: each stand-in takes the next
// unit of the cursor (one with no unit left is its own character), every
// other byte is its character in `cp` (CodePageChar).
void JoinUnicodeUnits(int cp, const unsigned char* bytes, std::size_t n, ForeignCursor& foreign, char16_t* units);

// The number of foreign characters among `n` units: a pair of surrogates
// counts once.
std::size_t CountForeignChars(const char16_t* units, std::size_t n);

// The text of code page `from` (n bytes) with its foreign units, put into
// code page `to` (0..2): each character `to` holds becomes its byte, each it
// lacks a foreign unit, so that the text reads the same. The result has as
// many bytes as the text. `bytes` and `units` are replaced by the result. A
// stand-in with no unit left stays as it is, without one.
void RecodeWithForeign(int from, const unsigned char* text, std::size_t n, const ForeignUnits& foreign, int to,
                       std::vector<unsigned char>& bytes, ForeignUnits& units);

// Two bytes that one key deletes together: a CR LF, or the stand-ins of a
// character beyond the BMP (`foreign`, their units, a pair of surrogates).
bool DeletedTogether(const unsigned char* two, const ForeignUnits& foreign);
