#include "core/unicode/utf8.h"

#include <cstring>

#include "core/charset/char_map.h"
#include "core/charset/tables.h"
#include "core/unicode/byte_order_mark.h"

namespace {

int Normalised(int cp) { return cp >= 0 && cp < kCodePageCount ? cp : 0; }

constexpr char32_t kBad = kBadUtf8;

} // namespace

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

std::size_t CodePageToUtf8(int cp, const unsigned char* text, std::size_t n, unsigned char* out) {
    // The UTF-8 of the 128 upper bytes: three bytes at most each (every
    // character of a code page is in the BMP), their count in the fourth.
    unsigned char high[128][4] = {};
    for (int b = 0; b < 128; ++b)
        high[b][3] = static_cast<unsigned char>(PutUtf8(high[b], CodePageChar(cp, static_cast<unsigned char>(0x80 + b))));
    // Each sequence is stored as four bytes and the next one written over
    // the rest; the last byte of the text goes alone, so nothing is stored
    // past 3 n.
    unsigned char* o = out;
    const std::size_t bulk = n > 0 ? n - 1 : 0;
    std::size_t i = 0;
    for (; i < bulk; ++i) {
        const unsigned char b = text[i];
        if (b < 0x80) {
            *o++ = b;
            continue;
        }
        const unsigned char* u = high[b - 0x80];
        std::memcpy(o, u, 4);
        o += u[3];
    }
    if (i < n) {
        const unsigned char b = text[i];
        if (b < 0x80) {
            *o++ = b;
        } else {
            std::memcpy(o, high[b - 0x80], high[b - 0x80][3]);
            o += high[b - 0x80][3];
        }
    }
    return static_cast<std::size_t>(o - out);
}

std::vector<unsigned char> CodePageToUtf8(int cp, const unsigned char* text, std::size_t n) {
    std::vector<unsigned char> out(3 * n);
    out.resize(CodePageToUtf8(cp, text, n, out.data()));
    return out;
}

std::size_t ConvertUtf8(Utf8State& state, const unsigned char* text, std::size_t n, bool end, unsigned char* out) {
    std::size_t i = 0;
    if (!state.started) {
        // A byte order mark is dropped when the text is written in a code
        // page; bytes that only begin like one are the text's first.
        Utf8Cut& head = state.cut;
        while (head.count < 3 && i < n) head.bytes[head.count++] = text[i++];
        if (head.count < 3 && !end) return 0;
        state.started = true;
        if (state.target != kEncodingUtf8 && FindByteOrderMark(head.bytes, head.count) == ByteOrderMark::Utf8)
            head.count = 0;
    }
    std::size_t m = 0;
    if (state.target == kEncodingUtf8) {
        DecodeUtf8Block(state.cut, text + i, n - i, end, [&](char32_t c) {
            if (c != kBad) {
                m += PutUtf8(out + m, c);
                return;
            }
            ++state.substitutes;
            out[m++] = '?';
        });
        return m;
    }
    // Each character as its byte, or its substitute (counted).
    const CodePageByteTable& t = CodePageBytes();
    const int cp = Normalised(state.target);
    const unsigned char* byte = t.byte[cp];
    const unsigned bit = 1u << cp;
    DecodeUtf8Block(state.cut, text + i, n - i, end, [&](char32_t c) {
        if (c < 0x80) {
            out[m++] = static_cast<unsigned char>(c);
            return;
        }
        const bool bmp = c < kUnitCount;
        if (!bmp || (t.own[c] & bit) == 0) ++state.substitutes;
        out[m++] = bmp ? byte[c] : '?';
    });
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

char32_t DecodeUtf8CharSlowly(const unsigned char* text, std::size_t n, std::size_t& i, bool* cut) {
    const unsigned char b = text[i];
    int length;
    char32_t c;
    char32_t lowest;
    if (b >= 0xC2 && b <= 0xDF) length = 2, c = b & 0x1F, lowest = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, c = b & 0x0F, lowest = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, c = b & 0x07, lowest = 0x10000;
    else {
        ++i;
        return kBadUtf8;
    }
    for (int k = 1; k < length; ++k) {
        if (i + k >= n) {
            if (cut) *cut = true;
            ++i;
            return kBadUtf8;
        }
        const unsigned char t = text[i + k];
        if ((t & 0xC0) != 0x80) {
            ++i;
            return kBadUtf8;
        }
        c = (c << 6) | (t & 0x3F);
        // Overlong forms, surrogates and values above U+10FFFF are known by
        // the second byte already; refusing them there keeps the rule "each
        // bad byte by itself" simple.
        if (k == 1) {
            const char32_t top = c << (6 * (length - 2));
            if (top < lowest || (top >= 0xD800 && top <= 0xDFFF) || top > 0x10FFFF) {
                ++i;
                return kBadUtf8;
            }
        }
    }
    i += static_cast<std::size_t>(length);
    return c;
}
