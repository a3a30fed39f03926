// Unicode files on random bytes: recognition never fails; a file read as a
// Unicode document has a stand-in for each of its foreign units, and with
// them writes itself back byte for byte, whole or in two pieces through one
// cursor; its text is the control's units split again, and reads the same
// in every display code page, and as UTF-8 of its characters. A file
// without a mark is UTF-8 exactly when lork2-text takes it for UTF-8.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/charset/char_map.h"
#include "core/unicode/foreign_units.h"
#include "core/unicode/unicode_file.h"
#include "core/unicode/utf8.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The text written in two pieces, the first `split` bytes long.
Bytes EncodedInTwo(const UnicodeReading& r, std::size_t split) {
    ForeignCursor cursor{r.foreign.data(), r.foreign.size()};
    Bytes out;
    for (int k = 0; k < 2; ++k) {
        const unsigned char* piece = r.text.data() + (k == 0 ? 0 : split);
        const std::size_t n = k == 0 ? split : r.text.size() - split;
        Bytes written(EncodedUnicodeSize(r.encoding, r.codePage, piece, n, k == 0, &cursor));
        EncodeUnicodeFileInto(r.encoding, r.codePage, piece, n, written.data(), k == 0, &cursor);
        out.insert(out.end(), written.begin(), written.end());
    }
    return out;
}

// Join then split is the identity, and so is recoding there and back.
void CheckUnits(const UnicodeReading& r, int to) {
    ForeignCursor cursor{r.foreign.data(), r.foreign.size()};
    std::vector<char16_t> units(r.text.size());
    JoinUnicodeUnits(r.codePage, r.text.data(), r.text.size(), cursor, units.data());
    Bytes split(units.size());
    ForeignUnits foreign;
    SplitUnicodeUnits(r.codePage, units.data(), units.size(), split.data(), foreign);
    if (split != r.text || foreign != r.foreign) std::abort();
    Bytes there, back;
    ForeignUnits thereUnits, backUnits;
    RecodeWithForeign(r.codePage, r.text.data(), r.text.size(), r.foreign, to, there, thereUnits);
    RecodeWithForeign(to, there.data(), there.size(), thereUnits, r.codePage, back, backUnits);
    if (back != r.text || backUnits != r.foreign) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const UnicodeReading r = ReadUnicodeFile(data, size);
    if (r.offset > size || r.text.size() > size || r.foreign.size() > size) std::abort();
    UnicodeRefusalText(r);

    const bool marked = size >= 2 && (data[0] >= 0xFE || (size >= 3 && data[0] == 0xEF && data[1] == 0xBB));
    if (!marked && (r.encoding == FileEncoding::Utf8) != LooksLikeUtf8(data, size, false)) std::abort();
    if (r.encoding == FileEncoding::Bytes) return 0;

    const auto standIns = static_cast<std::size_t>(std::count_if(r.text.begin(), r.text.end(), IsForeignByte));
    if (standIns != r.foreign.size()) std::abort();
    const Bytes file(data, data + size);
    std::vector<unsigned char> back(EncodedUnicodeSize(r.encoding, r.codePage, r.text.data(), r.text.size(), true,
                                                       nullptr));
    EncodeUnicodeFileInto(r.encoding, r.codePage, r.text.data(), r.text.size(), back.data());
    if (r.foreign.empty() && back != file) std::abort();
    const std::size_t choice = size ? data[size - 1] * 251u + data[0] : 0;
    if (EncodedInTwo(r, choice % (r.text.size() + 1)) != file) std::abort();
    CheckUnits(r, static_cast<int>(choice % kDisplayCodePageCount));
    // Its characters as UTF-8 come back as its text, and as UTF-8 again.
    const Bytes utf8 = CharactersAsUtf8(r.codePage, r.text.data(), r.text.size(), r.foreign);
    Bytes text;
    ForeignUnits foreign;
    Utf8AsCharacters(r.codePage, utf8.data(), utf8.size(), text, foreign);
    if (text != r.text || foreign != r.foreign) std::abort();
    // Any bytes read as UTF-8 into a code page keep as many stand-ins as units.
    Utf8AsCharacters(r.codePage, data, size, text, foreign);
    if (static_cast<std::size_t>(std::count_if(text.begin(), text.end(), IsForeignByte)) != foreign.size()) std::abort();
    if (CharactersAsUtf8(r.codePage, text.data(), text.size(), foreign).size() > 3 * size) std::abort();
    return 0;
}
