#include "core/search/hex_string.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

HexBytes ParseHexString(std::string_view text) {
    HexBytes out{};
    std::size_t i = 0;
    std::size_t pos = 0;
    while (pos < text.size() && i < kHexBytesMax) {
        unsigned value = 0;
        for (std::size_t end = pos + 2; pos < end && pos < text.size(); ++pos) {
            const int d = HexDigit(text[pos]);
            if (d >= 0) value = value * 16 + static_cast<unsigned>(d);
        }
        out.bytes[i++] = static_cast<unsigned char>(value & 0xFF);
    }
    out.bytes[i] = 0;
    out.count = i;
    return out;
}
