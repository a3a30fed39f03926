// What the settings readers make of a stored value, whatever its type,
// length and bytes: a value of the wrong type or shape reads as missing, and a
// string always ends inside its buffer. Window-free, so that any stored shape
// can be tried.
#pragma once

#include <cstddef>
#include <cstdint>

// The stored types a reader accepts (the registry's numbers).
constexpr std::uint32_t kStoredString = 1;   // REG_SZ
constexpr std::uint32_t kStoredExpandString = 2; // REG_EXPAND_SZ
constexpr std::uint32_t kStoredBinary = 3;   // REG_BINARY
constexpr std::uint32_t kStoredDword = 4;    // REG_DWORD

// A DWORD setting: the four stored bytes of a REG_DWORD of exactly four
// bytes; anything else (another type, fewer or more bytes, nothing read) is
// the fallback.
std::int32_t StoredDword(bool read, std::uint32_t type, const unsigned char* bytes, std::size_t size,
                         std::int32_t fallback);

// A string setting read into `buffer` (`capacity` bytes, `stored` of them
// filled by the read): made NUL-terminated inside the buffer. Empty when
// nothing was read, the type is not a string, or the value fills the buffer
// without a terminator (it was longer than the buffer). Returns the length.
std::size_t StoredString(bool read, std::uint32_t type, char* buffer, std::size_t stored, std::size_t capacity);

// A binary setting: usable only when a REG_BINARY of exactly the size the
// reader expects was read.
bool StoredBinary(bool read, std::uint32_t type, std::size_t stored, std::size_t expected);
