#include "core/charset/display_map.h"

#include "core/charset/tables.h"

#include <array>

namespace {

int Normalised(int cp) { return cp >= 0 && cp < kDisplayCodePageCount ? cp : 0; }

char16_t LowerCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
    if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);
    if (c == 0x0490) return 0x0491;
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return static_cast<char16_t>(c + 0x20);
    return c;
}

bool IsWordChar(char16_t c) {
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_')
        return true;
    if (c >= 0x00C0 && c <= 0x024F) return c != 0x00D7 && c != 0x00F7;
    return c >= 0x0400 && c <= 0x04FF;
}

// The display code pages as rows of the one table of bytes (char_map.h).
int RowOf(int cp) { return cp == kCodePageAnsi ? kShownAnsiRow : cp; }

// Per display code page and byte: the character it shows, its case fold
// and whether it is a word letter. Built once, from the table of bytes.
struct Maps {
    std::array<std::array<char16_t, 256>, kDisplayCodePageCount> shown;
    std::array<std::array<unsigned char, 256>, kDisplayCodePageCount> fold;
    std::array<std::array<bool, 256>, kDisplayCodePageCount> word;
};

const Maps& GetMaps() {
    static const Maps* maps = [] {
        static Maps m{};
        const CodePageByteTable& t = CodePageBytes();
        for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
            const int row = RowOf(cp);
            for (int b = 0; b < 256; ++b) {
                const char16_t c = DisplayChar(cp, static_cast<unsigned char>(b));
                const char16_t lower = LowerCase(c);
                m.shown[cp][b] = c;
                m.fold[cp][b] = t.own[lower] >> row & 1u ? t.byte[row][lower] : static_cast<unsigned char>(b);
                m.word[cp][b] = IsWordChar(c);
            }
        }
        return &m;
    }();
    return *maps;
}

} // namespace

bool HasDisplayByte(int cp, char16_t c) { return (CodePageBytes().own[c] >> RowOf(Normalised(cp)) & 1u) != 0; }

unsigned char DisplayByte(int cp, char16_t c) { return CodePageBytes().byte[RowOf(Normalised(cp))][c]; }

void DecodeDisplayBytes(int cp, const unsigned char* bytes, std::size_t n, char16_t* out) {
    const char16_t* shown = GetMaps().shown[Normalised(cp)].data();
    for (std::size_t i = 0; i < n; ++i) out[i] = shown[bytes[i]];
}

void EncodeDisplayChars(int cp, const char16_t* chars, std::size_t n, unsigned char* out) {
    const unsigned char* byteOf = CodePageBytes().byte[RowOf(Normalised(cp))];
    for (std::size_t i = 0; i < n; ++i) out[i] = byteOf[chars[i]];
}

unsigned char FoldDisplayCase(int cp, unsigned char b) { return GetMaps().fold[Normalised(cp)][b]; }

bool IsDisplayWordByte(int cp, unsigned char b) { return GetMaps().word[Normalised(cp)][b]; }
