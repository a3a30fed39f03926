#include "core/unicode/unicode_file.h"

#include "core/charset/char_map.h"
#include "core/charset/display_map.h"
#include "core/charset/tables.h"
#include "core/unicode/byte_order_mark.h"
#include "core/unicode/utf16.h"
#include "core/unicode/utf8.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {

// Built once from CodePageChar, so that reading and writing agree with the
// code pages of lork2-text to the character: per code page and byte, its
// character in UTF-8 (the sequence in the first bytes, its length in the
// last) and in UTF-16.
struct Tables {
    std::array<std::array<std::array<unsigned char, 4>, 256>, kCodePageCount> utf8;
    std::array<std::array<char16_t, 256>, kCodePageCount> utf16;
};

const Tables& GetTables() {
    static const Tables* tables = [] {
        static Tables t{};
        for (int cp = 0; cp < kCodePageCount; ++cp) {
            for (int b = 0; b < 256; ++b) {
                // Every character of the five code pages is in the BMP and
                // is no surrogate, so it has one UTF-16 unit and at most
                // three bytes of UTF-8.
                const char32_t c = CodePageChar(cp, static_cast<unsigned char>(b));
                t.utf8[cp][b][3] = static_cast<unsigned char>(PutUtf8(t.utf8[cp][b].data(), c));
                t.utf16[cp][b] = static_cast<char16_t>(c);
            }
        }
        return &t;
    }();
    return *tables;
}

constexpr unsigned kAllDisplayCodePages = (1u << kDisplayCodePageCount) - 1;

} // namespace

unsigned DisplayCodePagesHolding(char32_t c) {
    return c < kUnitCount ? CodePageBytes().own[c] & kAllDisplayCodePages : 0;
}

namespace {

// How the file's characters are stored, after the mark.
enum class Form { Utf8, Utf8Marked, Utf16Le, Utf16Be };

// One pass over the characters: whether they are well-formed, which display
// code pages hold all of them, and how many there are. With `out`, each
// character's byte in code page `cp` is written there (never more bytes
// than the file has). With `stop`, the pass ends at the
// first character that no code page holds together with those before it.
struct Scan {
    bool malformed = false;
    unsigned held = kAllDisplayCodePages;
    std::size_t size = 0;
    char32_t character = 0; // the malformed unit, or the one `stop` ended at
    std::size_t offset = 0;
};

// One character of the file: its value and how many bytes it takes; no
// bytes when it is malformed (the value is then the byte or unit at fault).
struct Unit {
    char32_t c;
    std::size_t length;
};

// The pass itself, over the characters `next` reads at each offset.
template <bool kWrite, bool kStop, typename Next>
Scan ScanWith(Next next, std::size_t n, int cp, unsigned char* out) {
    // Bits 0..2 of `own`: the display code pages that hold the character.
    const CodePageByteTable& t = CodePageBytes();
    const unsigned char* own = t.own;
    const unsigned char* byte = t.byte[cp];
    Scan r;
    unsigned mask = kAllDisplayCodePages;
    std::size_t o = 0;
    for (std::size_t i = 0; i < n; ++o) {
        const Unit u = next(i);
        if (u.length == 0) {
            r.malformed = true;
            r.character = u.c;
            r.offset = i;
            return r;
        }
        // A character beyond the BMP is looked up as U+FFFF, which no code
        // page holds either (what it writes is never used: the file is
        // then opened as bytes).
        const std::size_t k = u.c < kUnitCount ? u.c : kUnitCount - 1;
        mask &= own[k];
        if (kWrite) out[o] = byte[k];
        if (kStop && (mask & kAllDisplayCodePages) == 0) {
            r.character = u.c;
            r.offset = i;
            break;
        }
        i += u.length;
    }
    r.held = mask & kAllDisplayCodePages;
    r.size = o;
    return r;
}

template <bool kWrite, bool kStop>
Scan ScanUtf8(const unsigned char* s, std::size_t n, int cp, unsigned char* out) {
    return ScanWith<kWrite, kStop>(
        [s, n](std::size_t i) {
            std::size_t next = i;
            const char32_t c = DecodeUtf8Char(s, n, next);
            return c == kBadUtf8 ? Unit{s[i], 0} : Unit{c, next - i};
        },
        n, cp, out);
}

// A lone byte at the end (an odd length) is no character and is left out.
template <bool kBigEndian, bool kWrite, bool kStop>
Scan ScanUtf16(const unsigned char* s, std::size_t n, int cp, unsigned char* out) {
    const auto unit = [s](std::size_t i) -> unsigned {
        return kBigEndian ? s[i] << 8 | s[i + 1] : s[i] | s[i + 1] << 8;
    };
    return ScanWith<kWrite, kStop>(
        [unit, n](std::size_t i) {
            const unsigned u = unit(i);
            if ((u & 0xF800) != 0xD800) return Unit{u, 2};
            // A pair is a character beyond the BMP, which no code page has.
            if (u < 0xDC00 && i + 3 < n && (unit(i + 2) & 0xFC00) == 0xDC00)
                return Unit{0x10000 + ((u - 0xD800) << 10 | (unit(i + 2) - 0xDC00)), 4};
            return Unit{u, 0};
        },
        n & ~std::size_t{1}, cp, out);
}

template <bool kWrite, bool kStop>
Scan ScanForm(Form form, const unsigned char* s, std::size_t n, int cp, unsigned char* out) {
    switch (form) {
    case Form::Utf16Le: return ScanUtf16<false, kWrite, kStop>(s, n, cp, out);
    case Form::Utf16Be: return ScanUtf16<true, kWrite, kStop>(s, n, cp, out);
    default: return ScanUtf8<kWrite, kStop>(s, n, cp, out);
    }
}

// The form by the mark, and the mark's length.
Form FormOf(const unsigned char* bytes, std::size_t n, std::size_t* markLength) {
    switch (FindByteOrderMark(bytes, n, markLength)) {
    case ByteOrderMark::Utf8: return Form::Utf8Marked;
    case ByteOrderMark::Utf16Le: return Form::Utf16Le;
    case ByteOrderMark::Utf16Be: return Form::Utf16Be;
    default: return Form::Utf8;
    }
}

FileEncoding EncodingOf(Form form) {
    switch (form) {
    case Form::Utf8: return FileEncoding::Utf8;
    case Form::Utf8Marked: return FileEncoding::Utf8Bom;
    case Form::Utf16Le: return FileEncoding::Utf16Le;
    default: return FileEncoding::Utf16Be;
    }
}

int FirstCodePage(unsigned held) {
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp)
        if (held & (1u << cp)) return cp;
    return 0;
}

