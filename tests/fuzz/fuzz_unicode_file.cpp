// Unicode files on random bytes: recognition never fails; a file read as a
// Unicode document writes itself back byte for byte, and a file without a mark is UTF-8 exactly when lork2-text
// takes it for UTF-8 and some display code page holds all of it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/charset/display_map.h"
#include "core/unicode/unicode_file.h"
#include "core/unicode/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const UnicodeReading r = ReadUnicodeFile(data, size);
    if (r.offset > size || r.text.size() > size) std::abort();
    UnicodeRefusalText(r);

    const bool marked = size >= 2 && (data[0] >= 0xFE || (size >= 3 && data[0] == 0xEF && data[1] == 0xBB));
    if (!marked) {
        bool fits = false;
        for (int cp = 0; cp < kDisplayCodePageCount; ++cp) fits = fits || Utf8ToCodePage(cp, data, size).substitutes == 0;
        const bool utf8 = LooksLikeUtf8(data, size, false);
        if ((r.encoding == FileEncoding::Utf8) != (utf8 && fits)) std::abort();
        if ((r.refusal == UnicodeRefusal::Unheld) != (utf8 && !fits)) std::abort();
    }
    if (r.encoding == FileEncoding::Bytes) return 0;

    std::vector<unsigned char> back(EncodedUnicodeSize(r.encoding, r.codePage, r.text.data(), r.text.size()));
    EncodeUnicodeFileInto(r.encoding, r.codePage, r.text.data(), r.text.size(), back.data());
    if (back != std::vector<unsigned char>(data, data + size)) std::abort();
    return 0;
}
