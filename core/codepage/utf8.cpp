#include "core/codepage/utf8.h"

#include "core/codepage/convert.h"
#include "core/codepage/display_map.h"
#include "core/codepage/tables.h"

namespace {

// Bytes 0x80..0xFF of ISO 8859-5 and Mac Cyrillic.
const char16_t kHighIso[128] = {
    0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087,  // 80
    0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F,  // 88
    0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097,  // 90
    0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F,  // 98
    0x00A0, 0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407,  // A0
    0x0408, 0x0409, 0x040A, 0x040B, 0x040C, 0x00AD, 0x040E, 0x040F,  // A8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // B0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // B8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // C0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // C8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // D0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x2116, 0x0451, 0x0452, 0x0453, 0x0454, 0x0455, 0x0456, 0x0457,  // F0
    0x0458, 0x0459, 0x045A, 0x045B, 0x045C, 0x00A7, 0x045E, 0x045F,  // F8
};
const char16_t kHighMac[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x2020, 0x00B0, 0x0490, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x0406,  // A0
    0x00AE, 0x00A9, 0x2122, 0x0402, 0x0452, 0x2260, 0x0403, 0x0453,  // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x0456, 0x00B5, 0x0491, 0x0408,  // B0
    0x0404, 0x0454, 0x0407, 0x0457, 0x0409, 0x0459, 0x040A, 0x045A,  // B8
    0x0458, 0x0405, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x040B, 0x045B, 0x040C, 0x045C, 0x0455,  // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x201E,  // D0
    0x040E, 0x045E, 0x040F, 0x045F, 0x2116, 0x0401, 0x0451, 0x044F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x00A4,  // F8
};

int Normalised(int cp) { return cp >= 0 && cp < kCodePageCount ? cp : 0; }

// Writes c as UTF-8 at out; returns the count of bytes.
std::size_t PutUtf8(unsigned char* out, char32_t c) {
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

constexpr char32_t kBad = kBadUtf8;

// The editor shows two bytes of 1251 as other characters than they stand
// for, so that each has a width on screen (see display_map.cpp); text in
// UTF-8 carries what they stand for, as iconv writes them.
struct ShownOtherwise {
    unsigned char byte;
    char16_t shown;
    char16_t meant;
    unsigned char substitute; // for the shown character, which 1251 lacks
};
constexpr ShownOtherwise kShownOtherwise1251[] = {{0x98, 0xFFFD, 0x0098, '?'}, {0xAD, 0x2011, 0x00AD, '-'}};

} // namespace

char32_t CodePageChar(int cp, unsigned char b) {
    if (b < 0x80) return b;
    switch (Normalised(cp)) {
    case kCodePageIso: return kHighIso[b - 0x80];
    case kCodePageMac: return kHighMac[b - 0x80];
    case kCodePageAnsi:
        for (const ShownOtherwise& s : kShownOtherwise1251)
            if (s.byte == b) return s.meant;
        return DisplayChar(kCodePageAnsi, b);
    default: return DisplayChar(Normalised(cp), b);
    }
}

unsigned char CodePageByte(int cp, char32_t c, bool* exact) {
    cp = Normalised(cp);
    if (exact) *exact = false;
    if (c < 0x80) {
        if (exact) *exact = true;
        return static_cast<unsigned char>(c);
    }
    if (c > 0xFFFF) return '?';
    const char16_t u = static_cast<char16_t>(c);
    if (cp == kCodePageAnsi) {
        for (const ShownOtherwise& s : kShownOtherwise1251) {
            if (u == s.meant) {
                if (exact) *exact = true;
                return s.byte;
            }
            if (u == s.shown) return s.substitute;
        }
    }
    if (cp < kDisplayCodePageCount) {
        if (exact) *exact = HasDisplayByte(cp, u);
        return DisplayByte(cp, u);
    }
    const char16_t* high = cp == kCodePageIso ? kHighIso : kHighMac;
    for (int b = 0; b < 128; ++b) {
        if (high[b] == u) {
            if (exact) *exact = true;
            return static_cast<unsigned char>(0x80 + b);
        }
    }
    unsigned char oem = DisplayByte(kCodePageOem, u);
    if (oem == '?') return '?';
    ConvertBytes(&oem, 1, kNoTable, FromOemTable[cp]);
    return oem;
}

std::size_t CodePageToUtf8(int cp, const unsigned char* text, std::size_t n, unsigned char* out) {
    // The UTF-8 of the 128 upper bytes, three bytes at most each.
    unsigned char high[128][3];
    unsigned char length[128];
    for (int b = 0; b < 128; ++b) {
        unsigned char bytes[4] = {};
        length[b] = static_cast<unsigned char>(PutUtf8(bytes, CodePageChar(cp, static_cast<unsigned char>(0x80 + b))));
        for (int k = 0; k < 3; ++k) high[b][k] = bytes[k];
    }
    std::size_t m = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = text[i];
        if (b < 0x80) {
            out[m++] = b;
            continue;
        }
        const unsigned char* u = high[b - 0x80];
        out[m] = u[0];
        out[m + 1] = u[1];
        out[m + 2] = u[2];
        m += length[b - 0x80];
    }
    return m;
}

