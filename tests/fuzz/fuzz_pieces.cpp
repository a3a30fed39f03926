// A text in pieces: the first bytes choose the piece size and the formatting;
// the rest, cut into pieces of that size, must decode, repair, convert from
// UTF-8 and format to exactly the bytes of the whole text at once, and the
// formatter must never keep more than its bound.
// fuzz: -max_len=2048
// fuzz-time: 2x
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/text/line_breaks.h"
#include "core/text/paragraph.h"
#include "core/text/quoted_printable.h"
#include "core/unicode/utf8.h"

#include "tests/fuzz/fuzz_input.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool Append(void* context, const unsigned char* bytes, std::size_t n) {
    auto* v = static_cast<Bytes*>(context);
    v->insert(v->end(), bytes, bytes + n);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    const std::size_t piece = 1 + in.Byte() % 64;
    ParagraphState format;
    format.alignment = static_cast<Alignment>(in.Byte() % 4);
    format.settings.right = 1 + in.Byte() % 40;
    format.settings.left = in.Byte() % 8;
    format.settings.first = in.Byte() % 8;
    format.settings.ignoreLineBreaks = in.Bit();
    Utf8State utf8;
    utf8.target = static_cast<int>(in.Byte() % 6);
    const unsigned char* text = in.data;
    const std::size_t n = in.size;

    QuotedPrintableState qp;
    LineBreakState lines;
    Bytes qpOut, linesOut, utf8Out, formatOut, room(2 * piece + 4), held(kParagraphHeldMax + piece);
    std::size_t kept = 0;
    bool ok = true;
    for (std::size_t at = 0;; at += piece) {
        const std::size_t m = at < n ? std::min(piece, n - at) : 0;
        const bool end = m == 0;
        const unsigned char* p = text + at;
        qpOut.insert(qpOut.end(), room.data(), room.data() + DecodeQuotedPrintable(qp, p, m, end, room.data()));
        linesOut.insert(linesOut.end(), room.data(), room.data() + RepairLineBreaks(lines, p, m, end, room.data()));
        utf8Out.insert(utf8Out.end(), room.data(), room.data() + ConvertUtf8(utf8, p, m, end, room.data()));
        if (m) std::memcpy(held.data() + kept, p, m);
        kept = FormatParagraphsPiece(format, held.data(), kept + m, end, Append, &formatOut, &ok);
        if (kept > kParagraphHeldMax) std::abort();
        if (end) break;
    }
    if (qpOut != DecodeQuotedPrintable(text, n) || linesOut != RepairLineBreaks(text, n)) std::abort();
    const Utf8Conversion whole =
        utf8.target == kEncodingUtf8 ? CleanUtf8(text, n) : Utf8ToCodePage(utf8.target, text, n);
    if (utf8Out != whole.bytes || utf8.substitutes != whole.substitutes) std::abort();
    if (!ok || formatOut != FormatParagraphs(text, n, format.alignment, format.settings)) std::abort();
    return 0;
}
