#include "core/repair/repair.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/repair/model.h"
#include "core/codepage/tables.h"
#include "core/codepage/utf8.h"

namespace {

constexpr int kSingleByteCount = 7; // the five code pages, (UTF-8 unused), 1252

// Costs in quarter bits beside the model's: each wrong reading undone, the
// eighth bit restored, a capital right after a small letter in one word,
// and the bonus of the text as it stands.
constexpr long kStepCost = 20;
// Each mention of the rarely used ISO 8859-5 and Mac Cyrillic.
constexpr long kRareCost = 4;
constexpr long kSevenBitLetters = 5;
// How much better than Latin the restored text must read: per letter
// restored and in all.
constexpr long kSevenBitLetterCost = 2;
constexpr long kSevenBitMargin = 30;
constexpr long kSevenBitCapitalLetters = 8;
// At most one change of case inside a word, or digit touching a letter,
// for so many letters.
constexpr long kSevenBitOddities = 10;
// And it must read as Russian text does, not merely better than its Latin
// letters read: random letters read badly both ways.
constexpr long kSevenBitMaxLetterCost = 26;
constexpr long kCaseCost = 72;
// A mark glued to a letter on a side it never touches one in ordinary
// text, as 1251 capitals read as Mac Cyrillic show ("—равнение", "…сли").
constexpr long kGlueCost = 80;
constexpr long kStandingBonus = 28;
// A character of none of the model's classes.
constexpr int kOther = 35;
constexpr long kOtherCost = 72;
// And once more for each Russian letter it touches; a Russian letter
// touching a Latin one in a word, as garbled quotes around a word show.
constexpr long kOtherGlueCost = 32;
constexpr long kMixCost = 20;

// Scoring reads at most this many bytes of the sample.
constexpr std::size_t kWindow = 4096;

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined read as
// the control characters of the same value, as browsers read them.
const char16_t k1252Low[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Every single-byte encoding both ways: byte to character, and character
// (below U+10000) to its byte, 0 when it has none (no character from 0x80
// up has byte 0).
struct Tables {
    char32_t decode[kSingleByteCount][256];
    unsigned char encode[kSingleByteCount][65536];
    unsigned char cls[65536];  // the model's letter class
    unsigned char kase[65536]; // 1 small letter, 2 capital
};

const Tables& GetTables() {
    static const std::unique_ptr<Tables> tables = [] {
        auto t = std::make_unique<Tables>();
        for (int e = 0; e < kSingleByteCount; ++e) {
            if (e == kRepairUtf8) continue;
            for (int b = 0; b < 256; ++b) {
                char32_t c = b;
                if (e == kRepair1252) {
                    if (b >= 0x80 && b < 0xA0) c = k1252Low[b - 0x80];
                } else {
                    c = CodePageChar(e, static_cast<unsigned char>(b));
                }
                t->decode[e][b] = c;
                if (b >= 0x80 && c < 0x10000) t->encode[e][c] = static_cast<unsigned char>(b);
            }
        }
        // Marks of ordinary Russian text; the typographic quotes and the
        // no-break space are left out, as 1251 reads Mac capitals so.
        static const char16_t kBoundary[] = {0x00AB, 0x00BB, 0x2013, 0x2014, 0x2026, 0x2116};
        for (int c = 0; c < 65536; ++c) {
            unsigned char k = 35;
            if (c >= 0x0430 && c <= 0x044F) k = static_cast<unsigned char>(c - 0x0430 + 1), t->kase[c] = 1;
            else if (c >= 0x0410 && c <= 0x042F) k = static_cast<unsigned char>(c - 0x0410 + 1), t->kase[c] = 2;
            else if (c == 0x0451) k = 33, t->kase[c] = 1;
            else if (c == 0x0401) k = 33, t->kase[c] = 2;
            else if (c >= 'a' && c <= 'z') k = 34, t->kase[c] = 1;
            else if (c >= 'A' && c <= 'Z') k = 34, t->kase[c] = 2;
            else if (c < 0x80 && c != 0x7F && (c >= 0x20 || c == '\t' || c == '\n' || c == '\r')) k = 0;
            t->cls[c] = k;
        }
        for (char16_t c : kBoundary) t->cls[c] = 0;
        return t;
    }();
    return *tables;
}

using Text = std::u32string;

// What mark `c` costs when a letter follows it, and when it follows a letter.
void Glue(char32_t c, long& before, long& after) {
    switch (c) {
    case 0x00AB: after = kGlueCost; break;                        // «
    case 0x00BB: case 0x2026: before = kGlueCost; break;          // » …
    case 0x2013: case 0x2014: before = kGlueCost, after = kGlueCost / 2; break; // – —
    case 0x2116: before = after = kGlueCost; break;               // №
    default: break;
    }
}

// The costs of each class after the first three letters of a common word,
// or null.
const char* PrefixCosts(int a, int b, int c) {
    const auto key = static_cast<unsigned short>((a * 34 + b) * 34 + c);
    const unsigned short* end = kRepairPrefixKeys + kRepairPrefixCount;
    const unsigned short* at = std::lower_bound(kRepairPrefixKeys, end, key);
    return at != end && *at == key ? kRepairPrefixCosts + (at - kRepairPrefixKeys) * kRepairClasses : nullptr;
}

// The cost of class k after classes y, z, a, b: by the first letters of a
// common word when it goes on with a letter (a short word may be cut from
// a long one, as abbreviations are), by the first letters of any word, or
// by the last two.
long ClassCost(int y, int z, int a, int b, int k) {
    auto russian = [](int c) { return c >= 1 && c <= 33; };
    if (y == 0 && russian(z) && russian(a) && russian(b) && russian(k))
        if (const char* prefix = PrefixCosts(z, a, b)) return prefix[k] - 33;
    const char* model = z == 0 ? kRepairWordStarts : kRepairTrigrams;
    return model[(a * kRepairClasses + b) * kRepairClasses + k] - 33;
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

// How much the text reads like Russian: minus its cost in quarter bits.
long Score(const Text& text, const Tables& t) {
    long cost = 0;
    int y = 0, z = 0, a = 0, b = 0; // the last four classes
    bool afterSmall = false, afterLatin = false, afterOther = false;
    bool afterLetter = false;
    long pendingBefore = 0; // the cost of the last mark if a letter follows it
    for (char32_t c : text) {
        const bool letter = c < 0x10000 && t.kase[c] != 0;
        long before = 0, after = 0;
        Glue(c, before, after);
        if (afterLetter) cost += after;
        if (letter) cost += pendingBefore;
        afterLetter = letter;
        pendingBefore = before;
        const int k = c < 0x10000 ? t.cls[c] : kOther;
        const bool russian = k >= 1 && k <= 33;
        if (russian && afterOther) cost += kOtherGlueCost;
        // Russian and Latin letters in one word, unless a Russian capital
        // starts a word glued to a Latin one ("%sФайл").
        if ((russian && b == 34 && t.kase[c] == 1) || (k == 34 && b >= 1 && b <= 33)) cost += kMixCost;
        afterOther = k == kOther && !IsNeighbourLetter(c);
        if (k == kOther) {
            // Neither Russian nor Latin nor a mark of ordinary text: a flat
            // cost, and what follows reads as after a blank.
            cost += kOtherCost + (b >= 1 && b <= 33 && !IsNeighbourLetter(c) ? kOtherGlueCost : 0);
            y = z = a = b = 0;
            afterSmall = false;
            continue;
        }
        if (k == 0 && b == 0) continue;
        cost += ClassCost(y, z, a, b, k);
        y = z;
        z = a;
        a = b;
        b = k;
        const int kase = c < 0x10000 ? t.kase[c] : 0;
        // A capital right after a small letter of the same alphabet.
        if (kase == 2 && afterSmall && (k == 34) == afterLatin) cost += kCaseCost;
        afterSmall = kase == 1;
        afterLatin = k == 34;
    }
    if (b != 0) cost += ClassCost(y, z, a, b, 0);
    return -cost;
}

// The bytes decoded as `e`; false when e is UTF-8 and they are not
// well-formed (a byte order mark at the start is dropped).
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

// One wrong reading undone: the text back to the bytes `wrong` gave it,
// those bytes read as `original`. False when a character has no byte in
// `wrong` or the bytes do not decode.
bool Undo(const Text& in, const RepairStep& s, const Tables& t, std::vector<unsigned char>& bytes, Text& out) {
    bytes.resize(in.size());
    const unsigned char* encode = t.encode[static_cast<int>(s.wrong)];
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char32_t c = in[i];
        if (c < 0x80) {
            bytes[i] = static_cast<unsigned char>(c);
        } else {
            if (c >= 0x10000 || !encode[c]) return false;
            bytes[i] = encode[c];
        }
    }
    return DecodeStrict(bytes.data(), bytes.size(), s.original, t, out);
}

bool HasHigh(const Text& text) {
    return std::any_of(text.begin(), text.end(), [](char32_t c) { return c >= 0x80; });
}

// KOI8-R with the eighth bit stripped: bytes 0x40..0x7E are its letters.
char32_t SevenBitChar(unsigned char b, const Tables& t) {
    return b >= 0x40 && b < 0x7F ? t.decode[kCodePageKoi8][b | 0x80] : static_cast<char32_t>(b);
}

// KOI8-R with the eighth bit stripped, in characters: bytes 0x40..0x7E are
// its letters, and '#' between two of them its ё (0xA3). `before` is the
// byte before the text (0 for none); `after` says whether a letter follows
// it.
void SevenBitText(const unsigned char* p, std::size_t n, unsigned char before, bool letterAfter, const Tables& t,
                  Text& out) {
    auto isLetter = [](unsigned char b) { return b >= 0x40 && b < 0x7F; };
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b == '#' && isLetter(i > 0 ? p[i - 1] : before) && (i + 1 < n ? isLetter(p[i + 1]) : letterAfter))
            out[i] = 0x0451;
        else
            out[i] = SevenBitChar(b, t);
    }
}

