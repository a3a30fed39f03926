#include "core/charset/display_map.h"

#include "core/charset/convert.h"
#include "core/charset/tables.h"

#include <array>
#include <cstdint>

namespace {

// Bytes 0x80..0xFF of each display code page. Every byte shows as a visible
// character of its own width: the one unassigned byte of 1251 (0x98) as the
// replacement character U+FFFD (its own C1 code point would show as
// nothing), and the soft hyphen of 1251 (0xAD), which the control would take
// for an invisible break opportunity (and then hide the blanks before it),
// as the non-breaking hyphen U+2011.
const char16_t kHigh1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x2011, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};
const char16_t kHigh866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};
const char16_t kHighKoi8[128] = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,  // 80
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,  // 88
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,  // 90
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,  // 98
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,  // A0
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,  // A8
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,  // B0
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,  // B8
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  // C0
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  // C8
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  // D0
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,  // D8
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,  // E0
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,  // E8
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,  // F0
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,  // F8
};

const char16_t* HighHalf(int cp) {
    switch (cp) {
    case 1: return kHigh866;
    case 2: return kHighKoi8;
    default: return kHigh1251;
    }
}

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

// Per display code page: the byte of every UTF-16 unit (its own byte, or an
// approximation, or '?'), the case fold and the word letters. Built once.
struct Maps {
    std::array<std::array<unsigned char, 65536>, kDisplayCodePageCount> byteOf;
    std::array<std::array<bool, 65536>, kDisplayCodePageCount> has;
    std::array<std::array<unsigned char, 256>, kDisplayCodePageCount> fold;
    std::array<std::array<bool, 256>, kDisplayCodePageCount> word;
};

// A character that no byte of a display code page shows, but a byte of
// another one does, takes what the code-page tables make of that byte
// (through CP866): box drawing shown as 1251 becomes "-", "¦", "+" and so on.
void FillApproximations(Maps& m) {
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
        for (int other = 0; other < kDisplayCodePageCount; ++other) {
            if (other == cp) continue;
            for (int b = 0x80; b < 0x100; ++b) {
                char16_t c = DisplayChar(other, static_cast<unsigned char>(b));
                if (m.has[cp][c] || m.byteOf[cp][c] != '?') continue;
                unsigned char converted = static_cast<unsigned char>(b);
                ConvertBytes(&converted, 1, ToOemTable[other], FromOemTable[cp]);
                m.byteOf[cp][c] = converted;
            }
        }
    }
}

const Maps& GetMaps() {
    static const Maps* maps = [] {
        static Maps m{};
        for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
            m.byteOf[cp].fill('?');
            for (int b = 0; b < 256; ++b) {
                char16_t c = DisplayChar(cp, static_cast<unsigned char>(b));
                m.byteOf[cp][c] = static_cast<unsigned char>(b);
                m.has[cp][c] = true;
            }
        }
        FillApproximations(m);
        for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
            for (int b = 0; b < 256; ++b) {
                char16_t c = DisplayChar(cp, static_cast<unsigned char>(b));
                char16_t lower = LowerCase(c);
                m.fold[cp][b] = m.has[cp][lower] ? m.byteOf[cp][lower] : static_cast<unsigned char>(b);
                m.word[cp][b] = IsWordChar(c);
            }
        }
        return &m;
    }();
    return *maps;
}

} // namespace

char16_t DisplayChar(int cp, unsigned char b) {
    if (b < 0x80) return b;
    return HighHalf(Normalised(cp))[b - 0x80];
}

bool HasDisplayByte(int cp, char16_t c) { return GetMaps().has[Normalised(cp)][c]; }

unsigned char DisplayByte(int cp, char16_t c) { return GetMaps().byteOf[Normalised(cp)][c]; }

void DecodeDisplayBytes(int cp, const unsigned char* bytes, std::size_t n, char16_t* out) {
    const char16_t* high = HighHalf(Normalised(cp));
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char b = bytes[i];
        out[i] = b < 0x80 ? b : high[b - 0x80];
    }
}

void EncodeDisplayChars(int cp, const char16_t* chars, std::size_t n, unsigned char* out) {
    const auto& byteOf = GetMaps().byteOf[Normalised(cp)];
    for (std::size_t i = 0; i < n; ++i) out[i] = byteOf[chars[i]];
}

unsigned char FoldDisplayCase(int cp, unsigned char b) { return GetMaps().fold[Normalised(cp)][b]; }

bool IsDisplayWordByte(int cp, unsigned char b) { return GetMaps().word[Normalised(cp)][b]; }
