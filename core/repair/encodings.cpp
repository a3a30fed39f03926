#include "core/repair/encodings.h"

#include <algorithm>
#include <memory>

#include "core/codepage/tables.h"
#include "core/codepage/utf8.h"
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

// Marks of ordinary Russian text, which the model reads as a boundary; the
// typographic quotes and the no-break space are left out, as 1251 reads Mac
// capitals so.
const char16_t kBoundaryMarks[] = {0x00AB, 0x00BB, 0x2013, 0x2014, 0x2026, 0x2116};

void FillCodes(Tables& t) {
    for (int e = 0; e < kSingleByteCount; ++e) {
        if (e == kRepairUtf8) continue;
        for (int b = 0; b < 256; ++b) {
            char32_t c = b;
            if (e == kRepair1252) {
                if (b >= 0x80 && b < 0xA0) c = k1252Low[b - 0x80];
            } else {
                c = CodePageChar(e, static_cast<unsigned char>(b));
            }
            t.decode[e][b] = c;
            if (b >= 0x80 && c < 0x10000) t.encode[e][c] = static_cast<unsigned char>(b);
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

bool DecodeStrict(const unsigned char* p, std::size_t n, int e, const Tables& t, Text& out) {
    out.clear();
    if (e != kRepairUtf8) {
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = t.decode[e][p[i]];
        return true;
    }
    std::size_t i = n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF ? 3 : 0;
    while (i < n) {
        const char32_t c = DecodeUtf8Char(p, n, i);
        if (c == kBadUtf8) return false;
        out.push_back(c);
    }
    return true;
}

bool Undo(const Text& in, const RepairStep& s, const Tables& t, std::vector<unsigned char>& bytes, Text& out) {
    bytes.resize(in.size());
    const unsigned char* encode = t.encode[static_cast<int>(s.wrong)];
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char b = ByteOf(encode, in[i]);
        if (!b && in[i] != 0) return false;
        bytes[i] = b;
    }
    return DecodeStrict(bytes.data(), bytes.size(), s.original, t, out);
}

bool HasHigh(const Text& text) {
    return std::any_of(text.begin(), text.end(), [](char32_t c) { return c >= 0x80; });
}

} // namespace repair
