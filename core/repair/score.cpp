#include "core/repair/score.h"

#include <algorithm>
#include <memory>

#include "core/repair/model.h"

namespace repair {

namespace {

// A mark glued to a letter on a side it never touches one in ordinary
// text, as 1251 capitals and я read as Mac Cyrillic show ("—равнение",
// "…сли", "нова€").
constexpr long kGlueCost = 80;
// A character of none of the model's classes.
constexpr long kOtherCost = 72;
// And once more for each Russian letter it touches; a Russian letter
// touching a Latin one in a word, as garbled quotes around a word show.
constexpr long kOtherGlueCost = 32;
constexpr long kMixCost = 20;
// A quotation mark with no partner in the text: 1251's З, И, Т, У and Ч
// read as Mac Cyrillic are « » “ ” „, and я read as 1251 and back is ».
constexpr long kUnpairedCost = 40;
// A Serbian or Macedonian letter standing alone as a word, as 1251's Н
// read as Mac Cyrillic does (Ќ): no word of those languages is one of them.
constexpr long kLoneLetterCost = 48;

// What mark `c` costs when a letter follows it, and when it follows a letter.
void Glue(char32_t c, long& before, long& after) {
    switch (c) {
    case 0x00AB: case 0x20AC: case 0x00A4: after = kGlueCost; break; // « € ¤
    case 0x00BB: case 0x2026: before = kGlueCost; break;          // » …
    case 0x2013: case 0x2014: before = kGlueCost, after = kGlueCost / 2; break; // – —
    case 0x2116: before = after = kGlueCost; break;               // №
    default: break;
    }
}

// The quotation marks still open: « », „ closed by “ or ”, “ by ”.
struct Quotes {
    long guillemets = 0, low = 0, high = 0;
};

void Pair(char32_t c, Quotes& q, long& cost) {
    auto close = [&cost](long& open) { open > 0 ? --open : cost += kUnpairedCost; };
    switch (c) {
    case 0x00AB: ++q.guillemets; break;
    case 0x00BB: close(q.guillemets); break;
    case 0x201E: ++q.low; break;
    case 0x201C: q.low > 0 ? --q.low : ++q.high; break;
    case 0x201D: q.high > 0 ? close(q.high) : close(q.low); break;
    default: break;
    }
}

// The costs of each class after the first three letters of a common word,
// or null: a table of every three Russian classes, built once, in place of
// a search of the keys for each word.
const char* PrefixCosts(int a, int b, int c) {
    constexpr int kBase = kRepairPrefixBase;
    static const std::unique_ptr<short[]> at = [] {
        auto table = std::make_unique<short[]>(kBase * kBase * kBase);
        std::fill(table.get(), table.get() + kBase * kBase * kBase, static_cast<short>(-1));
        for (int i = 0; i < kRepairPrefixCount; ++i) table[kRepairPrefixKeys[i]] = static_cast<short>(i);
        return table;
    }();
    const short i = at[(a * kBase + b) * kBase + c];
    return i < 0 ? nullptr : kRepairPrefixCosts + i * kRepairClasses;
}

// The cost of class k after classes y, z, a, b: by the first letters of a
// common word when it goes on with a letter (a short word may be cut from
// a long one, as abbreviations are), by the first letters of any word, or
// by the last two.
inline long ClassCost(int y, int z, int a, int b, int k) {
    if (y == kClassBoundary && IsRussianClass(z) && IsRussianClass(a) && IsRussianClass(b) && IsRussianClass(k))
        if (const char* prefix = PrefixCosts(z, a, b)) return prefix[k] - kRepairCostBias;
    const char* model = z == kClassBoundary ? kRepairWordStarts : kRepairTrigrams;
    return model[(a * kRepairClasses + b) * kRepairClasses + k] - kRepairCostBias;
}

// A letter of Ukrainian or Belarusian, which stands among Russian letters
// in their words.
bool IsNeighbourLetter(char32_t c) {
    switch (c) {
    case 0x0406: case 0x0456: case 0x0407: case 0x0457: case 0x0404: case 0x0454: // І і Ї ї Є є
    case 0x0490: case 0x0491: case 0x040E: case 0x045E:                           // Ґ ґ Ў ў
        return true;
    default:
        return false;
    }
}

// A letter of Serbian or Macedonian that Russian lacks.
bool IsSouthSlavLetter(char32_t c) {
    return c >= 0x0400 && c < 0x0460 && c != 0x0401 && c != 0x0451 && (c < 0x0410 || c >= 0x0450) &&
           !IsNeighbourLetter(c);
}

// Score of any text.
long ScoreAnyText(const char32_t* text, std::size_t n, const Tables& t) {
    long cost = 0;
    int y = 0, z = 0, a = 0, b = 0; // the last four classes
    bool afterSmall = false, afterLatin = false, afterOther = false;
    bool afterLetter = false;
    long pendingBefore = 0; // the cost of the last mark if a letter follows it
    Quotes quotes;
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = text[i];
        if (c >= 0x00AB) Pair(c, quotes, cost);
        const bool letter = c < 0x10000 && t.kase[c] != 0;
        long before = 0, after = 0;
        Glue(c, before, after);
        if (!afterLetter && IsSouthSlavLetter(c) && (i + 1 == n || text[i + 1] >= 0x10000 || !t.kase[text[i + 1]]))
            cost += kLoneLetterCost;
        if (afterLetter) cost += after;
        if (letter) cost += pendingBefore;
        afterLetter = letter;
        pendingBefore = before;
        const int k = c < 0x10000 ? t.cls[c] : kClassOther;
        const bool russian = IsRussianClass(k);
        if ((russian || k == kClassLatin) && afterOther) cost += kOtherGlueCost;
        // Russian and Latin letters in one word, unless a Russian capital
        // starts a word glued to a Latin one ("%sФайл").
        if ((russian && b == kClassLatin && t.kase[c] == kSmall) || (k == kClassLatin && IsRussianClass(b)))
            cost += kMixCost;
        afterOther = k == kClassOther && !IsNeighbourLetter(c);
        if (k == kClassOther) {
            // Neither Russian nor Latin nor a mark of ordinary text: a flat
            // cost, and what follows reads as after a blank.
            cost += kOtherCost + (IsRussianClass(b) && !IsNeighbourLetter(c) ? kOtherGlueCost : 0);
            y = z = a = b = kClassBoundary;
            afterSmall = false;
            continue;
        }
        if (k == kClassBoundary && b == kClassBoundary) continue;
        cost += ClassCost(y, z, a, b, k);
        y = z;
        z = a;
        a = b;
        b = k;
        const int kase = c < 0x10000 ? t.kase[c] : 0;
        if (kase == kCapital && afterSmall && (k == kClassLatin) == afterLatin) cost += kCaseCost;
        afterSmall = kase == kSmall;
        afterLatin = k == kClassLatin;
    }
    if (b != kClassBoundary) cost += ClassCost(y, z, a, b, kClassBoundary);
    return -cost - (quotes.guillemets + quotes.low + quotes.high) * kUnpairedCost;
}


// The short way of scoring, for text of Russian letters from А to я and
// ASCII, the most of what is scored: no table of classes. For any text,
// the first other character sends the whole text the long way. For prose,
// it ends the scoring with false, and so does a capital after a small
// letter, or one that starts a word and no letter follows: the signs of Mac
// Cyrillic and its я read as 1251 are capitals that stand alone, after a
// letter or before a sign. A word of capitals ("ФАЙЛ") is prose. `letters`
// counts the Russian letters of prose.
template <bool kProse>
bool ScoreShortWay(const char32_t* text, std::size_t n, const Tables& t, long& score, long& letters) {
    constexpr char32_t kCapitalA = 0x410, kSmallA = 0x430, kEnd = kCapitalA + 64, kSmallYo = 0x451;
    long cost = 0;
    int y = 0, z = 0, a = 0, b = 0; // the last four classes
    bool afterSmall = false, afterLatin = false;
    bool capitalWaits = false; // prose: a capital a letter must follow
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = text[i];
        int k = kClassBoundary;
        unsigned char kase = 0;
        // ё inside a word; at a word's start it is Ю of 1251 read as Mac
        // Cyrillic more often than a word of its own.
        const bool yo =
            c == kSmallYo && i > 0 && ((text[i - 1] >= kCapitalA && text[i - 1] < kEnd) || text[i - 1] == kSmallYo);
        if ((c >= kCapitalA && c < kEnd) || yo) {
            k = yo ? kClassYo : static_cast<int>((c - kCapitalA) & 31) + kClassFirstRussian;
            kase = c < kSmallA ? kCapital : kSmall;
            if (b == kClassLatin && kase == kSmall) cost += kMixCost;
            if constexpr (kProse) {
                ++letters;
                const char32_t previous = i > 0 ? text[i - 1] : U' ';
                const bool smallBefore = (previous >= kSmallA && previous < kEnd) || previous == kSmallYo;
                if (kase == kCapital && smallBefore) return false;
                capitalWaits = kase == kCapital && !(previous >= kCapitalA && previous < kSmallA);
            }
        } else if (kProse && capitalWaits) {
            return false;
        } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
            k = kClassLatin;
            kase = c >= 'a' ? kSmall : kCapital;
            if (IsRussianClass(b)) cost += kMixCost;
        } else if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) {
            if (kProse) return false;
            score = ScoreAnyText(text, n, t);
            return true;
        } else if (b == kClassBoundary) {
            continue;
        }
        cost += ClassCost(y, z, a, b, k);
        y = z;
        z = a;
        a = b;
        b = k;
        if (kase == kCapital && afterSmall && (k == kClassLatin) == afterLatin) cost += kCaseCost;
        afterSmall = kase == kSmall;
        afterLatin = k == kClassLatin;
    }
    if (kProse && capitalWaits) return false;
    if (b != kClassBoundary) cost += ClassCost(y, z, a, b, kClassBoundary);
    score = -cost;
    return true;
}

} // namespace

