// Hex strings: one byte per two characters up to 260, a NUL after them, and
// a text of hex digits only reads back as the bytes it spells.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/search/hex_string.h"

namespace {
int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const HexBytes h = ParseHexString(text);
    const std::size_t expected = (size + 1) / 2 < kHexBytesMax ? (size + 1) / 2 : kHexBytesMax;
    if (h.count != expected || h.bytes[h.count] != 0) std::abort();
    for (std::size_t i = 0; i < h.count; ++i) {
        int value = 0;
        for (std::size_t k = 2 * i; k < 2 * i + 2 && k < size; ++k)
            if (Digit(text[k]) >= 0) value = value * 16 + Digit(text[k]);
        if (h.bytes[i] != (value & 0xFF)) std::abort();
    }
    return 0;
}
