// The nine code-page tables and the pivot rule: every conversion between the
// five Cyrillic code pages goes through CP866.
#pragma once

#include <cstddef>

// Code-page numbers shared by the whole program.
enum CodePage : int {
    kCodePageAnsi = 0, // Windows-1251
    kCodePageOem = 1,  // CP866
    kCodePageKoi8 = 2, // KOI8-R
    kCodePageIso = 3,  // ISO 8859-5
    kCodePageMac = 4,  // Mac Cyrillic
};
constexpr int kCodePageCount = 5;

// Table numbers.
enum CodePageTable : int {
    kTableOemToAnsi = 0,
    kTableAnsiToOem = 1,
    kTableOemToKoi8 = 2,
    kTableKoi8ToOem = 3,
    kTableOemToMac = 4,
    kTableMacToOem = 5,
    kTableOemToIso = 6,
    kTableIsoToOem = 7,
    kTableTranslit = 8, // first Latin letter of each CP866 letter
    kTableFido = 9,     // not a table: the "H,p" substitution, only as a target
    kNoTable = -1,
};
constexpr int kTableCount = 9;
constexpr std::size_t kTableSize = 128;

// All nine tables one after another: table t, byte b (0x80..0xFF) is
// kCodePageTables[t * 128 + (b - 0x80)]. Bytes below 0x80 are never changed.
extern const unsigned char kCodePageTables[kTableCount * kTableSize];

// The pivot rule, indexed by code-page number: the table from that code page
// to CP866 and the table from CP866 to it; -1 (none) for CP866 itself.
extern const int ToOemTable[kCodePageCount];
extern const int FromOemTable[kCodePageCount];

// The 128 entries of table t (0..8), or nullptr for any other number.
const unsigned char* CodePageTableEntries(int t);
