#include "core/repair/encodings.h"

#include <algorithm>
#include <memory>

#include "core/charset/char_map.h"
#include "core/charset/tables.h"
#include "core/unicode/byte_order_mark.h"
#include "core/unicode/utf8.h"
#include "core/repair/model.h"

namespace repair {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined read as
// the control characters of the same value, as browsers read them.
const char16_t k1252Low[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Mac Cyrillic as macOS has it today: the code page, with the euro sign
// for its last byte.
constexpr unsigned char kMacEuroByte = 0xFF;
constexpr char16_t kEuro = 0x20AC;
// Mac Roman, from 0x80 up.
const char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4,
    0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF,
    0x00F1, 0x00F3, 0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020,
    0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4,
    0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202,
    0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1,
    0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3,
    0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A,
    0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC,
    0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, 0x00AF,
    0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};
// DOS 437 from 0x80 to 0xAF and from 0xE0 up; between them it draws boxes
// as CP866 does.
const char16_t k437Low[48] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
};
const char16_t k437High[32] = {
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};
constexpr unsigned char k437BoxFirst = 0xB0, k437BoxEnd = 0xE0;

// Marks of ordinary Russian text, which the model reads as a boundary; the
// typographic quotes and the no-break space are left out, as 1251 reads Mac
// capitals so.
const char16_t kBoundaryMarks[] = {0x00AB, 0x00BB, 0x2013, 0x2014, 0x2026, 0x2116};

char32_t WesternChar(int e, unsigned char b) {
    if (b < 0x80) return b;
    switch (e) {
    case kRepair1252: return b < 0xA0 ? k1252Low[b - 0x80] : b;
    case kRepairMacEuro: return b == kMacEuroByte ? kEuro : CodePageChar(kCodePageMac, b);
    case kRepairMacRoman: return kMacRomanHigh[b - 0x80];
    case kRepair437:
        if (b < k437BoxFirst) return k437Low[b - 0x80];
        return b < k437BoxEnd ? CodePageChar(kCodePageOem, b) : k437High[b - k437BoxEnd];
    default: return b; // Latin-1
    }
}

void FillCodes(Tables& t) {
    for (int e = 0; e < kSingleByteCount; ++e) {
        if (e == kEncodingUtf8) continue;
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            const char32_t c = e < kCodePageCount ? CodePageChar(e, byte) : WesternChar(e, byte);
            t.decode[e][b] = c;
            if (e >= kRepair1252 && b >= 0x80 && c < 0x10000) t.encode[e - kRepair1252][c] = byte;
        }
    }
}

void FillClasses(Tables& t) {
    constexpr char16_t kSmallA = 0x0430, kSmallYa = 0x044F, kCapitalA = 0x0410, kCapitalYa = 0x042F;
    constexpr char16_t kSmallYo = 0x0451, kCapitalYo = 0x0401;
    for (int c = 0; c < 65536; ++c) {
        unsigned char k = kClassOther;
        if (c >= kSmallA && c <= kSmallYa) k = static_cast<unsigned char>(c - kSmallA + kClassFirstRussian), t.kase[c] = kSmall;
        else if (c >= kCapitalA && c <= kCapitalYa) k = static_cast<unsigned char>(c - kCapitalA + kClassFirstRussian), t.kase[c] = kCapital;
        else if (c == kSmallYo) k = kClassYo, t.kase[c] = kSmall;
        else if (c == kCapitalYo) k = kClassYo, t.kase[c] = kCapital;
        else if (c >= 'a' && c <= 'z') k = kClassLatin, t.kase[c] = kSmall;
        else if (c >= 'A' && c <= 'Z') k = kClassLatin, t.kase[c] = kCapital;
        else if (c < 0x80 && c != 0x7F && (c >= 0x20 || c == '\t' || c == '\n' || c == '\r')) k = kClassBoundary;
        t.cls[c] = k;
    }
    for (char16_t c : kBoundaryMarks) t.cls[c] = kClassBoundary;
}

} // namespace

const Tables& GetTables() {
    static const std::unique_ptr<Tables> tables = [] {
        auto t = std::make_unique<Tables>();
        FillCodes(*t);
        FillClasses(*t);
        return t;
    }();
    return *tables;
}

ByteRow ByteRowOf(const Tables& t, int e) {
    if (e >= kRepair1252 && e < kRepairEncodingCount) {
        const unsigned char* row = t.encode[e - kRepair1252];
        return {row, row, 0xFF};
    }
    const CodePageByteTable& bytes = CodePageBytes();
    const int cp = e >= 0 && e < kCodePageCount ? e : kCodePageAnsi;
    return {bytes.byte[cp], bytes.own, static_cast<unsigned char>(1u << cp)};
}

void EncodeChars(const char32_t* chars, std::size_t n, int target, std::vector<unsigned char>& out,
                 std::size_t& substitutes) {
    if (target == kEncodingUtf8) {
        std::size_t at = out.size();
        out.resize(at + 4 * n);
        unsigned char* put = out.data();
        for (std::size_t i = 0; i < n; ++i) {
            const char32_t c = chars[i];
            if (c < 0x80) {
                put[at++] = static_cast<unsigned char>(c);
            } else if (c < 0x800) { // Cyrillic and Latin-1 inline
                put[at++] = static_cast<unsigned char>(0xC0 | (c >> 6));
                put[at++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            } else {
                at += PutUtf8(put + at, c);
            }
        }
        out.resize(at);
        return;
    }
    const CodePageByteTable& t = CodePageBytes();
    const unsigned char* byte = t.byte[target];
    const unsigned bit = 1u << target;
    const std::size_t base = out.size();
    out.resize(base + n);
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = chars[i];
        if (c < 0x80) {
            out[base + i] = static_cast<unsigned char>(c);
        } else if (c < kUnitCount && (t.own[c] & bit) != 0) {
            out[base + i] = byte[c];
        } else {
            out[base + i] = c < kUnitCount ? byte[c] : '?';
            ++substitutes;
        }
    }
}

bool DecodeStrict(const unsigned char* p, std::size_t n, int e, const Tables& t, Text& out) {
    out.clear();
    if (e != kEncodingUtf8) {
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = t.decode[e][p[i]];
        return true;
    }
    std::size_t i = 0;
    if (FindByteOrderMark(p, n, &i) != ByteOrderMark::Utf8) i = 0;
    while (i < n) {
        const char32_t c = DecodeUtf8Char(p, n, i);
        if (c == kBadUtf8) return false;
        out.push_back(c);
    }
    return true;
}

bool Undo(const Text& in, const RepairStep& s, const Tables& t, std::vector<unsigned char>& bytes, Text& out) {
    bytes.resize(in.size());
    const ByteRow encode = ByteRowOf(t, s.wrong);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char b = ByteOf(encode, in[i]);
        if (!b && in[i] != 0) return false;
        bytes[i] = b;
    }
    if (RestoresUnassigned(s)) RestoreUnassigned(bytes.data(), bytes.size(), 0);
    return DecodeStrict(bytes.data(), bytes.size(), s.original, t, out);
}

bool RestoresUnassigned(const RepairStep& s) { return s.wrong == kCodePageAnsi && s.original == kEncodingUtf8; }

void RestoreUnassigned(unsigned char* p, std::size_t n, unsigned char before) {
    constexpr unsigned char kUnassigned = 0x98, kLead = 0xD0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] == '?' && (i > 0 ? p[i - 1] : before) == kLead) p[i] = kUnassigned;
    }
}

bool HasHigh(const Text& text) {
    return std::any_of(text.begin(), text.end(), [](char32_t c) { return c >= 0x80; });
}

} // namespace repair
