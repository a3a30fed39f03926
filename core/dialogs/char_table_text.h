// The text of the character table: every byte from 32 to 255, 32 to a line.
#pragma once

#include <array>
#include <cstddef>

// Seven lines of 32 bytes (0x20-0x3F, 0x40-0x5F, ... 0xE0-0xFF) separated by
// CR LF, with no line end after the last: 224 characters in 236 bytes.
constexpr std::size_t kCharTableTextSize = 7 * 32 + 6 * 2;
std::array<unsigned char, kCharTableTextSize> CharTableText();
