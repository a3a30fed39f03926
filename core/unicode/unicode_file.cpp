#include "core/unicode/unicode_file.h"

#include "core/charset/char_map.h"
#include "core/charset/display_map.h"
#include "core/charset/tables.h"
#include "core/unicode/byte_order_mark.h"
#include "core/unicode/foreign_units.h"
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
// than the file has).
struct Scan {
    bool malformed = false;
    unsigned held = kAllDisplayCodePages;
    std::size_t size = 0;
    char32_t character = 0; // the malformed unit
    std::size_t offset = 0;
};

// One character of the file: its value and how many bytes it takes; no
// bytes when it is malformed (the value is then the byte or unit at fault).
struct Unit {
    char32_t c;
    std::size_t length;
};

// The pass itself, over the characters `next` reads at each offset.
template <bool kWrite, typename Next>
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
        // then read again with its foreign units).
        const std::size_t k = u.c < kUnitCount ? u.c : kUnitCount - 1;
        mask &= own[k];
        if (kWrite) out[o] = byte[k];
        i += u.length;
    }
    r.held = mask & kAllDisplayCodePages;
    r.size = o;
    return r;
}

// The readers of one character at an offset, for each form.
auto Utf8Reader(const unsigned char* s, std::size_t n) {
    return [s, n](std::size_t i) {
        std::size_t next = i;
        const char32_t c = DecodeUtf8Char(s, n, next);
        return c == kBadUtf8 ? Unit{s[i], 0} : Unit{c, next - i};
    };
}

template <bool kBigEndian>
auto Utf16Reader(const unsigned char* s, std::size_t n) {
    const auto unit = [s](std::size_t i) -> unsigned {
        return kBigEndian ? s[i] << 8 | s[i + 1] : s[i] | s[i + 1] << 8;
    };
    return [unit, n](std::size_t i) {
        const unsigned u = unit(i);
        if ((u & 0xF800) != 0xD800) return Unit{u, 2};
        if (u < 0xDC00 && i + 3 < n && (unit(i + 2) & 0xFC00) == 0xDC00)
            return Unit{0x10000 + ((u - 0xD800) << 10 | (unit(i + 2) - 0xDC00)), 4};
        return Unit{u, 0};
    };
}

// visit(reader, length) with the reader of `form` and the length of `s` it
// reads: a lone byte at the end of UTF-16 (an odd length) is no character
// and is left out.
template <typename Visit>
auto WithReader(Form form, const unsigned char* s, std::size_t n, Visit visit) {
    switch (form) {
    case Form::Utf16Le: return visit(Utf16Reader<false>(s, n), n & ~std::size_t{1});
    case Form::Utf16Be: return visit(Utf16Reader<true>(s, n), n & ~std::size_t{1});
    default: return visit(Utf8Reader(s, n), n);
    }
}

template <bool kWrite>
Scan ScanForm(Form form, const unsigned char* s, std::size_t n, int cp, unsigned char* out) {
    return WithReader(form, s, n, [cp, out](auto next, std::size_t length) {
        return ScanWith<kWrite>(next, length, cp, out);
    });
}

// Of a well-formed file: how many of its characters each display code page
// holds, how many units the control needs for all of them, and how many are
// U+001A or U+001C (held by every code page, yet foreign).
struct Census {
    std::size_t held[kDisplayCodePageCount] = {};
    std::size_t units = 0;
    std::size_t strays = 0;
};

template <typename Next>
Census CountHeld(Next next, std::size_t n) {
    const unsigned char* own = CodePageBytes().own;
    Census census;
    for (std::size_t i = 0; i < n;) {
        const Unit u = next(i);
        i += u.length;
        if (u.c >= kUnitCount) {
            census.units += 2;
            continue;
        }
        ++census.units;
        census.strays += u.c == kForeignByte || u.c == kForeignMarkByte;
        for (int cp = 0; cp < kDisplayCodePageCount; ++cp) census.held[cp] += own[u.c] >> cp & 1u;
    }
    return census;
}