// The reading after a full scan (without the text).
UnicodeReading Judge(Form form, std::size_t mark, const Scan& scan, const unsigned char* bytes, std::size_t n) {
    UnicodeReading r;
    if (scan.malformed) {
        // Bytes that are not UTF-8 make an ordinary file; only a mark
        // promised otherwise.
        if (form == Form::Utf8Marked) r.refusal = UnicodeRefusal::Utf8AfterMark;
        if (form == Form::Utf16Le || form == Form::Utf16Be) r.refusal = UnicodeRefusal::Utf16Surrogate;
        if (r.refusal != UnicodeRefusal::None) {
            r.character = scan.character;
            r.offset = mark + scan.offset;
        }
        return r;
    }
    // Without a mark, ASCII alone (every character one byte) is no sign.
    if (form == Form::Utf8 && scan.size == n) return r;
    if (scan.held == 0) {
        const Scan at = ScanForm<false, true>(form, bytes + mark, n - mark, 0, nullptr);
        r.refusal = UnicodeRefusal::Unheld;
        r.character = at.character;
        r.offset = mark + at.offset;
        return r;
    }
    r.encoding = EncodingOf(form);
    r.codePage = FirstCodePage(scan.held);
    return r;
}

int Normalised(int cp) { return cp >= 0 && cp < kCodePageCount ? cp : 0; }

} // namespace

const char* FileEncodingName(FileEncoding e) {
    switch (e) {
    case FileEncoding::Utf8: return "UTF-8";
    case FileEncoding::Utf8Bom: return "UTF-8 BOM";
    case FileEncoding::Utf16Le: return "UTF-16 LE";
    case FileEncoding::Utf16Be: return "UTF-16 BE";
    default: return "";
    }
}

UnicodeReading ReadUnicodeFile(const unsigned char* bytes, std::size_t n) {
    std::size_t mark = 0;
    const Form form = FormOf(bytes, n, &mark);
    if ((form == Form::Utf16Le || form == Form::Utf16Be) && n % 2 != 0) {
        UnicodeReading r;
        r.refusal = UnicodeRefusal::Utf16OddLength;
        return r;
    }
    // A plain byte file that is not UTF-8 is known by its first bad
    // sequence; a Unicode one is read in the same pass, taking it for 1251
    // (the usual case) and reading it again only when it is not.
    std::vector<unsigned char> text(n - mark);
    const Scan scan = ScanForm<true, false>(form, bytes + mark, n - mark, kCodePageAnsi, text.data());
    UnicodeReading r = Judge(form, mark, scan, bytes, n);
    if (r.encoding == FileEncoding::Bytes) return r;
    if (r.codePage != kCodePageAnsi) ScanForm<true, false>(form, bytes + mark, n - mark, r.codePage, text.data());
    text.resize(scan.size);
    r.text = std::move(text);
    return r;
}