bool IsAsciiLetter(unsigned char b) { return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'); }
bool IsDigit(unsigned char b) { return b >= '0' && b <= '9'; }

// How much ASCII text reads like Latin text: its cost in quarter bits under
// the Latin model, with the same cost for a capital after a small letter.
long LatinCost(const unsigned char* p, std::size_t n) {
    long cost = 0;
    int a = 0, b = 0;
    bool afterSmall = false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        const bool small = c >= 'a' && c <= 'z', capital = c >= 'A' && c <= 'Z';
        const int k = small ? c - 'a' + 1 : capital ? c - 'A' + 1 : c < 0x80 ? 0 : kRepairLatinClasses - 1;
        if (capital && afterSmall) cost += kCaseCost;
        afterSmall = small;
        if (k == 0 && b == 0) continue;
        cost += kRepairLatin[(a * kRepairLatinClasses + b) * kRepairLatinClasses + k] - 33;
        a = b;
        b = k;
    }
    if (b != 0) cost += kRepairLatin[(a * kRepairLatinClasses + b) * kRepairLatinClasses] - 33;
    return cost;
}

// The sample's window: from the first byte above ASCII (backed up to a line
// start) and ending on an ASCII byte, so that no sequence is cut.
std::pair<std::size_t, std::size_t> Window(const unsigned char* p, std::size_t n) {
    std::size_t from = 0;
    while (from < n && p[from] < 0x80) ++from;
    if (from == n) from = 0;
    std::size_t back = from;
    while (back > 0 && from - back < 256 && p[back - 1] != '\n') --back;
    from = back;
    std::size_t to = std::min(n, from + kWindow);
    if (to < n) {
        std::size_t cut = to;
        while (cut > from && p[cut - 1] >= 0x80) --cut;
        if (cut > from) to = cut;
    }
    return {from, to};
}