// The display code page that holds the most characters; of equals, the
// first. One that holds them all is therefore the first such.
int MostHolding(const Census& census) {
    int best = 0;
    for (int cp = 1; cp < kDisplayCodePageCount; ++cp)
        if (census.held[cp] > census.held[best]) best = cp;
    return best;
}

// A well-formed file's text in code page `cp` into `out`, each foreign unit
// as its stand-in and appended to r.foreign (a character beyond the BMP as
// its two halves). Returns the length of the text.
template <typename Next>
std::size_t ReadWithForeign(Next next, std::size_t n, int cp, unsigned char* out, UnicodeReading& r) {
    // IsForeignUnit's rule, looked up here without a call: a character of
    // the BMP is foreign unless the code page's own row holds it, and the
    // stand-ins' own characters always are (a surrogate never comes here
    // alone: the file is well-formed).
    const CodePageByteTable& t = CodePageBytes();
    const unsigned char* byte = t.byte[cp];
    std::size_t o = 0;
    for (std::size_t i = 0; i < n;) {
        const Unit u = next(i);
        if (u.c < kUnitCount && (t.own[u.c] >> cp & 1u) != 0 && u.c != kForeignByte && u.c != kForeignMarkByte) {
            out[o++] = byte[u.c];
        } else {
            const bool pair = u.c >= kUnitCount;
            const char16_t first = pair ? static_cast<char16_t>(0xD800 + ((u.c - 0x10000) >> 10))
                                        : static_cast<char16_t>(u.c);
            out[o++] = ForeignByteOf(first);
            r.foreign.push_back(first);
            if (pair) {
                const char16_t low = static_cast<char16_t>(0xDC00 + ((u.c - 0x10000) & 0x3FF));
                out[o++] = ForeignByteOf(low);
                r.foreign.push_back(low);
            }
        }
        i += u.length;
    }
    return o;
}

// Reads a well-formed file with foreign characters: chooses its code page,
// then reads its text there with the foreign units. Returns the text's
// length.
std::size_t ReadForeign(Form form, const unsigned char* s, std::size_t n, unsigned char* out, UnicodeReading& r) {
    return WithReader(form, s, n, [out, &r](auto next, std::size_t length) {
        const Census census = CountHeld(next, length);
        r.codePage = MostHolding(census);
        r.foreign.reserve(census.units - census.held[r.codePage] + census.strays);
        return ReadWithForeign(next, length, r.codePage, out, r);
    });
}

