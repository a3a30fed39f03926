// The encodings a reading goes through, as tables built once: every
// single-byte encoding both ways, each character's letter class and case
// for the scoring, and the two steps every reading is made of: bytes
// decoded, and text turned back into the bytes a wrong reading gave it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/repair/repair.h"

namespace repair {

using Text = std::u32string;

// Every encoding of repair.h but UTF-8 (its row is unused).
constexpr int kSingleByteCount = kRepairEncodingCount;

// A letter's case in Tables::kase; 0 for no letter.
constexpr unsigned char kSmall = 1;
constexpr unsigned char kCapital = 2;

// The Western encodings, which only the readings know: the program's code
// pages have their bytes in the one table of char_map.h.
constexpr int kWesternCount = kRepairEncodingCount - kRepair1252;

// Byte to character, and for the Western encodings character (below
// U+10000) to its byte, 0 when it has none (no character from 0x80 up has
// byte 0).
struct Tables {
    char32_t decode[kSingleByteCount][256];
    unsigned char encode[kWesternCount][65536]; // encoding kRepair1252 + k in row k
    unsigned char cls[65536];  // the model's letter class
    unsigned char kase[65536]; // kSmall, kCapital or 0
};
const Tables& GetTables();

// Where the bytes of single-byte encoding `e` are looked up: a character's
// byte is byte[c] when own[c] has a bit of `bits`.
struct ByteRow {
    const unsigned char* byte;
    const unsigned char* own;
    unsigned char bits;
};
ByteRow ByteRowOf(const Tables& t, int e);

// The byte of `c` in the row's encoding, 0 for none; ASCII is itself in
// every one.
inline unsigned char ByteOf(const ByteRow& row, char32_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    return c < 0x10000 && (row.own[c] & row.bits) != 0 ? row.byte[c] : 0;
}

// The characters in `target` (a code page, or kEncodingUtf8) appended to
// `out`; one the code page lacks becomes its usual substitute, counted.
void EncodeChars(const char32_t* chars, std::size_t n, int target, std::vector<unsigned char>& out,
                 std::size_t& substitutes);

// The bytes decoded as `e`; false when e is UTF-8 and they are not
// well-formed (a byte order mark at the start is dropped).
bool DecodeStrict(const unsigned char* p, std::size_t n, int e, const Tables& t, Text& out);

// One wrong reading undone: the text back to the bytes `wrong` gave it,
// those bytes read as `original`. False when a character has no byte in
// `wrong` or the bytes do not decode.
bool Undo(const Text& in, const RepairStep& s, const Tables& t, std::vector<unsigned char>& bytes, Text& out);

bool HasHigh(const Text& text);

// A strict 1251 reader writes '?' for 0x98, the one byte 1251 leaves
// unassigned. In UTF-8 read so, a '?' right after 0xD0 cannot be what was
// there (0xD0 always leads a two-byte letter), and the one letter that
// fits is И (0xD0 0x98): undoing such a step puts it back. `before` is the
// byte before p (0 for none).
bool RestoresUnassigned(const RepairStep& s);
void RestoreUnassigned(unsigned char* p, std::size_t n, unsigned char before);

} // namespace repair
