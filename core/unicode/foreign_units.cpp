#include "core/unicode/foreign_units.h"

#include "core/charset/char_map.h"
#include "core/charset/tables.h"

namespace {

bool IsSurrogate(char16_t u) { return (u & 0xF800) == 0xD800; }

int DisplayCodePage(int cp) { return cp >= 0 && cp < kDisplayCodePageCount ? cp : kCodePageAnsi; }

// A unit the code page's own row holds is one of its characters; it is
// written as its byte there.
unsigned char OwnByte(int cp, char16_t u) { return CodePageBytes().byte[cp][u]; }

// The unit a stand-in or a byte of the text stands for: a stand-in takes the
// cursor's next unit while there is one, and is its own character after.
char16_t UnitOfByte(int cp, unsigned char b, const char16_t* units, std::size_t count, std::size_t& next) {
    if (!IsForeignByte(b)) return static_cast<char16_t>(CodePageChar(cp, b));
    return next < count ? units[next++] : b;
}

} // namespace

unsigned char ForeignByteOf(char16_t u) {
    // The ranges of units that take no column of their own: they join the
    // character before them (or, for a low surrogate, complete it).
    static constexpr struct { char16_t first, last; } kNoColumn[] = {
        {0x0300, 0x036F}, {0x0483, 0x0489}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200D},
        {0x2060, 0x2060}, {0x20D0, 0x20FF}, {0xDC00, 0xDFFF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
    };
    if (u < kNoColumn[0].first) return kForeignByte;
    for (const auto& range : kNoColumn)
        if (u >= range.first && u <= range.last) return kForeignMarkByte;
    return kForeignByte;
}

bool IsForeignUnit(int cp, char16_t u) {
    // Bit `cp` of own[] is set for the characters of the code page's own
    // row; no surrogate is the character of any byte, but say so anyway.
    const unsigned own = CodePageBytes().own[u];
    return (own >> DisplayCodePage(cp) & 1u) == 0 || u == kForeignByte || u == kForeignMarkByte || IsSurrogate(u);
}

void SplitUnicodeUnits(int cp, const char16_t* units, std::size_t n, unsigned char* bytes, ForeignUnits& foreign) {
    cp = DisplayCodePage(cp);
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (IsForeignUnit(cp, u)) {
            bytes[i] = ForeignByteOf(u);
            foreign.push_back(u);
        } else {
            bytes[i] = OwnByte(cp, u);
        }
    }
}

void JoinUnicodeUnits(int cp, const unsigned char* bytes, std::size_t n, ForeignCursor& foreign, char16_t* units) {
    for (std::size_t i = 0; i < n; ++i) units[i] = UnitOfByte(cp, bytes[i], foreign.units, foreign.count, foreign.next);
}

std::size_t CountForeignChars(const char16_t* units, std::size_t n) {
    std::size_t count = n;
    for (std::size_t i = 1; i < n; ++i)
        if ((units[i] & 0xFC00) == 0xDC00 && (units[i - 1] & 0xFC00) == 0xD800) --count;
    return count;
}

void RecodeWithForeign(int from, const unsigned char* text, std::size_t n, const ForeignUnits& foreign, int to,
                       std::vector<unsigned char>& bytes, ForeignUnits& units) {
    to = DisplayCodePage(to);
    bytes.resize(n);
    units.clear();
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // A stand-in with no unit left stays as it is, with none.
        if (IsForeignByte(text[i]) && next == foreign.size()) {
            bytes[i] = text[i];
            continue;
        }
        const char16_t u = UnitOfByte(from, text[i], foreign.data(), foreign.size(), next);
        if (IsForeignUnit(to, u)) {
            bytes[i] = ForeignByteOf(u);
            units.push_back(u);
        } else {
            bytes[i] = OwnByte(to, u);
        }
    }
}

bool DeletedTogether(const unsigned char* two, const ForeignUnits& foreign) {
    if (two[0] == '\r' && two[1] == '\n') return true;
    return IsForeignByte(two[0]) && IsForeignByte(two[1]) && foreign.size() == 2 && (foreign[0] & 0xFC00) == 0xD800 &&
           (foreign[1] & 0xFC00) == 0xDC00;
}
