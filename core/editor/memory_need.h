// What the editor control needs to hold a text, from what it was measured
// to take under Wine (bench/large_document_results.txt, "--memory"). The
// control keeps every paragraph and every run of one script as items of
// its own, with the glyphs of every run shaped: the cost follows the
// characters, the paragraphs and the script changes of the text as it is
// shown (Cyrillic, Latin, digits, signs each make runs of their own; spaces
// join the run they stand in), and the rows of wrapped long lines. The font,
// its size, the undo limit and word wrap for lines that fit change nothing
// measurable. Used to refuse a load or an insertion the memory cannot hold
// before it is tried.
#pragma once

#include <cstddef>
#include <cstdint>

// The measured costs (4 MB texts, Wine 8), rounded up.
constexpr int64_t kControlBytesPerCharacter = 30;
constexpr int64_t kControlBytesPerParagraph = 2800;
constexpr int64_t kControlBytesPerScriptChange = 850;
constexpr int64_t kControlBytesPerWrappedRow = 1200;
// A wrapped paragraph is counted a row for every this many characters
// after the first row (a narrow window makes more).
constexpr int64_t kWrappedRowCharacters = 80;
// Memory kept free for the rest of the program and the system.
constexpr int64_t kMemoryReserve = int64_t{64} << 20;

// What of a text decides the control's cost.
struct TextShape {
    int64_t characters = 0;
    int64_t paragraphs = 0;    // one more than the line breaks (CR LF, a lone CR or LF each end one)
    int64_t scriptChanges = 0; // inside paragraphs, between runs of different scripts
    int64_t wrappedRows = 0;   // rows after the first of long paragraphs, with word wrap on
    // What the control's layout time follows (core/editor/time_need.h): for
    // the whole text, the sums over paragraphs of runs times length and
    // over runs of the square of their length (a run reaches from its first
    // character to the next run); and three paragraphs that may cost most.
    double runWork = 0;
    double squaredRunLengths = 0;
    struct Paragraph {
        int64_t length = 0;
        int64_t runs = 0;
        double squaredRunLengths = 0;
    };
    Paragraph longest;      // the longest paragraph
    Paragraph mostRunWork;  // the most runs times length
    Paragraph longestRuns;  // the largest sum of squared run lengths
};

// The shape of n bytes shown through display code page `cp` (0..2).
TextShape MeasureTextShape(const unsigned char* bytes, size_t n, int cp, bool wordWrap);

// Bytes the control needs for a text of that shape.
int64_t ControlMemoryNeed(const TextShape& shape);

// The memory an operation needs: for the text it puts into the control and
// `extra` bytes it holds besides (copies for undo, buffers), less what it
// frees first (the control's text it drops, `dropped` characters, counted at
// the cost of a character alone), never below zero; and the reserve.
struct MemoryNeed {
    int64_t need; // bytes
    bool fits;    // need <= available
};
MemoryNeed JudgeMemory(const TextShape& shape, int64_t extra, int64_t dropped, uint64_t available);

// Megabytes for a message, rounded up.
int64_t MegabytesUp(int64_t bytes);
