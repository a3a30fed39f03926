// How long the editor control takes to lay out a text, from what it was
// measured to take under Wine (bench/long_line_results.txt). The control
// lays out every paragraph whole, run by run of one script (spaces join the
// run they stand in; a paragraph of Cyrillic words is one run, "<div
// class=...>" changes script at every sign), and a paragraph's layout grows
// faster than its length: with the number of its runs times its length
// (three times as fast with word wrap off as with it on), and, with word
// wrap on, with the square of each run's length (a long run is measured
// again for every row it is broken into). A typed character lays out its
// paragraph again, so the paragraph's cost is also the cost of a keystroke
// in it. On top come costs per character and per paragraph of the text.
// Used to refuse, before it is tried, what would leave the editor without
// an answer for longer than a user waits.
#pragma once

#include <cstdint>

#include "core/editor/memory_need.h"

// The measured costs (Wine 8 with the editor's font on this project's
// 2-core build machine under the load of several builds), in seconds. The
// text as a whole:
constexpr double kSecondsPerCharacter = 1.0e-6;
constexpr double kSecondsPerParagraph = 50.0e-6;
constexpr double kSecondsPerScriptChange = 2.0e-6;
// One paragraph: its characters, its runs times its length with word wrap
// off and on, and the squares of its runs' lengths with word wrap on.
constexpr double kSecondsPerParagraphCharacter = 12.0e-6;
constexpr double kSecondsPerRunCharacter = 1.6e-8;
constexpr double kSecondsPerRunCharacterWrapped = 6.0e-9;
constexpr double kSecondsPerSquaredRunLength = 5.0e-8;

// What the editor waits for at most: one paragraph (and so a keystroke in
// it), and one whole operation.
constexpr double kParagraphSecondsLimit = 10;
constexpr double kOperationSecondsLimit = 60;

struct TimeNeed {
    double seconds;          // the whole text into an empty control
    double paragraphSeconds; // the costliest paragraph, and a keystroke in it
    int64_t paragraphLength; // that paragraph's length
};
// The time a text of that shape takes with word wrap on or off; `slowness`
// scales the measured costs (1: the measured machine).
TimeNeed EstimateTime(const TextShape& shape, bool wordWrap, double slowness);

// What the editor does with a text: takes it as it is, takes it with word
// wrap off (which makes it cheap enough), or refuses it for a paragraph, for
// the whole time, or for memory.
enum class Verdict { Admit, AdmitUnwrapped, RefuseParagraph, RefuseTime, RefuseMemory };
struct Admission {
    Verdict verdict;
    TimeNeed time;   // with the word wrap it is taken with (or the current one, when refused)
    MemoryNeed memory;
};
// `shape` measured with word wrap on; `extra`, `dropped` and `available` as
// for JudgeMemory. Word wrap is given up only for a text that does not fit
// the limits with it and does without it.
Admission JudgeAdmission(const TextShape& shape, bool wordWrap, int64_t extra, int64_t dropped, uint64_t available,
                         double slowness);

// A time for a message after "около", rounded up in the largest unit that
// keeps it short: "40 секунд", "9 минут", "21 минуты", "2 часов"
// (thousands apart by a no-break space). Writes at most `capacity` bytes (with the
// terminating zero) of 1251 text; returns `out`.
char* DurationWords(double seconds, char* out, int capacity);
// An amount of memory for a message: "700 МБ", "15 ГБ" (rounded up).
char* MemoryWords(int64_t bytes, char* out, int capacity);
