// The text repair: finds the wrong readings garbled Russian text went through
// on its way ("РџСЂРёРІРµС‚" is UTF-8 read as 1251 and saved as UTF-8) and
// undoes them. A reading is the way the bytes are decoded now plus up to three
// wrong readings undone, or KOI8-R whose eighth bit a mail relay stripped;
// each is scored by how much it reads like Russian.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/charset/encodings.h"
#include "core/unicode/utf8.h"

// The encodings of a reading: the encodings of encodings.h (the five code
// pages, then UTF-8), and the Western code pages text is only ever wrongly
// read as: Windows-1252, ISO 8859-1 (whose 0x80..0x9F are control
// characters), Mac Roman and DOS 437; and Mac Cyrillic as macOS reads it
// today, which has the euro sign at 0xFF where the older table
// (kCodePageMac, and glibc's) has the currency sign.
constexpr int kRepair1252 = kEncodingCount;
constexpr int kRepairMacEuro = kRepair1252 + 1;
constexpr int kRepairLatin1 = kRepair1252 + 2;
constexpr int kRepairMacRoman = kRepair1252 + 3;
constexpr int kRepair437 = kRepair1252 + 4;
constexpr int kRepairEncodingCount = kRepair1252 + 5;

// One wrong reading: text encoded in `original` (0..5) was read as `wrong`
// (0..4 or a Western code page) and written out again.
struct RepairStep {
    signed char wrong = 0;
    signed char original = 0;
};

constexpr int kRepairMaxSteps = 3;

struct RepairReading {
    signed char saved = kEncodingUtf8; // how the bytes are written now (0..5)
    unsigned char steps = 0;         // wrong readings undone, 0..kRepairMaxSteps
    RepairStep step[kRepairMaxSteps]; // step[0] is the last one, undone first
    bool sevenBit = false;           // KOI8-R with the eighth bit stripped (no steps)
    long score = 0;                  // higher reads better
};

// The best readings of the text, best first, at most `count` of them, no two
// giving the same text. `asItStands` is the encoding the text is shown in
// now (0..5), which wins unless another reading is clearly better; -1 when
// there is none. Only a sample of a long text is read (kRepairSampleSize
// bytes from the start); the caller gives that sample.
constexpr std::size_t kRepairSampleSize = 64 * 1024;
std::vector<RepairReading> FindRepairReadings(const unsigned char* text, std::size_t n, int asItStands,
                                              std::size_t count);

// True when the reading is the bytes decoded as they are written.
bool IsPlainReading(const RepairReading& r);

// The reading in plain words: "utf8 read as cp1251, saved as utf8", and in
// Russian for the editor ("UTF-8, прочитанный как 1251").
std::string RepairReadingName(const RepairReading& r);
std::string RepairReadingNameRussian(const RepairReading& r);

// Applies a reading to a text given block by block, carrying sequences cut
// by a block's end to the next, and writes the result in `target` (0..4 or
// kEncodingUtf8) with the usual substitutes for characters the target lacks
// (and '?' for what does not decode). Memory stays bounded by the block.
class RepairDecoder {
  public:
    RepairDecoder(const RepairReading& reading, int target);
    // Appends the result of the block to `out`; `last` ends the text.
    void Feed(const unsigned char* data, std::size_t n, bool last, std::vector<unsigned char>& out);
    // The characters of the block's result, before they are written in the
    // target; valid until the next call.
    const std::vector<char32_t>& Decode(const unsigned char* data, std::size_t n, bool last);
    // The same for bytes saved as UTF-8 that a decoder of the plain UTF-8
    // reading has just decoded into `saved`, `bad` of them not decoding.
    const std::vector<char32_t>& DecodeFrom(const std::vector<char32_t>& saved, std::size_t bad, bool last);
    // Appends the characters of the last Decode of `data` in the target to
    // `out`, counting the substitutes in `substitutes`.
    void Write(const unsigned char* data, std::size_t n, std::vector<unsigned char>& out,
               std::size_t& substitutes) const;
    std::size_t substitutes() const { return substitutes_; }

  private:
    void DecodeSevenBit(const unsigned char* data, std::size_t n, bool last);
    void SkipMark(const unsigned char*& data, std::size_t& n, bool last);
    void UndoSteps(bool last);
    void ComposeSingleByteSteps();

