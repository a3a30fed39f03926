// A text read in pieces of any size converts and formats to the bytes of the
// whole text at once, as lork2-text reads files block by block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/charset/tables.h"
#include "core/text/line_breaks.h"
#include "core/text/paragraph.h"
#include "core/text/quoted_printable.h"
#include "core/unicode/utf8.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Pushkin, in UTF-8; the tests are compiled to Windows-1251.
const char8_t kProse[] =
    u8"Отец мой Андрей Петрович Гринёв в молодости своей служил при графе Минихе и вышел в "
    u8"отставку премьер-майором в 17.. году. С тех пор жил он в своей Симбирской деревне, где и "
    u8"женился на девице Авдотье Васильевне Ю., дочери бедного тамошнего дворянина. Нас было "
    u8"девять человек детей. Все мои братья и сёстры умерли во младенчестве.\n"
    u8"\n"
    u8"Матушка была ещё мною брюхата, как уже я был записан в Семёновский полк сержантом, по "
    u8"милости майора гвардии князя Б., близкого нашего родственника. «Береги честь смолоду» — "
    u8"Тогда воспитывались мы не по-нынешнему. С пятилетнего возраста отдан я был на руки "
    u8"стремянному Савельичу, за трезвое поведение пожалованному мне в дядьки.\n";

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The prose in 1251 with its lines cut at about 60 columns and ended by
// `lineEnd`, paragraphs apart by an empty line.
Bytes Lines(const Bytes& prose, const std::string& lineEnd) {
    Bytes t;
    std::size_t column = 0;
    for (unsigned char c : prose) {
        if (c == '\n') {
            t.insert(t.end(), lineEnd.begin(), lineEnd.end());
            column = 0;
            continue;
        }
        if (c == ' ' && column > 60) {
            t.insert(t.end(), lineEnd.begin(), lineEnd.end());
            column = 0;
            continue;
        }
        t.push_back(c);
        ++column;
    }
    return t;
}

struct Texts {
    std::vector<Bytes> codePage; // bytes as the code-page commands take them
    std::vector<Bytes> utf8;     // UTF-8 input, well-formed or not
};

Texts MakeTexts() {
    const std::string utf8(reinterpret_cast<const char*>(kProse));
    const Bytes prose = Utf8ToCodePage(kCodePageAnsi, reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size())
                            .bytes;
    Texts t;
    for (const char* end : {"\r\n", "\n", "\r", "\n\r", " \r\n", "\t\n", "\r\r\n"}) t.codePage.push_back(Lines(prose, end));
    // Line ends of every shape mixed, runs of blanks, a CR at the very end.
    Bytes mixed = Lines(prose, "\r\n");
    for (std::size_t i = 0, k = 0; i < mixed.size(); ++i)
        if (mixed[i] == '\n') mixed.insert(mixed.begin() + static_cast<long>(++i), "\r\n\n\r \0"[k++ % 6]);
    mixed.insert(mixed.begin() + 300, 40, ' ');
    mixed.push_back('\r');
    t.codePage.push_back(mixed);
    // Every byte value, twice; quoted-printable escapes, cut and whole.
    Bytes all;
    for (int round = 0; round < 2; ++round)
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<unsigned char>(b));
    t.codePage.push_back(all);
    Bytes qp;
    static const char digits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < prose.size(); ++i) {
        const unsigned char c = prose[i];
        if (c >= 0x80 || c == '=') {
            qp.push_back('=');
            qp.push_back(static_cast<unsigned char>(i % 7 == 0 ? "0123456789abcdef"[c >> 4] : digits[c >> 4]));
            if (i % 11 != 0) qp.push_back(static_cast<unsigned char>(digits[c & 15]));
        } else {
            qp.push_back(c);
        }
        if (i % 70 == 69) qp.insert(qp.end(), {'=', '\r', '\n'});
    }
    qp.insert(qp.end(), {'=', '=', 'E', '0', '=', 'E'});
    t.codePage.push_back(qp);
    // A word longer than any line and long runs of blanks, which the
    // formatter shortens while it waits for the next word.
    Bytes longRuns = Lines(prose, "\r\n");
    longRuns.insert(longRuns.begin() + 100, 700, 'W');
    longRuns.insert(longRuns.begin() + 900, 3000, ' ');
    longRuns.insert(longRuns.begin() + 4000, 900, '\r');
    longRuns.insert(longRuns.end(), 1000, 'Z');
    t.codePage.push_back(longRuns);
    for (const char* s : {"", "\r", "=", "=4", "x=4F", "w", " w", "  "}) t.codePage.push_back(Of(s));

    // UTF-8: the prose, with a byte order mark, and broken in every way.
    t.utf8.push_back(Of(utf8));
    t.utf8.push_back(Of("\xEF\xBB\xBF" + utf8));
    std::string broken = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        broken += utf8[i];
        if (i % 97 == 5) broken += "\xF0\x9F\x98\x80"; // outside the BMP
        if (i % 89 == 7) broken += "\xE2\x82";          // cut
        if (i % 83 == 3) broken += "\x80\xFF\xC0\xAF";  // stray, impossible, overlong
        if (i % 79 == 1) broken += "\xED\xA0\x80\xF4\x90\x80\x80"; // surrogate, above U+10FFFF
    }
    t.utf8.push_back(Of(broken + "\xF0\x9F\x98"));
    for (const char* s : {"", "\xEF", "\xEF\xBB", "\xEF\xBB\xBF", "\xEF\xBB\xBF\xD0", "\xD0\x94", "\xF4\x8F\xBF"})
        t.utf8.push_back(Of(s));
    return t;
}

