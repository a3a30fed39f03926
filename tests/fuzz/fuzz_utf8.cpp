// UTF-8 of lork2-text on random bytes: malformed bytes become one '?' each and
// nothing else changes, so cleaning twice is cleaning once and well-formed
// input passes unchanged; converting to a code page counts the same
// substitutes cleaned or not; every code-page text goes to UTF-8 and back.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/charset/tables.h"
#include "core/unicode/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int cp = data[0] % kCodePageCount;
    ++data;
    --size;

    const Utf8Conversion clean = CleanUtf8(data, size);
    const Utf8Conversion again = CleanUtf8(clean.bytes.data(), clean.bytes.size());
    if (again.substitutes != 0 || again.bytes != clean.bytes) std::abort();
    if (clean.substitutes == 0 && clean.bytes != std::vector<unsigned char>(data, data + size)) std::abort();
    if (LooksLikeUtf8(data, size, false) && clean.substitutes != 0) std::abort();
    if (clean.substitutes > size) std::abort();

    const Utf8Conversion direct = Utf8ToCodePage(cp, data, size);
    const Utf8Conversion viaClean = Utf8ToCodePage(cp, clean.bytes.data(), clean.bytes.size());
    if (direct.bytes != viaClean.bytes) std::abort();
    if (direct.substitutes != viaClean.substitutes + clean.substitutes) std::abort();
    if (direct.bytes.size() > size || direct.substitutes > direct.bytes.size()) std::abort();

    const std::vector<unsigned char> up = CodePageToUtf8(cp, data, size);
    const Utf8Conversion back = Utf8ToCodePage(cp, up.data(), up.size());
    if (back.substitutes != 0 || back.bytes != std::vector<unsigned char>(data, data + size)) std::abort();
    return 0;
}