struct Candidate {
    RepairReading reading;
    Text text;
};

const char* CodeName(int e) {
    static const char* const names[] = {"cp1251", "cp866", "koi8-r", "iso-8859-5", "mac-cyrillic", "utf8", "cp1252"};
    return e >= 0 && e <= kRepair1252 ? names[e] : "?";
}

const char* RussianName(int e) {
    static const char* const names[] = {"1251", "866", "KOI8-R", "ISO 8859-5", "Mac", "UTF-8", "1252"};
    return e >= 0 && e <= kRepair1252 ? names[e] : "?";
}

// Text is rarely written in ISO 8859-5 or Mac Cyrillic, but 1251 is often
// taken for Mac Cyrillic.
int RareMentions(const RepairReading& r) {
    auto rare = [](int e) { return e == kCodePageIso || e == kCodePageMac ? 1 : 0; };
    int n = rare(r.saved);
    for (int i = 0; i < r.steps; ++i)
        n += rare(r.step[i].original) + (r.step[i].wrong == kCodePageIso ||
                                         (r.step[i].wrong == kCodePageMac && r.step[i].original != kCodePageAnsi));
    return n;
}

} // namespace

bool IsPlainReading(const RepairReading& r) { return r.steps == 0 && !r.sevenBit; }

std::vector<RepairReading> FindRepairReadings(const unsigned char* text, std::size_t n, int asItStands,
                                              std::size_t count) {
    const Tables& t = GetTables();
    const auto [from, to] = Window(text, std::min(n, kRepairSampleSize));
    const unsigned char* p = text + from;
    const std::size_t m = to - from;

    std::vector<Candidate> found;
    std::vector<unsigned char> bytes;
    Text once, twice;
    int starts[7];
    int startCount = 0;
    if (asItStands >= 0 && asItStands <= kRepairUtf8) starts[startCount++] = asItStands;
    for (int e : {kRepairUtf8, 0, 1, 2, 3, 4})
        if (e != asItStands) starts[startCount++] = e;
    for (int si = 0; si < startCount; ++si) {
        Candidate plain;
        plain.reading.saved = static_cast<signed char>(starts[si]);
        if (!DecodeStrict(p, m, starts[si], t, plain.text)) continue;
        found.push_back(plain);
        if (!HasHigh(plain.text)) continue;
        for (int w : {0, 1, 2, 3, 4, kRepair1252}) {
            for (int e = 0; e <= kRepairUtf8; ++e) {
                if (e == w) continue;
                const RepairStep first{static_cast<signed char>(w), static_cast<signed char>(e)};
                if (!Undo(plain.text, first, t, bytes, once) || once == plain.text) continue;
                Candidate c{plain.reading, once};
                c.reading.steps = 1;
                c.reading.step[0] = first;
                found.push_back(c);
                // A second wrong reading only behind text that was saved as
                // UTF-8 in between.
                if (e != kRepairUtf8 || !HasHigh(once)) continue;
                for (int w2 : {0, 1, 2, 3, 4, kRepair1252}) {
                    for (int e2 = 0; e2 <= kRepairUtf8; ++e2) {
                        if (e2 == w2) continue;
                        const RepairStep second{static_cast<signed char>(w2), static_cast<signed char>(e2)};
                        if (!Undo(once, second, t, bytes, twice) || twice == once) continue;
                        Candidate d{c.reading, twice};
                        d.reading.steps = 2;
                        d.reading.step[1] = second;
                        found.push_back(d);
                    }
                }
            }
        }
    }
    for (Candidate& c : found) {
        long s = Score(c.text, t);
        s -= kStepCost * c.reading.steps;
        s -= kRareCost * RareMentions(c.reading);
        if (IsPlainReading(c.reading) && c.reading.saved == asItStands) s += kStandingBonus;
        c.reading.score = s;
    }
    // KOI8-R that lost its eighth bit, only for text with nothing above
    // ASCII: the restored text must read as Russian clearly better than the
    // letters as they stand read as Latin (English, or Russian written in
    // Latin letters); then it goes first.
    if (!found.empty() && !HasHigh(found[0].text)) {
        long letters = 0, restored = 0, capitals = 0, oddities = 0;
        for (std::size_t i = 0; i < m; ++i) {
            const unsigned char b = p[i];
            letters += IsAsciiLetter(b);
            capitals += b >= 'A' && b <= 'Z';
            restored += b >= 0x40 && b < 0x7F;
            // The case changing inside a word after its second letter, and
            // digits touching letters: Russian words keep one case there (a
            // capital first reads as a small Latin letter before capitals)
            // and hold no digits, base64 and other codes do.
            if (i >= 2 && IsAsciiLetter(b) && IsAsciiLetter(p[i - 1]) && IsAsciiLetter(p[i - 2]) &&
                (b < 'a') != (p[i - 1] < 'a'))
                ++oddities;
            if (i >= 1 && ((IsAsciiLetter(b) && IsDigit(p[i - 1])) || (IsDigit(b) && IsAsciiLetter(p[i - 1]))))
                ++oddities;
        }
        if (letters >= kSevenBitLetters && oddities * kSevenBitOddities <= letters) {
            Candidate c;
            c.reading.saved = kCodePageKoi8;
            c.reading.sevenBit = true;
            SevenBitText(p, m, 0, false, t, c.text);
            const long russian = -Score(c.text, t);
            const long latin = LatinCost(p, m);
            // Mostly small Latin letters are Russian capitals: a short line
            // of them is as likely a fragment of markup.
            const bool russianCapitals = capitals * 10 < letters * 7;
            if (russian + kSevenBitLetterCost * restored + kSevenBitMargin < latin &&
                russian <= kSevenBitMaxLetterCost * restored &&
                (!russianCapitals || restored >= kSevenBitCapitalLetters)) {
                c.reading.score = std::max(-russian, found[0].reading.score + 1);
                found.push_back(c);
            }
        }
    }
    // One reading per text: the best of those giving it.
    std::stable_sort(found.begin(), found.end(),
                     [](const Candidate& a, const Candidate& b) { return a.reading.score > b.reading.score; });
    std::unordered_map<Text, bool> seen;
    std::vector<RepairReading> best;
    for (const Candidate& c : found) {
        if (best.size() >= count) break;
        if (!seen.emplace(c.text, true).second) continue;
        best.push_back(c.reading);
    }
    return best;
}