std::vector<unsigned char> CodePageToUtf8(int cp, const unsigned char* text, std::size_t n) {
    std::vector<unsigned char> out(3 * n);
    out.resize(CodePageToUtf8(cp, text, n, out.data()));
    return out;
}

namespace {

// One character (or kBad) of UTF-8 input as the state's target writes it.
std::size_t PutConverted(Utf8State& state, char32_t c, unsigned char* out) {
    if (c == kBad) {
        ++state.substitutes;
        *out = '?';
        return 1;
    }
    if (state.target == kUtf8Target) return PutUtf8(out, c);
    bool exact = false;
    *out = CodePageByte(state.target, c, &exact);
    if (!exact) ++state.substitutes;
    return 1;
}

} // namespace

std::size_t ConvertUtf8(Utf8State& state, const unsigned char* text, std::size_t n, bool end, unsigned char* out) {
    std::size_t m = 0;
    std::size_t i = 0;
    if (!state.started) {
        // A byte order mark is dropped when the text is written in a code page.
        while (state.heldCount < 3 && i < n) state.held[state.heldCount++] = text[i++];
        if (state.heldCount < 3 && !end) return 0;
        state.started = true;
        if (state.target != kUtf8Target && state.heldCount == 3 && state.held[0] == 0xEF && state.held[1] == 0xBB &&
            state.held[2] == 0xBF)
            state.heldCount = 0;
    }
    // The characters that start in the held bytes, taking bytes from the
    // piece while a sequence is cut.
    while (state.heldCount > 0) {
        std::size_t used = 0;
        bool cut = false;
        const char32_t c = DecodeUtf8Char(state.held, static_cast<std::size_t>(state.heldCount), used, &cut);
        if (cut && i < n) {
            state.held[state.heldCount++] = text[i++];
            continue;
        }
        if (cut && !end) return m;
        m += PutConverted(state, c, out + m);
        state.heldCount -= static_cast<int>(used);
        for (int h = 0; h < state.heldCount; ++h) state.held[h] = state.held[h + used];
    }
    while (i < n) {
        if (text[i] < 0x80) {
            out[m++] = text[i++];
            continue;
        }
        const std::size_t start = i;
        bool cut = false;
        const char32_t c = DecodeUtf8Char(text, n, i, &cut);
        if (cut && !end) {
            // At most three bytes: the rest of a sequence the piece cut.
            for (i = start; i < n; ++i) state.held[state.heldCount++] = text[i];
            break;
        }
        m += PutConverted(state, c, out + m);
    }
    return m;
}

Utf8Conversion Utf8ToCodePage(int cp, const unsigned char* text, std::size_t n) {
    Utf8State state;
    state.target = Normalised(cp);
    Utf8Conversion r;
    r.bytes.resize(n + 4);
    r.bytes.resize(ConvertUtf8(state, text, n, true, r.bytes.data()));
    r.substitutes = state.substitutes;
    return r;
}

Utf8Conversion CleanUtf8(const unsigned char* text, std::size_t n) {
    Utf8State state;
    Utf8Conversion r;
    r.bytes.resize(n + 4);
    r.bytes.resize(ConvertUtf8(state, text, n, true, r.bytes.data()));
    r.substitutes = state.substitutes;
    return r;
}

bool LooksLikeUtf8(const unsigned char* text, std::size_t n, bool mayBeCut) {
    bool above = false;
    for (std::size_t i = 0; i < n;) {
        bool cut = false;
        const char32_t c = DecodeUtf8Char(text, n, i, &cut);
        if (c == kBad) return cut && mayBeCut && above;
        if (c >= 0x80) above = true;
    }
    return above;
}

void AppendUtf8(std::vector<unsigned char>& out, char32_t c) {
    unsigned char bytes[4];
    out.insert(out.end(), bytes, bytes + PutUtf8(bytes, c));
}