// Whether the text read has a stand-in's byte: a character that no code
// page holds together with the rest, or U+001A or U+001C themselves (they
// read as their own bytes in every code page).
bool HasStandInByte(const unsigned char* text, std::size_t n) {
    return n != 0 && (std::memchr(text, kForeignByte, n) != nullptr || std::memchr(text, kForeignMarkByte, n) != nullptr);
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
UnicodeReading Judge(Form form, std::size_t mark, const Scan& scan, std::size_t n) {
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
    // (the usual case) and reading it again only when it is not, or when it
    // has foreign characters.
    std::vector<unsigned char> text(n - mark);
    const Scan scan = ScanForm<true>(form, bytes + mark, n - mark, kCodePageAnsi, text.data());
    UnicodeReading r = Judge(form, mark, scan, n);
    if (r.encoding == FileEncoding::Bytes) return r;
    std::size_t size = scan.size;
    if (scan.held == 0 || HasStandInByte(text.data(), size)) {
        size = ReadForeign(form, bytes + mark, n - mark, text.data(), r);
        if (!r.foreign.empty()) r.offset += mark;
    } else if (r.codePage != kCodePageAnsi) {
        ScanForm<true>(form, bytes + mark, n - mark, r.codePage, text.data());
    }
    text.resize(size);
    r.text = std::move(text);
    return r;
}

std::string UnicodeRefusalText(const UnicodeReading& r) {
    char text[160];
    switch (r.refusal) {
    case UnicodeRefusal::Utf16OddLength: return "Открыт как байты: у файла с меткой UTF-16 нечётная длина";
    case UnicodeRefusal::Utf16Surrogate:
        std::snprintf(text, sizeof text, "Открыт как байты: в UTF-16 суррогат U+%04X без пары",
                      static_cast<unsigned>(r.character));
        return text;
    case UnicodeRefusal::Utf8AfterMark: return "Открыт как байты: за меткой UTF-8 идут байты не UTF-8";
    default: return "";
    }
}

namespace {

bool IsUtf16(FileEncoding e) { return e == FileEncoding::Utf16Le || e == FileEncoding::Utf16Be; }

std::size_t MarkSize(FileEncoding e, bool withMark) {
    if (!withMark) return 0;
    return e == FileEncoding::Utf8Bom ? sizeof kUtf8Mark : IsUtf16(e) ? 2 : 0;
}

unsigned char* PutMark(FileEncoding e, bool withMark, unsigned char* out) {
    if (!withMark) return out;
    if (e == FileEncoding::Utf8Bom) {
        std::memcpy(out, kUtf8Mark, sizeof kUtf8Mark);
        return out + sizeof kUtf8Mark;
    }
    if (IsUtf16(e)) PutUtf16Unit(out, kByteOrderMarkChar, e == FileEncoding::Utf16Be);
    return out;
}

// The size of n bytes of text in `cp` written as their characters, without
// a mark.
std::size_t PlainSize(FileEncoding e, int cp, const unsigned char* text, std::size_t n) {
    if (IsUtf16(e)) return 2 * n;
    if (e != FileEncoding::Utf8 && e != FileEncoding::Utf8Bom) return n;
    const auto& utf8 = GetTables().utf8[cp];
    std::size_t size = 0;
    for (std::size_t i = 0; i < n; ++i) size += utf8[text[i]][3];
    return size;
}

unsigned char* PutPlainUtf8(const unsigned char* text, std::size_t n, unsigned char* out,
                            const std::array<std::array<unsigned char, 4>, 256>& utf8) {
    // Each character is stored as four bytes and the next one written over
    // the rest; the last three bytes of the text go one by one, so nothing
    // is stored past the end of what the text writes.
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
    return out;
}

// n bytes of text in `cp` written as their characters, without a mark;
// returns the end of what was written.
unsigned char* PutPlain(FileEncoding e, int cp, const unsigned char* text, std::size_t n, unsigned char* out) {
    const Tables& t = GetTables();
    if (e == FileEncoding::Utf8 || e == FileEncoding::Utf8Bom) return PutPlainUtf8(text, n, out, t.utf8[cp]);
    if (!IsUtf16(e)) {
        if (n != 0) std::memcpy(out, text, n);
        return out + n;
    }
    const auto& utf16 = t.utf16[cp];
    // A loop for each byte order: the order is never decided per unit.
    if (e == FileEncoding::Utf16Be) {
        for (std::size_t i = 0; i < n; ++i) PutUtf16Unit(out, utf16[text[i]], true);
    } else {
        for (std::size_t i = 0; i < n; ++i) PutUtf16Unit(out, utf16[text[i]], false);
    }
    return out;
}

std::size_t Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

bool IsHighSurrogate(char16_t u) { return (u & 0xFC00) == 0xD800; }
bool IsLowSurrogate(char16_t u) { return (u & 0xFC00) == 0xDC00; }

// The character stand-in `b` writes, taking its unit from `c`; kNothing for
// none (the low half of a pair whose high half wrote the whole character).
constexpr char32_t kNothing = 0xFFFFFFFF;

char32_t CharOfStandIn(bool utf16, unsigned char b, ForeignCursor& c) {
    if (c.lowTaken && c.next < c.count) {
        c.lowTaken = false;
        const char16_t low = c.units[c.next++];
        return utf16 ? low : kNothing;
    }
    c.lowTaken = false;
    if (c.next >= c.count) return b;
    const char16_t u = c.units[c.next++];
    if (IsHighSurrogate(u) && c.next < c.count && IsLowSurrogate(c.units[c.next])) {
        c.lowTaken = true;
        return utf16 ? u : 0x10000 + ((u - 0xD800u) << 10 | (c.units[c.next] - 0xDC00u));
    }
    return IsHighSurrogate(u) || IsLowSurrogate(u) ? 0xFFFD : u;
}

// What stand-in `b` writes at `out` (room for four bytes; nothing is
// written when it is null), advancing `c`; returns the count of bytes.
std::size_t PutStandIn(FileEncoding e, unsigned char b, ForeignCursor& c, unsigned char* out) {
    const bool utf16 = IsUtf16(e);
    const char32_t ch = CharOfStandIn(utf16, b, c);
    if (utf16) {
        if (out) PutUtf16Unit(out, static_cast<char16_t>(ch), e == FileEncoding::Utf16Be);
        return 2;
    }
    if (ch == kNothing) return 0;
    return out ? PutUtf8(out, ch) : Utf8Length(ch);
}

// plain(run, length) for each run of the text without a stand-in and
// stand(b) for each stand-in, in order.
template <typename Plain, typename Stand>
void ForEachRun(const unsigned char* text, std::size_t n, Plain plain, Stand stand) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!IsForeignByte(text[i])) continue;
        if (i > start) plain(text + start, i - start);
        stand(text[i]);
        start = i + 1;
    }
    if (n > start) plain(text + start, n - start);
}

} // namespace