std::string RepairReadingName(const RepairReading& r) {
    if (r.sevenBit) return "koi8-r with the eighth bit stripped";
    if (r.steps == 0) return CodeName(r.saved);
    std::string name;
    for (int i = r.steps - 1; i >= 0; --i) {
        if (i == r.steps - 1) name += CodeName(r.step[i].original);
        else name += std::string(", saved as ") + CodeName(r.step[i].original);
        name += std::string(" read as ") + CodeName(r.step[i].wrong);
    }
    return name + ", saved as " + CodeName(r.saved);
}

std::string RepairReadingNameRussian(const RepairReading& r) {
    if (r.sevenBit) return "KOI8-R без восьмого бита";
    if (r.steps == 0) return std::string("Текст в ") + RussianName(r.saved);
    std::string name = RussianName(r.step[r.steps - 1].original);
    name += std::string(", прочитанный как ") + RussianName(r.step[r.steps - 1].wrong);
    if (r.steps == 2) name += std::string(", затем как ") + RussianName(r.step[0].wrong);
    return name;
}

RepairDecoder::RepairDecoder(const RepairReading& reading, int target) : reading_(reading), target_(target) {
    if (reading_.steps > 2) reading_.steps = 2;
    if (target_ < 0 || target_ > kRepairUtf8) target_ = 0;
}