    RepairReading reading_;
    int target_;
    Utf8Cut pending_[kRepairMaxSteps + 1]; // cut UTF-8 sequences of each decoding
    std::vector<char32_t> chars_;
    std::vector<unsigned char> bytes_;
    std::size_t substitutes_ = 0;
    bool atStart_ = true;
    std::size_t markSeen_ = 0;
    unsigned char lastByte_ = 0; // KOI8-R without the eighth bit: the byte before the block
    bool heldHash_ = false;      // and a '#' held back from the block before
    unsigned char undoneLast_[kRepairMaxSteps] = {}; // the last byte each step gave
    // When every step reads its bytes as a code page, the steps are one
    // table: the byte the first step gives to the character it ends with,
    // and the substitutes on the way; when the bytes are also a code page's,
    // the whole reading is one table from the byte as it stands.
    bool composed_ = false, composedWhole_ = false;
    char32_t composedChar_[256] = {};
    unsigned char composedSubstitutes_[256] = {};
    // And with a code page for the target, that byte's own in the target
    // with the substitutes it takes there.
    unsigned char targetByte_[256] = {};
    unsigned char targetSubstitutes_[256] = {};
};

// The whole text at once.
std::vector<unsigned char> ApplyRepairReading(const RepairReading& reading, const unsigned char* text,
                                              std::size_t n, int target, std::size_t* substitutes = nullptr);

// For the editor: the display code page (0..2) repaired text goes into:
// `display` when it holds every character of the result, else the first of
// the three that does, else `display` (with substitutes).
int RepairTargetCodePage(const RepairReading& reading, const unsigned char* text, std::size_t n, int display);

// Repair part by part: each line with something above ASCII takes, of the
// readings the text's parts may take, the one that reads it best, and a
// line that reads best as it stands keeps its bytes when the target is its
// encoding. A line longer than kRepairPartLimit is cut after an ASCII byte.
constexpr std::size_t kRepairPartLimit = 64 * 1024;
constexpr std::size_t kRepairPartReadings = 8;

// The readings the parts may take: `chosen` first, then the bytes as they
// stand, then the best readings of the sample's own lines (the sample as
// FindRepairReadings takes it), at most kRepairPartReadings in all.
std::vector<RepairReading> FindPartReadings(const unsigned char* sample, std::size_t n, int asItStands,
                                            const RepairReading& chosen);

class RepairByParts {
  public:
    // `asItStands` as for FindRepairReadings; `target` as for RepairDecoder.
    RepairByParts(std::vector<RepairReading> readings, int asItStands, int target);
    ~RepairByParts();
    RepairByParts(const RepairByParts&) = delete;
    RepairByParts& operator=(const RepairByParts&) = delete;
    // Appends the result of the block to `out`; `last` ends the text.
    void Feed(const unsigned char* data, std::size_t n, bool last, std::vector<unsigned char>& out);
    std::size_t parts() const { return parts_; }     // lines with a byte above ASCII
    std::size_t changed() const { return changed_; } // of them, those not left as they stand
    // The input offset of the first changed line, or -1.
    long long firstChanged() const { return firstChanged_; }
    std::size_t substitutes() const { return substitutes_; }
    // The reading most changed lines took (as they stand when none was).
    const RepairReading& mostTaken() const;

  private:
    struct Way;
    struct Fitting {
        int count = 0, plain = 0; // readings that explain the part, plain ones among them
        int through = -1, throughCount = 0; // those that go through UTF-8
    };
    void Part(const unsigned char* p, std::size_t n, bool last, std::vector<unsigned char>& out);
    Fitting DecodeEveryWay(const unsigned char* p, std::size_t n, bool last, std::size_t high);
    int ScoredPick() const;
    bool DecodeWay(std::size_t i, const unsigned char* p, std::size_t n, bool last);
    bool ReadsPlainly();
    bool Changes(const RepairReading& r) const;
    void CountTaken(Way& w, long long start);

    std::vector<std::unique_ptr<Way>> ways_;
    int asItStands_;
    int target_;
    int previous_ = -1;
    bool soleThrough_ = false; // only the first reading goes through UTF-8
    // The whole text's reading is a rare code page as it stands (Mac
    // Cyrillic, ISO 8859-5): in a text that joins lines of other readings,
    // such a code page often reads none of them well but all least badly,
    // and one capital read wrongly still looks like plain Russian.
    bool rareWhole_ = false;
    // When several readings decode the bytes as UTF-8 first, that is done
    // once a part, by a decoder of its own.
    std::unique_ptr<RepairDecoder> utf8_;
    bool utf8Done_ = false; // for this part, into utf8Chars_
    const std::vector<char32_t>* utf8Chars_ = nullptr;
    std::size_t utf8Bad_ = 0;
    bool proseScored_ = false; // the first reading's text of this part is
    long proseScore_ = 0;      // plain prose, and its score
    std::vector<unsigned char> pending_;
    long long at_ = 0; // input offset of pending_'s start
    std::size_t parts_ = 0, changed_ = 0, substitutes_ = 0;
    long long firstChanged_ = -1;
};
