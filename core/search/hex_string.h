// The bytes typed as hexadecimal text in the "Hex:" fields of the Find and
// Replace dialogs.
#pragma once

#include <cstddef>
#include <string_view>

// At most this many bytes result, followed by a terminating NUL.
constexpr std::size_t kHexBytesMax = 260;

struct HexBytes {
    unsigned char bytes[kHexBytesMax + 1]; // `count` bytes, then a NUL
    std::size_t count;
};

// Reads the text two characters at a time; each pair gives one byte. A hex
// digit (either case) shifts its value in, any other character (a space too)
// occupies its place and adds nothing. A last lone character makes a byte of
// its own. Reading stops after 260 bytes. "D8E0" gives D8 E0; "D8 E0" gives
// D8 0E 00. A byte 00 is produced like any other (as a search text the bytes
// end at the first 00).
HexBytes ParseHexString(std::string_view text);
