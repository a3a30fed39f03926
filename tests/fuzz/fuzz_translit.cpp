// Transliteration from each display code page: at most two bytes per input
// byte, bytes below 0x80 kept in order, and no CP866 letter left over.
#include <cstdint>
#include <cstdlib>

#include "core/charset/convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int cp = data[0] % 3;
    ++data;
    --size;
    const auto out = Transliterate(data, size, cp);
    if (out.size() < size || out.size() > 2 * size) std::abort();
    std::size_t asciiIn = 0;
    std::size_t asciiOut = 0;
    for (std::size_t i = 0; i < size; ++i) asciiIn += data[i] < 0x80;
    for (unsigned char c : out) {
        asciiOut += c < 0x80;
        if ((c >= 0x80 && c <= 0xAF) || (c >= 0xE0 && c <= 0xF1)) std::abort();
    }
    if (asciiOut < asciiIn) std::abort();
    return 0;
}
