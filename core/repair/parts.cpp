// The repair line by line: a file that joins paragraphs from different
// sources (clean, UTF-8 read as 1251, UTF-8 read as Latin-1), or 1251 lines
// and UTF-8 lines, gets each line back in one encoding.
#include "core/repair/repair.h"

#include <algorithm>
#include <cstring>

#include "core/charset/char_map.h"
#include "core/charset/tables.h"
#include "core/repair/encodings.h"
#include "core/repair/score.h"
#include "core/unicode/utf8.h"

using namespace repair;

namespace {

// A line of fewer high bytes than this that one reading alone explains
// through UTF-8 still gets scored against the others.
constexpr std::size_t kDecisiveHigh = 4;
// The reading the line before took reads a short line more likely.
constexpr long kKeepCost = 16;
// How much of the sample its lines are read from, and how many lines.
constexpr std::size_t kLineSample = 16 * 1024;
constexpr int kSampleLines = 48;
// A line the whole text's reading gives as plain Russian keeps that reading
// without the others being decoded or scored: at least this many letters,
// at this cost a letter at most (in quarter bits; Russian prose costs 8 to
// 21, the wrong readings of it 30 and more).
constexpr int kPlainLetters = 16;
constexpr long kPlainLetterCost = 24;

bool Same(const RepairReading& a, const RepairReading& b) {
    if (a.saved != b.saved || a.steps != b.steps || a.sevenBit != b.sevenBit) return false;
    for (int i = 0; i < a.steps; ++i)
        if (a.step[i].wrong != b.step[i].wrong || a.step[i].original != b.step[i].original) return false;
    return true;
}

// The reading in the other table of Mac Cyrillic: the same but for the euro
// and the currency sign.
RepairReading MacTwin(RepairReading r) {
    for (int s = 0; s < r.steps; ++s) {
        signed char& w = r.step[s].wrong;
        if (w == kCodePageMac || w == kRepairMacEuro) w = w == kCodePageMac ? kRepairMacEuro : kCodePageMac;
    }
    return r;
}

void AddOnce(std::vector<RepairReading>& list, const RepairReading& r) {
    if (r.sevenBit || list.size() >= kRepairPartReadings) return;
    for (const RepairReading& x : list)
        if (Same(x, r)) return;
    list.push_back(r);
}

RepairReading Plain(int saved) {
    RepairReading r;
    r.saved = static_cast<signed char>(saved);
    return r;
}

bool ThroughUtf8(const RepairReading& r) {
    for (int i = 0; i < r.steps; ++i)
        if (r.step[i].original == kEncodingUtf8) return true;
    return false;
}

std::size_t HighBytes(const unsigned char* p, std::size_t n) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) k += p[i] >= 0x80;
    return k;
}

// The end of the next part from p: after its line feed, else (when the text
// goes on) nothing yet, unless the line is too long: then after its last
// ASCII byte within the limit, or at the limit.
std::size_t PartEnd(const unsigned char* p, std::size_t n, bool last) {
    const auto* lf = static_cast<const unsigned char*>(std::memchr(p, '\n', std::min(n, kRepairPartLimit)));
    if (lf) return static_cast<std::size_t>(lf - p) + 1;
    if (n < kRepairPartLimit) return last ? n : 0;
    for (std::size_t i = kRepairPartLimit; i > 0; --i)
        if (p[i - 1] < 0x80) return i;
    return kRepairPartLimit;
}

} // namespace

// One reading the parts may take, with its decoder (a line feed or an
// ASCII byte ends every part, so no sequence is ever cut between them) and
// its text of the current part, which the decoder holds.
struct RepairByParts::Way {
    RepairReading reading;
    RepairDecoder decoder;
    const char32_t* text = nullptr;
    std::size_t size = 0;
    bool fits = false;
    std::size_t taken = 0;
    // The earlier way in the other table of Mac Cyrillic, or -1: where that
    // one explains a part, this one gives the same text or does not fit.
    int twin = -1;
    Way(const RepairReading& r, int target) : reading(r), decoder(r, target) {}
};