long Score(const char32_t* text, std::size_t n, const Tables& t) {
    long score = 0, letters = 0;
    ScoreShortWay<false>(text, n, t, score, letters);
    return score;
}

bool ScorePlainProse(const char32_t* text, std::size_t n, const Tables& t, long& score, long& letters) {
    letters = 0;
    return ScoreShortWay<true>(text, n, t, score, letters);
}

long ScoreBound(const char32_t* text, std::size_t n, const Tables& t) {
    long others = 0;
    for (std::size_t i = 0; i < n; ++i) others += text[i] >= 0x10000 || t.cls[text[i]] == kClassOther;
    return kRepairCostBias * (static_cast<long>(n) - others + 1) - kOtherCost * others;
}

long LatinCost(const unsigned char* p, std::size_t n) {
    auto cost3 = [](int a, int b, int k) {
        return kRepairLatin[(a * kRepairLatinClasses + b) * kRepairLatinClasses + k] - kRepairCostBias;
    };
    long cost = 0;
    int a = 0, b = 0;
    bool afterSmall = false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        const bool small = c >= 'a' && c <= 'z', capital = c >= 'A' && c <= 'Z';
        const int k = small ? c - 'a' + 1 : capital ? c - 'A' + 1 : c < 0x80 ? 0 : kLatinClassOther;
        if (capital && afterSmall) cost += kCaseCost;
        afterSmall = small;
        if (k == 0 && b == 0) continue;
        cost += cost3(a, b, k);
        a = b;
        b = k;
    }
    if (b != 0) cost += cost3(a, b, 0);
    return cost;
}

} // namespace repair