std::size_t EncodedUnicodeSize(FileEncoding e, int cp, const unsigned char* text, std::size_t n, bool withMark,
                               const ForeignCursor* foreign) {
    cp = Normalised(cp);
    if (e == FileEncoding::Bytes) return n;
    std::size_t size = MarkSize(e, withMark);
    if (!foreign) return size + PlainSize(e, cp, text, n);
    ForeignCursor c = *foreign;
    ForEachRun(
        text, n, [&](const unsigned char* run, std::size_t length) { size += PlainSize(e, cp, run, length); },
        [&](unsigned char b) { size += PutStandIn(e, b, c, nullptr); });
    return size;
}

void EncodeUnicodeFileInto(FileEncoding e, int cp, const unsigned char* text, std::size_t n, unsigned char* out,
                           bool withMark, ForeignCursor* foreign) {
    cp = Normalised(cp);
    if (e == FileEncoding::Bytes) {
        PutPlain(e, cp, text, n, out);
        return;
    }
    out = PutMark(e, withMark, out);
    if (!foreign) {
        PutPlain(e, cp, text, n, out);
        return;
    }
    ForEachRun(
        text, n, [&](const unsigned char* run, std::size_t length) { out = PutPlain(e, cp, run, length, out); },
        [&](unsigned char b) { out += PutStandIn(e, b, *foreign, out); });
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

std::vector<unsigned char> CharactersAsUtf8(int cp, const unsigned char* text, std::size_t n,
                                            const ForeignUnits& foreign) {
    ForeignCursor size{foreign.data(), foreign.size()};
    std::vector<unsigned char> out(EncodedUnicodeSize(FileEncoding::Utf8, cp, text, n, false, &size));
    ForeignCursor units{foreign.data(), foreign.size()};
    EncodeUnicodeFileInto(FileEncoding::Utf8, cp, text, n, out.data(), false, &units);
    return out;
}

void Utf8AsCharacters(int cp, const unsigned char* utf8, std::size_t n, std::vector<unsigned char>& bytes,
                      ForeignUnits& foreign) {
    std::vector<char16_t> units;
    units.reserve(n);
    for (std::size_t i = 0; i < n;) {
        const char32_t c = DecodeUtf8Char(utf8, n, i);
        if (c == kBadUtf8 || (c >= 0xD800 && c < 0xE000)) {
            units.push_back(u'\uFFFD');
        } else if (c < 0x10000) {
            units.push_back(static_cast<char16_t>(c));
        } else {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    bytes.resize(units.size());
    foreign.clear();
    SplitUnicodeUnits(cp, units.data(), units.size(), bytes.data(), foreign);
}