std::vector<RepairReading> FindPartReadings(const unsigned char* sample, std::size_t n, int asItStands,
                                            const RepairReading& chosen) {
    std::vector<RepairReading> list{chosen};
    if (chosen.sevenBit) return list;
    AddOnce(list, Plain(asItStands >= 0 ? asItStands : chosen.saved));
    if (asItStands < 0) AddOnce(list, Plain(chosen.saved));
    // The best reading of each of the first lines with a byte above ASCII.
    n = std::min(n, kLineSample);
    int lines = 0;
    for (std::size_t at = 0; at < n && lines < kSampleLines;) {
        std::size_t end = PartEnd(sample + at, n - at, true);
        if (HighBytes(sample + at, end) > 0) {
            ++lines;
            const auto best = FindRepairReadings(sample + at, end, asItStands, 1);
            if (!best.empty()) AddOnce(list, best[0]);
        }
        at += end;
    }
    // Mac Cyrillic read wrongly in one table reads so in the other too; the
    // two differ only in the byte of я read as 1251 (the euro sign or the
    // currency sign), which the sample's lines may not show.
    const std::size_t found = list.size();
    for (std::size_t i = 0; i < found; ++i) AddOnce(list, MacTwin(list[i]));
    return list;
}

RepairByParts::RepairByParts(std::vector<RepairReading> readings, int asItStands, int target)
    : asItStands_(asItStands), target_(target < 0 || target > kEncodingUtf8 ? 0 : target) {
    if (readings.empty()) readings.push_back(Plain(asItStands >= 0 ? asItStands : kEncodingUtf8));
    if (readings.size() > kRepairPartReadings) readings.resize(kRepairPartReadings);
    // KOI8-R that lost its eighth bit is one reading of the whole text.
    if (readings[0].sevenBit) readings.resize(1);
    for (const RepairReading& r : readings) ways_.push_back(std::make_unique<Way>(r, target_));
    for (std::size_t i = 1; i < ways_.size(); ++i)
        for (std::size_t j = 0; j < i && ways_[i]->twin < 0; ++j)
            if (!Same(readings[i], readings[j]) && Same(readings[i], MacTwin(readings[j])))
                ways_[i]->twin = static_cast<int>(j);
    int fromUtf8 = 0;
    for (const RepairReading& r : readings) fromUtf8 += r.saved == kEncodingUtf8 && !r.sevenBit;
    if (fromUtf8 > 1) utf8_ = std::make_unique<RepairDecoder>(Plain(kEncodingUtf8), target_);
    rareWhole_ = IsPlainReading(readings[0]) && !IsCommonPlain(readings[0]);
    soleThrough_ = ThroughUtf8(readings[0]);
    for (std::size_t i = 1; i < readings.size(); ++i) soleThrough_ = soleThrough_ && !ThroughUtf8(readings[i]);
}

RepairByParts::~RepairByParts() = default;

const RepairReading& RepairByParts::mostTaken() const {
    const Way* best = nullptr;
    for (const auto& w : ways_)
        if (w->taken && (!best || w->taken > best->taken)) best = w.get();
    for (const auto& w : ways_)
        if (!best && IsPlainReading(w->reading)) best = w.get();
    return (best ? best : ways_[0].get())->reading;
}

// Whether taking `r` changes a line, which counts it.
bool RepairByParts::Changes(const RepairReading& r) const {
    return !(IsPlainReading(r) && (asItStands_ < 0 || r.saved == asItStands_));
}

void RepairByParts::CountTaken(Way& w, long long start) {
    ++w.taken;
    ++changed_;
    if (firstChanged_ < 0) firstChanged_ = start;
}

// Decodes the part in reading i; true when that explains the bytes: it
// decodes them without a substitute.
bool RepairByParts::DecodeWay(std::size_t i, const unsigned char* p, std::size_t n, bool last) {
    Way& w = *ways_[i];
    const std::size_t before = w.decoder.substitutes();
    const bool shared = utf8_ && w.reading.saved == kEncodingUtf8 && !w.reading.sevenBit;
    if (shared && !utf8Done_) {
        const std::size_t bad = utf8_->substitutes();
        utf8Chars_ = &utf8_->Decode(p, n, last);
        utf8Bad_ = utf8_->substitutes() - bad;
        utf8Done_ = true;
    }
    const std::vector<char32_t>& chars =
        shared ? w.decoder.DecodeFrom(*utf8Chars_, utf8Bad_, last) : w.decoder.Decode(p, n, last);
    w.fits = w.decoder.substitutes() == before;
    w.text = chars.data();
    w.size = chars.size();
    return w.fits;
}

