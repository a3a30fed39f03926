#include "core/repair/seven_bit.h"

#include "core/charset/tables.h"
#include "core/repair/score.h"

namespace repair {

namespace {

// At least so many letters, and from so many on a line of mostly small
// Latin letters (Russian capitals).
constexpr long kSevenBitLetters = 5;
constexpr long kSevenBitCapitalLetters = 8;
// How much better than Latin the restored text must read: per letter
// restored and in all.
constexpr long kSevenBitLetterCost = 2;
constexpr long kSevenBitMargin = 30;
// At most one change of case inside a word, or digit touching a letter,
// for so many letters.
constexpr long kSevenBitOddities = 10;
// And it must read as Russian text does, not merely better than its Latin
// letters read: random letters read badly both ways.
constexpr long kSevenBitMaxLetterCost = 26;

constexpr unsigned char kEighthBit = 0x80;
constexpr char32_t kSmallYo = 0x0451;

bool IsSevenBitLetter(unsigned char b) { return b >= 0x40 && b < 0x7F; }
bool IsAsciiLetter(unsigned char b) { return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'); }
bool IsDigit(unsigned char b) { return b >= '0' && b <= '9'; }

char32_t SevenBitChar(unsigned char b, const Tables& t) {
    return IsSevenBitLetter(b) ? t.decode[kCodePageKoi8][b | kEighthBit] : static_cast<char32_t>(b);
}

// What the bytes hold: letters, capitals, bytes the eighth bit restores,
// and the oddities of codes: the case changing inside a word after its
// second letter, and digits touching letters. Russian words keep one case
// there (a capital first reads as a small Latin letter before capitals)
// and hold no digits; base64 and other codes do.
struct Counts {
    long letters = 0, capitals = 0, restored = 0, oddities = 0;
};

Counts CountOf(const unsigned char* p, std::size_t n) {
    Counts k;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        k.letters += IsAsciiLetter(b);
        k.capitals += b >= 'A' && b <= 'Z';
        k.restored += IsSevenBitLetter(b);
        if (i >= 2 && IsAsciiLetter(b) && IsAsciiLetter(p[i - 1]) && IsAsciiLetter(p[i - 2]) &&
            (b < 'a') != (p[i - 1] < 'a'))
            ++k.oddities;
        if (i >= 1 && ((IsAsciiLetter(b) && IsDigit(p[i - 1])) || (IsDigit(b) && IsAsciiLetter(p[i - 1]))))
            ++k.oddities;
    }
    return k;
}

} // namespace

void SevenBitText(const unsigned char* p, std::size_t n, unsigned char before, bool letterAfter, const Tables& t,
                  Text& out) {
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b == '#' && IsSevenBitLetter(i > 0 ? p[i - 1] : before) &&
            (i + 1 < n ? IsSevenBitLetter(p[i + 1]) : letterAfter))
            out[i] = kSmallYo;
        else
            out[i] = SevenBitChar(b, t);
    }
}

bool ReadsAsSevenBit(const unsigned char* p, std::size_t n, const Tables& t, Text& text, long& cost) {
    const Counts k = CountOf(p, n);
    if (k.letters < kSevenBitLetters || k.oddities * kSevenBitOddities > k.letters) return false;
    SevenBitText(p, n, 0, false, t, text);
    const long russian = -Score(text, t);
    const long latin = LatinCost(p, n);
    // Mostly small Latin letters are Russian capitals: a short line of them
    // is as likely a fragment of markup.
    const bool russianCapitals = k.capitals * 10 < k.letters * 7;
    cost = russian;
    return russian + kSevenBitLetterCost * k.restored + kSevenBitMargin < latin &&
           russian <= kSevenBitMaxLetterCost * k.restored &&
           (!russianCapitals || k.restored >= kSevenBitCapitalLetters);
}

} // namespace repair
