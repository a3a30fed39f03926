#include "core/repair/repair.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>

#include "core/charset/tables.h"
#include "core/repair/encodings.h"
#include "core/repair/score.h"
#include "core/repair/seven_bit.h"

namespace repair {

namespace {

// Costs in quarter bits beside the model's: each wrong reading undone, each
// mention of the rarely used ISO 8859-5 and Mac Cyrillic, and the bonus of
// the text as it stands.
constexpr long kStepCost = 20;
constexpr long kRareCost = 4;
constexpr long kStandingBonus = 28;
// What a reading other than the text as it stands pays: once, and for each
// character it changes.
constexpr long kFixedMargin = 24;
constexpr long kChangeCost = 0;

// Scoring reads at most this many bytes of the sample, and backs up at most
// so far to the start of a line.
constexpr std::size_t kWindow = 4096;
constexpr std::size_t kLineBackUp = 256;

// The encodings a text is read in, and those it may have been wrongly read
// as (UTF-8 never is: it would not have decoded).
constexpr int kSavedAs[] = {kEncodingUtf8, kCodePageAnsi, kCodePageOem, kCodePageKoi8, kCodePageIso, kCodePageMac};
constexpr int kReadAs[] = {kCodePageAnsi, kCodePageOem,    kCodePageKoi8,  kCodePageIso,    kCodePageMac, kRepair1252,
                           kRepairMacEuro, kRepairLatin1, kRepairMacRoman, kRepair437};

// The sample's window: from the first byte above ASCII (backed up to a line
// start) and ending on an ASCII byte, so that no sequence is cut.
std::pair<std::size_t, std::size_t> Window(const unsigned char* p, std::size_t n) {
    std::size_t from = 0;
    while (from < n && p[from] < 0x80) ++from;
    if (from == n) from = 0;
    std::size_t back = from;
    while (back > 0 && from - back < kLineBackUp && p[back - 1] != '\n') --back;
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

// Every wrong reading `text` may have gone through last, undone, after the
// steps `reading` has; a further one only behind text that was saved as
// UTF-8 in between. Readings that cannot give the bytes (a character the
// wrong code page has no byte for, or bytes that are no UTF-8) go no
// further and are never scored.
void AddUndone(const Candidate& from, const Tables& t, std::vector<Candidate>& found) {
    std::vector<unsigned char> bytes;
    Text undone;
    for (int w : kReadAs) {
        for (int e = 0; e <= kEncodingUtf8; ++e) {
            if (e == w) continue;
            const RepairStep step{static_cast<signed char>(w), static_cast<signed char>(e)};
            if (!Undo(from.text, step, t, bytes, undone) || undone == from.text) continue;
            Candidate c{from.reading, undone};
            c.reading.step[c.reading.steps++] = step;
            found.push_back(c);
            if (c.reading.steps < kRepairMaxSteps && e == kEncodingUtf8 && HasHigh(c.text)) AddUndone(c, t, found);
        }
    }
}

// Every reading of the window: each encoding it may be saved in (the one
// it is shown in first) with the wrong readings it may have gone through.
std::vector<Candidate> Candidates(const unsigned char* p, std::size_t m, int asItStands, const Tables& t) {
    std::vector<Candidate> found;
    int starts[std::size(kSavedAs)];
    int startCount = 0;
    if (asItStands >= 0 && asItStands <= kEncodingUtf8) starts[startCount++] = asItStands;
    for (int e : kSavedAs)
        if (e != asItStands) starts[startCount++] = e;
    for (int si = 0; si < startCount; ++si) {
        Candidate plain;
        plain.reading.saved = static_cast<signed char>(starts[si]);
        if (!DecodeStrict(p, m, starts[si], t, plain.text)) continue;
        found.push_back(plain);
        if (HasHigh(plain.text)) AddUndone(plain, t, found);
    }
    return found;
}

// Text is rarely written in ISO 8859-5 or Mac Cyrillic, but 1251 is often
// taken for Mac Cyrillic; Western readings other than 1252 are rarer than
// it, but for CP866 read as DOS 437 (Russian names in ZIP archives).
int RareMentions(const RepairReading& r) {
    auto rare = [](int e) { return e == kCodePageIso || e == kCodePageMac ? 1 : 0; };
    auto rareWrong = [](const RepairStep& s) {
        switch (s.wrong) {
        case kCodePageIso: case kRepairLatin1: case kRepairMacRoman: return true;
        case kCodePageMac: case kRepairMacEuro: return s.original != kCodePageAnsi;
        case kRepair437: return s.original != kCodePageOem;
        default: return false;
        }
    };
    // Text taken for another code page and saved in a rare one is rarer still.
    int n = rare(r.saved) * (r.steps ? 2 : 1);
    for (int i = 0; i < r.steps; ++i) n += rare(r.step[i].original) + rareWrong(r.step[i]);
    return n;
}

// The characters a reading changes against the text as it stands: those
// in other places when both are as long, else every one above ASCII (a
// decoding that changes the length changes each of them).
long Changed(const Text& text, const Text& standing) {
    long n = 0;
    if (text.size() == standing.size()) {
        for (std::size_t i = 0; i < text.size(); ++i) n += text[i] != standing[i];
        return n;
    }
    for (char32_t c : standing) n += c >= 0x80;
    return std::max(n, 1L);
}

} // namespace

long ReadingCosts(const RepairReading& r, int asItStands) {
    long s = -kStepCost * r.steps - kRareCost * RareMentions(r);
    if (IsPlainReading(r) && r.saved == asItStands) s += kStandingBonus;
    return s;
}

long ReadingScore(const RepairReading& r, const char32_t* text, std::size_t n, int asItStands, const Tables& t) {
    return Score(text, n, t) + ReadingCosts(r, asItStands);
}

bool IsCommonPlain(const RepairReading& r) { return IsPlainReading(r) && !RareMentions(r); }

long StandingMargin() { return kFixedMargin; }

namespace {

void ScoreCandidates(std::vector<Candidate>& found, int asItStands, const Tables& t) {
    const Candidate* standing = nullptr;
    for (Candidate& c : found) {
        const long s = ReadingScore(c.reading, c.text.data(), c.text.size(), asItStands, t);
        const bool plain = IsPlainReading(c.reading);
        c.reading.score = s;
        // The text as it stands: in its encoding when that is known, else
        // the best plain reading in an encoding text is commonly saved in.
        if (plain && (asItStands >= 0 ? c.reading.saved == asItStands && !standing
                                      : !RareMentions(c.reading) && (!standing || s > standing->reading.score)))
            standing = &c;
    }
    if (!standing) return;
    // Every other reading pays for each character it changes, so that a
    // Latin letter inside a Russian word, a transliterated name or a rare
    // word is not enough: it must explain the bytes clearly better.
    for (Candidate& c : found) {
        if (&c == standing || (IsPlainReading(c.reading) && asItStands < 0 && !RareMentions(c.reading))) continue;
        c.reading.score -= kFixedMargin + kChangeCost * Changed(c.text, standing->text);
    }
}

// KOI8-R that lost its eighth bit, only for text with nothing above ASCII;
// when the text reads so, it goes first.
void AddSevenBit(const unsigned char* p, std::size_t m, const Tables& t, std::vector<Candidate>& found) {
    if (found.empty() || HasHigh(found[0].text)) return;
    Candidate c;
    long cost = 0;
    if (!ReadsAsSevenBit(p, m, t, c.text, cost)) return;
    c.reading.saved = kCodePageKoi8;
    c.reading.sevenBit = true;
    c.reading.score = std::max(-cost, found[0].reading.score + 1);
    found.push_back(c);
}

// One reading per text, the best of those giving it, best first.
std::vector<RepairReading> BestDistinct(std::vector<Candidate>& found, std::size_t count) {
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

// The encodings' names, then those of the Western code pages, which only
// the repair knows.
const char* CodeName(int e) {
    static const char* const western[] = {"cp1252", "mac-cyrillic with the euro", "iso-8859-1", "mac-roman",
                                          "cp437"};
    static_assert(std::size(western) == kRepairEncodingCount - kRepair1252);
    return e >= 0 && e < kEncodingCount ? kEncodings[e].readingName
           : e >= kRepair1252 && e < kRepairEncodingCount ? western[e - kRepair1252]
                                                          : "?";
}

const char* RussianName(int e) {
    static const char* const western[] = {"1252", "Mac с евро", "ISO 8859-1", "Mac Roman", "437"};
    static_assert(std::size(western) == kRepairEncodingCount - kRepair1252);
    return e >= 0 && e < kEncodingCount ? kEncodings[e].shortName
           : e >= kRepair1252 && e < kRepairEncodingCount ? western[e - kRepair1252]
                                                          : "?";
}

} // namespace

} // namespace repair

using namespace repair;

bool IsPlainReading(const RepairReading& r) { return r.steps == 0 && !r.sevenBit; }

std::vector<RepairReading> FindRepairReadings(const unsigned char* text, std::size_t n, int asItStands,
                                              std::size_t count) {
    const Tables& t = GetTables();
    const auto [from, to] = Window(text, std::min(n, kRepairSampleSize));
    std::vector<Candidate> found = Candidates(text + from, to - from, asItStands, t);
    ScoreCandidates(found, asItStands, t);
    AddSevenBit(text + from, to - from, t, found);
    return BestDistinct(found, count);
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
    for (int i = r.steps - 2; i >= 0; --i) name += std::string(", затем как ") + RussianName(r.step[i].wrong);
    return name;
}