// Whether the whole text's reading, which explains the part, gives it as
// plain Russian prose: then no other reading could beat it by the margin.
// Its score, which is the model's, is kept for the scoring of the part.
bool RepairByParts::ReadsPlainly() {
    long letters = 0;
    proseScored_ = ScorePlainProse(ways_[0]->text, ways_[0]->size, GetTables(), proseScore_, letters);
    return proseScored_ && letters >= kPlainLetters && proseScore_ >= -kPlainLetterCost * letters;
}

// Decodes the part in the readings and marks those that explain the bytes.
// The others are not decoded when the whole text's reading settles it.
RepairByParts::Fitting RepairByParts::DecodeEveryWay(const unsigned char* p, std::size_t n, bool last,
                                                     std::size_t high) {
    Fitting f;
    for (std::size_t i = 0; i < ways_.size(); ++i) {
        // The text's own reading gives UTF-8 back and no other reading goes
        // through UTF-8, or it reads as plain Russian: the others need no
        // decoding.
        const bool throughAlone = f.through == 0 && soleThrough_ && high >= kDecisiveHigh;
        if (i == 1 && (throughAlone || (f.count == 1 && !rareWhole_ && ReadsPlainly()))) {
            for (std::size_t j = 1; j < ways_.size(); ++j) ways_[j]->fits = false;
            f.count = 1;
            if (throughAlone) f.throughCount = 1;
            break;
        }
        if (ways_[i]->twin >= 0 && ways_[ways_[i]->twin]->fits) {
            ways_[i]->fits = false;
            continue;
        }
        if (!DecodeWay(i, p, n, last)) continue;
        const Way& w = *ways_[i];
        ++f.count;
        if (IsPlainReading(w.reading)) ++f.plain;
        else if (ThroughUtf8(w.reading)) {
            f.through = static_cast<int>(i);
            ++f.throughCount;
        }
    }
    return f;
}

// Of several fitting readings: the reading of the whole text when it fits,
// else the text as it stands (the line's own encoding when it is known,
// else its best common plain reading), wins unless another reading is
// clearly better.
int RepairByParts::ScoredPick() const {
    const Tables& t = GetTables();
    long best = 0, standingScore = 0;
    int standing = -1, pick = -1;
    long score[kRepairPartReadings] = {}, model[kRepairPartReadings] = {};
    bool beaten[kRepairPartReadings] = {};
    // Leaving the reading of the whole text, where it fits, takes twice the
    // margin: it was chosen on more of the text than the line; not so when
    // that is a rare code page as it stands. A wrong reading the whole text
    // went through takes three times: the line may show too little of it (a
    // lone capital that 1251 read as Mac Cyrillic turned into a dash).
    const long leave = (rareWhole_ ? 1 : IsPlainReading(ways_[0]->reading) ? 2 : 3) * StandingMargin();
    for (std::size_t i = 0; i < ways_.size(); ++i) {
        const Way& w = *ways_[i];
        if (!w.fits) continue;
        const long keep = static_cast<int>(i) == previous_ ? kKeepCost : 0;
        // The reading of the whole text stands, and this one could not beat
        // it by the margin however it read.
        if (i > 0 && ways_[0]->fits &&
            ScoreBound(w.text, w.size, t) + ReadingCosts(w.reading, asItStands_) + keep - leave <=
                score[0]) {
            beaten[i] = true;
            continue;
        }
        // Readings often agree on a part (Mac Cyrillic's two tables do but
        // for я): the model's score of the same text is taken, not made again.
        int same = -1;
        for (std::size_t j = 0; j < i && same < 0; ++j)
            if (ways_[j]->fits && !beaten[j] && ways_[j]->size == w.size &&
                std::equal(w.text, w.text + w.size, ways_[j]->text))
                same = static_cast<int>(j);
        model[i] = same >= 0 ? model[same] : i == 0 && proseScored_ ? proseScore_ : Score(w.text, w.size, t);
        score[i] = model[i] + ReadingCosts(w.reading, asItStands_) + keep;
        const bool isStanding = asItStands_ >= 0 ? IsPlainReading(w.reading) && w.reading.saved == asItStands_
                                                 : IsCommonPlain(w.reading);
        if (isStanding && (standing < 0 || score[i] > standingScore)) {
            standing = static_cast<int>(i);
            standingScore = score[i];
        }
    }
    if (ways_[0]->fits) standing = 0;
    const long margin = standing == 0 ? leave : StandingMargin();
    for (std::size_t i = 0; i < ways_.size(); ++i) {
        if (!ways_[i]->fits || beaten[i]) continue;
        const long s = score[i] - (static_cast<int>(i) == standing || standing < 0 ? 0 : margin);
        if (pick < 0 || s > best) {
            pick = static_cast<int>(i);
            best = s;
        }
    }
    return pick;
}