namespace {

// Decodes a block as `e`, carrying a UTF-8 sequence cut by the block's end
// in `pending`; bytes that do not decode become '?', counted.
void DecodeBlock(int e, std::vector<unsigned char>& pending, const unsigned char* p, std::size_t n, bool last,
                 const Tables& t, std::vector<char32_t>& out, std::size_t& bad) {
    out.clear();
    if (e != kRepairUtf8) {
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = t.decode[e][p[i]];
        return;
    }
    out.reserve(n);
    std::size_t i = 0;
    if (!pending.empty()) {
        unsigned char joined[8];
        const std::size_t have = pending.size();
        const std::size_t take = std::min(n, sizeof joined - have);
        std::copy(pending.begin(), pending.end(), joined);
        std::copy(p, p + take, joined + have);
        std::size_t j = 0;
        while (j < have) {
            bool cut = false;
            const std::size_t start = j;
            const char32_t c = DecodeUtf8Char(joined, have + take, j, &cut);
            if (c == kBadUtf8 && cut && !last) {
                pending.assign(joined + start, joined + have + take);
                return;
            }
            if (c == kBadUtf8) ++bad;
            out.push_back(c == kBadUtf8 ? U'?' : c);
        }
        i = j - have;
        pending.clear();
    }
    while (i < n) {
        bool cut = false;
        const std::size_t start = i;
        const char32_t c = DecodeUtf8Char(p, n, i, &cut);
        if (c == kBadUtf8 && cut && !last) {
            pending.assign(p + start, p + n);
            return;
        }
        if (c == kBadUtf8) ++bad;
        out.push_back(c == kBadUtf8 ? U'?' : c);
    }
}

} // namespace