// Block sizes: every size up to a bound, then a few large ones.
std::vector<std::size_t> BlockSizes() {
    std::vector<std::size_t> sizes;
    for (std::size_t s = 1; s <= 80; ++s) sizes.push_back(s);
    for (std::size_t s : {127, 500, 4093, 65536}) sizes.push_back(s);
    return sizes;
}

// Feeds `text` in blocks of `size` through `piece(text, n, end, out)`, which
// appends its result to `out`.
template <class Piece>
Bytes InPieces(const Bytes& text, std::size_t size, Piece piece) {
    Bytes out;
    for (std::size_t at = 0;; at += size) {
        const std::size_t n = at < text.size() ? std::min(size, text.size() - at) : 0;
        piece(text.data() + at, n, n == 0, out);
        if (n == 0) return out;
    }
}

bool Append(void* context, const unsigned char* bytes, std::size_t n) {
    auto* v = static_cast<Bytes*>(context);
    v->insert(v->end(), bytes, bytes + n);
    return true;
}

TEST(TextInPieces, EveryBlockSizeGivesTheBytesOfTheWholeText) {
    const Texts texts = MakeTexts();
    std::vector<ParagraphSettings> formats(4);
    formats[1].right = 72;
    formats[1].first = 4;
    formats[1].left = 2;
    formats[2].ignoreLineBreaks = true;
    formats[3].right = 10;
    Bytes room;
    for (std::size_t t = 0; t < texts.codePage.size(); ++t) {
        const Bytes& text = texts.codePage[t];
        const Bytes qp = DecodeQuotedPrintable(text.data(), text.size());
        const Bytes lines = RepairLineBreaks(text.data(), text.size());
        std::vector<Bytes> formatted;
        for (const ParagraphSettings& s : formats)
            for (Alignment a : {Alignment::kJustify, Alignment::kCenter, Alignment::kLeft, Alignment::kRight})
                formatted.push_back(FormatParagraphs(text.data(), text.size(), a, s));
        for (std::size_t size : BlockSizes()) {
            SCOPED_TRACE("text " + std::to_string(t) + ", blocks of " + std::to_string(size));
            room.resize(2 * size + 4);
            QuotedPrintableState qpState;
            EXPECT_TRUE(InPieces(text, size, [&](const unsigned char* p, std::size_t n, bool end, Bytes& out) {
                            out.insert(out.end(), room.data(), room.data() + DecodeQuotedPrintable(qpState, p, n, end, room.data()));
                        }) == qp);
            LineBreakState lineState;
            EXPECT_TRUE(InPieces(text, size, [&](const unsigned char* p, std::size_t n, bool end, Bytes& out) {
                            out.insert(out.end(), room.data(), room.data() + RepairLineBreaks(lineState, p, n, end, room.data()));
                        }) == lines);
            // Formatting keeps the start of a line at the front of its buffer.
            std::size_t f = 0;
            for (const ParagraphSettings& s : formats) {
                for (Alignment a : {Alignment::kJustify, Alignment::kCenter, Alignment::kLeft, Alignment::kRight}) {
                    ParagraphState state;
                    state.alignment = a;
                    state.settings = s;
                    Bytes buffer(kParagraphHeldMax + size);
                    std::size_t kept = 0;
                    bool ok = true;
                    const Bytes out = InPieces(text, size, [&](const unsigned char* p, std::size_t n, bool end, Bytes& result) {
                        std::copy(p, p + n, buffer.begin() + static_cast<long>(kept));
                        kept = FormatParagraphsPiece(state, buffer.data(), kept + n, end, Append, &result, &ok);
                        ASSERT_LE(kept, kParagraphHeldMax);
                    });
                    EXPECT_TRUE(ok);
                    EXPECT_TRUE(out == formatted[f]) << "format " << static_cast<int>(a) << " right " << s.right;
                    ++f;
                }
            }
        }
    }
    for (std::size_t t = 0; t < texts.utf8.size(); ++t) {
        const Bytes& text = texts.utf8[t];
        for (int target = 0; target <= kEncodingUtf8; ++target) {
            const Utf8Conversion whole = target == kEncodingUtf8 ? CleanUtf8(text.data(), text.size())
                                                               : Utf8ToCodePage(target, text.data(), text.size());
            for (std::size_t size : BlockSizes()) {
                SCOPED_TRACE("UTF-8 text " + std::to_string(t) + " to " + std::to_string(target) + ", blocks of " +
                             std::to_string(size));
                room.resize(size + 4);
                Utf8State state;
                state.target = target;
                EXPECT_TRUE(InPieces(text, size, [&](const unsigned char* p, std::size_t n, bool end, Bytes& out) {
                                out.insert(out.end(), room.data(), room.data() + ConvertUtf8(state, p, n, end, room.data()));
                            }) == whole.bytes);
                EXPECT_EQ(state.substitutes, whole.substitutes);
            }
        }
    }
}

} // namespace