void RepairByParts::Part(const unsigned char* p, std::size_t n, bool last, std::vector<unsigned char>& out) {
    const long long start = at_;
    at_ += static_cast<long long>(n);
    const std::size_t high = HighBytes(p, n);
    if (ways_.size() == 1) {
        Way& w = *ways_[0];
        if (high) {
            ++parts_;
            if (Changes(w.reading)) CountTaken(w, start);
        }
        const std::size_t before = w.decoder.substitutes();
        w.decoder.Feed(p, n, last, out);
        if (high) substitutes_ += w.decoder.substitutes() - before;
        return;
    }
    if (high == 0 && !ways_[0]->reading.sevenBit) {
        out.insert(out.end(), p, p + n); // ASCII is itself in every target
        return;
    }
    ++parts_;
    utf8Done_ = false;
    proseScored_ = false;
    const Fitting f = DecodeEveryWay(p, n, last, high);
    int pick = -1;
    if (f.count == 1) {
        for (std::size_t i = 0; i < ways_.size(); ++i)
            if (ways_[i]->fits) pick = static_cast<int>(i);
    } else if (f.count > 1 && f.throughCount == 1 && f.count == f.throughCount + f.plain && high >= kDecisiveHigh) {
        // Bytes that come back as UTF-8 through one reading alone: no clean
        // text gives that by chance.
        pick = f.through;
    } else if (f.count > 1) {
        pick = ScoredPick();
    }
    if (pick < 0) {
        // Nothing explains the bytes: they stay as they stand.
        for (std::size_t i = 0; i < ways_.size() && pick < 0; ++i)
            if (IsPlainReading(ways_[i]->reading)) pick = static_cast<int>(i);
        if (pick < 0) pick = 0;
        Way& w = *ways_[pick];
        const std::vector<char32_t>& chars = w.decoder.Decode(p, n, last);
        w.text = chars.data();
        w.size = chars.size();
    }
    Way& w = *ways_[pick];
    previous_ = pick;
    if (Changes(w.reading)) CountTaken(w, start);
    if (IsPlainReading(w.reading) && w.fits && w.reading.saved == target_) {
        out.insert(out.end(), p, p + n); // byte for byte
        return;
    }
    w.decoder.Write(p, n, out, substitutes_);
}

void RepairByParts::Feed(const unsigned char* data, std::size_t n, bool last, std::vector<unsigned char>& out) {
    if (!pending_.empty()) {
        // The line the last block left, completed from this one's start.
        const auto* lf = n ? static_cast<const unsigned char*>(std::memchr(data, '\n', n)) : nullptr;
        const std::size_t take = lf ? static_cast<std::size_t>(lf - data) + 1 : n;
        pending_.insert(pending_.end(), data, data + take);
        data += take;
        n -= take;
        const bool ended = lf || (last && n == 0);
        std::size_t from = 0;
        while (from < pending_.size()) {
            const std::size_t end = PartEnd(pending_.data() + from, pending_.size() - from, ended);
            if (end == 0) break;
            Part(pending_.data() + from, end, last && n == 0 && from + end == pending_.size(), out);
            from += end;
        }
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(from));
    }
    if (pending_.empty()) {
        while (n > 0) {
            const std::size_t end = PartEnd(data, n, last);
            if (end == 0) break;
            Part(data, end, last && end == n, out);
            data += end;
            n -= end;
        }
        pending_.assign(data, data + n);
    }
    if (last && ways_.size() == 1) ways_[0]->decoder.Feed(data, 0, true, out);
}