void RepairDecoder::Feed(const unsigned char* data, std::size_t n, bool last, std::vector<unsigned char>& out) {
    const Tables& t = GetTables();
    if (reading_.sevenBit) {
        // A '#' ending the block waits for the next: it is ё between letters.
        bytes_.clear();
        if (heldHash_) bytes_.push_back('#');
        bytes_.insert(bytes_.end(), data, data + n);
        std::size_t use = bytes_.size();
        heldHash_ = !last && use > 0 && bytes_[use - 1] == '#';
        if (heldHash_) --use;
        Text text;
        SevenBitText(bytes_.data(), use, lastByte_, false, t, text);
        if (use > 0) lastByte_ = bytes_[use - 1];
        chars_.assign(text.begin(), text.end());
    } else {
        if (atStart_ && reading_.saved == kRepairUtf8) {
            // A byte order mark, possibly cut by the first blocks, is dropped;
            // bytes that only began like one go on to the decoding.
            static const unsigned char kMark[3] = {0xEF, 0xBB, 0xBF};
            while (n > 0 && markSeen_ < 3 && data[0] == kMark[markSeen_]) {
                ++markSeen_;
                ++data;
                --n;
            }
            if (markSeen_ == 3 || n > 0 || last) {
                if (markSeen_ < 3) pending_[0].assign(kMark, kMark + markSeen_);
                atStart_ = false;
            }
        }
        DecodeBlock(reading_.saved, pending_[0], data, n, last, t, chars_, substitutes_);
        for (int s = 0; s < reading_.steps; ++s) {
            const unsigned char* encode = t.encode[static_cast<int>(reading_.step[s].wrong)];
            bytes_.resize(chars_.size());
            for (std::size_t i = 0; i < chars_.size(); ++i) {
                const char32_t c = chars_[i];
                unsigned char b = c < 0x80 ? static_cast<unsigned char>(c) : c < 0x10000 ? encode[c] : 0;
                if (c >= 0x80 && !b) {
                    b = '?';
                    ++substitutes_;
                }
                bytes_[i] = b;
            }
            DecodeBlock(reading_.step[s].original, pending_[s + 1], bytes_.data(), bytes_.size(), last, t, chars_,
                        substitutes_);
        }
    }
    if (target_ == kRepairUtf8) {
        for (char32_t c : chars_) AppendUtf8(out, c);
        return;
    }
    const unsigned char* encode = t.encode[target_];
    const std::size_t base = out.size();
    out.resize(base + chars_.size());
    for (std::size_t i = 0; i < chars_.size(); ++i) {
        const char32_t c = chars_[i];
        unsigned char b = c < 0x80 ? static_cast<unsigned char>(c) : c < 0x10000 ? encode[c] : 0;
        if (c >= 0x80 && !b) {
            b = CodePageByte(target_, c);
            ++substitutes_;
        }
        out[base + i] = b;
    }
}

std::vector<unsigned char> ApplyRepairReading(const RepairReading& reading, const unsigned char* text,
                                              std::size_t n, int target, std::size_t* substitutes) {
    RepairDecoder decoder(reading, target);
    std::vector<unsigned char> out;
    out.reserve(n);
    decoder.Feed(text, n, true, out);
    if (substitutes) *substitutes = decoder.substitutes();
    return out;
}

int RepairTargetCodePage(const RepairReading& reading, const unsigned char* text, std::size_t n, int display) {
    if (display < 0 || display > 2) display = 0;
    // Bytes that do not decode are substitutes in every target alike.
    std::size_t undecodable = 0;
    ApplyRepairReading(reading, text, n, kRepairUtf8, &undecodable);
    const int order[] = {display, 0, 1, 2};
    for (int cp : order) {
        std::size_t substitutes = 0;
        ApplyRepairReading(reading, text, n, cp, &substitutes);
        if (substitutes == undecodable) return cp;
    }
    return display;
}