std::string UnicodeRefusalText(const UnicodeReading& r) {
    char text[160];
    switch (r.refusal) {
    case UnicodeRefusal::Unheld: {
        const bool anywhere = DisplayCodePagesHolding(r.character) != 0;
        std::snprintf(text, sizeof text,
                      anywhere ? "Открыт как байты: символ U+%04X не показать в одной кодировке с остальным текстом"
                               : "Открыт как байты: символ U+%04X не показать ни в одной кодировке",
                      static_cast<unsigned>(r.character));
        return text;
    }
    case UnicodeRefusal::Utf16OddLength: return "Открыт как байты: у файла с меткой UTF-16 нечётная длина";
    case UnicodeRefusal::Utf16Surrogate:
        std::snprintf(text, sizeof text, "Открыт как байты: в UTF-16 суррогат U+%04X без пары",
                      static_cast<unsigned>(r.character));
        return text;
    case UnicodeRefusal::Utf8AfterMark: return "Открыт как байты: за меткой UTF-8 идут байты не UTF-8";
    default: return "";
    }
}

std::size_t EncodedUnicodeSize(FileEncoding e, int cp, const unsigned char* text, std::size_t n, bool withMark) {
    switch (e) {
    case FileEncoding::Utf8:
    case FileEncoding::Utf8Bom: {
        const auto& utf8 = GetTables().utf8[Normalised(cp)];
        std::size_t size = e == FileEncoding::Utf8Bom && withMark ? sizeof kUtf8Mark : 0;
        for (std::size_t i = 0; i < n; ++i) size += utf8[text[i]][3];
        return size;
    }
    case FileEncoding::Utf16Le:
    case FileEncoding::Utf16Be: return (withMark ? 2 : 0) + 2 * n;
    default: return n;
    }
}

void EncodeUnicodeFileInto(FileEncoding e, int cp, const unsigned char* text, std::size_t n, unsigned char* out,
                           bool withMark) {
    const Tables& t = GetTables();
    cp = Normalised(cp);
    switch (e) {
    case FileEncoding::Utf8Bom:
        if (withMark) {
            std::memcpy(out, kUtf8Mark, sizeof kUtf8Mark);
            out += sizeof kUtf8Mark;
        }
        [[fallthrough]];
    case FileEncoding::Utf8: {
        // Each character is stored as four bytes and the next one written
        // over the rest; the last three bytes of the text go one by one, so
        // nothing is stored past the end of `out`.
        const auto& utf8 = t.utf8[cp];
        const std::size_t bulk = n > 3 ? n - 3 : 0;
        std::size_t i = 0;
        while (i < bulk) {
            const auto& sequence = utf8[text[i++]];
            std::memcpy(out, sequence.data(), 4);
            out += sequence[3];
        }
        for (; i < n; ++i) {
            const auto& sequence = utf8[text[i]];
            std::memcpy(out, sequence.data(), sequence[3]);
            out += sequence[3];
        }
        return;
    }
    case FileEncoding::Utf16Le:
    case FileEncoding::Utf16Be: {
        const bool bigEndian = e == FileEncoding::Utf16Be;
        const auto& utf16 = t.utf16[cp];
        if (withMark) PutUtf16Unit(out, kByteOrderMarkChar, bigEndian);
        // A loop for each byte order: the order is never decided per unit.
        if (bigEndian) {
            for (std::size_t i = 0; i < n; ++i) PutUtf16Unit(out, utf16[text[i]], true);
        } else {
            for (std::size_t i = 0; i < n; ++i) PutUtf16Unit(out, utf16[text[i]], false);
        }
        return;
    }
    default:
        if (n != 0) std::memcpy(out, text, n);
        return;
    }
}

bool RecodeExactly(int from, const std::vector<unsigned char>& text, int to, std::vector<unsigned char>& out) {
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool exact = true;
        out[i] = from == to ? text[i] : CodePageByte(to, CodePageChar(from, text[i]), &exact);
        if (!exact) return false;
    }
    return true;
}
