#include "core/unicode/utf16.h"

namespace {

bool IsLead(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsTrail(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

std::size_t Utf16ToUtf8(Utf16Decoding& d, const unsigned char* text, std::size_t n, bool end, unsigned char* out) {
    unsigned char* o = out;
    // One unit: held when it leads a pair, joined with the one held before
    // it when it ends one; every surrogate left alone is a '?'.
    const auto unit = [&](unsigned u) {
        if (d.lead && IsTrail(u)) {
            o += PutUtf8(o, 0x10000 + ((static_cast<char32_t>(d.lead) - 0xD800) << 10 | (u - 0xDC00)));
            d.lead = 0;
            return;
        }
        if (d.lead) {
            *o++ = '?';
            ++d.substitutes;
            d.lead = 0;
        }
        if (IsLead(u)) {
            d.lead = static_cast<char16_t>(u);
        } else if (IsTrail(u)) {
            *o++ = '?';
            ++d.substitutes;
        } else {
            o += PutUtf8(o, u);
        }
    };
    const auto value = [&](unsigned char first, unsigned char second) -> unsigned {
        return d.bigEndian ? first << 8 | second : second << 8 | first;
    };
    std::size_t i = 0;
    if (d.haveByte && n > 0) {
        unit(value(d.byte, text[0]));
        d.haveByte = false;
        i = 1;
    }
    for (; i + 1 < n; i += 2) {
        const unsigned u = value(text[i], text[i + 1]);
        if (u < 0x80 && !d.lead) {
            *o++ = static_cast<unsigned char>(u); // ASCII, the common case
            continue;
        }
        unit(u);
    }
    if (i < n) {
        d.haveByte = true;
        d.byte = text[i];
    }
    if (end) {
        if (d.lead) {
            *o++ = '?';
            ++d.substitutes;
            d.lead = 0;
        }
        if (d.haveByte) {
            *o++ = '?';
            ++d.substitutes;
            d.haveByte = false;
        }
    }
    return static_cast<std::size_t>(o - out);
}

std::size_t Utf8ToUtf16(Utf16Encoding& e, const unsigned char* text, std::size_t n, bool end, unsigned char* out) {
    unsigned char* o = out;
    DecodeUtf8Block(e.cut, text, n, end, [&](char32_t c) {
        if (c == kBadUtf8) {
            c = '?';
            ++e.substitutes;
        }
        if (c >= 0x10000) {
            PutUtf16Unit(o, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), e.bigEndian);
            PutUtf16Unit(o, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), e.bigEndian);
        } else {
            PutUtf16Unit(o, static_cast<char16_t>(c), e.bigEndian);
        }
    });
    return static_cast<std::size_t>(o - out);
}
