// Where a search step looks, the upward search built on a forward-only find,
// and a whole replace-all run computed in one pass over the bytes. Nothing
// here touches a window: the find primitive is a function.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The find primitive: the start of the first occurrence of the search text
// lying wholly inside [first, last), or -1.
using FindFunction = std::function<int32_t(int32_t first, int32_t last)>;

// The search position after a step that found nothing.
constexpr int32_t kNoSearchPosition = -1;

// Downward: where the step's find begins. With whole text on, at the search
// position; otherwise at the later of the search position and the selection
// start, so that a caret moved back does not find the last match again and
// a caret moved forward is followed. After a step that found nothing the
// search starts again from the start of the text (or from the selection).
int32_t DownwardStart(int32_t position, int32_t selectionStart, bool wholeText);

// Upward: the bound P below which the step looks. With whole text on, the
// search position; otherwise the earlier of the search position and the
// selection start. After a step that found nothing the search starts again
// from the end of the text (or from the selection). Never past the text.
int32_t UpwardBound(int32_t position, int32_t selectionStart, bool wholeText, int32_t textLength);

// The last occurrence lying wholly before `bound` (start + length <= bound),
// or -1. It looks back from the bound in windows that grow fourfold from
// `firstWindow` bytes, so a match near the bound costs little, and finds the
// last occurrence inside a window by bisection: O(log n) calls of `find`
// over shrinking ranges, never an occurrence that starts at or after the
// bound, overlapping occurrences included.
int32_t FindLastBefore(const FindFunction& find, int32_t bound, int32_t length, int32_t firstWindow);

// What a search is for: the bytes (already in the display code page), the
// find flags (kFindWholeWord, kFindMatchCase) and the display code page that
// judges case and word letters.
struct SearchQuery {
    const unsigned char* needle;
    int32_t length;
    unsigned flags;
    int codePage;
};

// Reads the bytes of [first, last) of the text into `out` (room for
// last - first); returns how many it read.
using ReadFunction = std::function<int32_t(int32_t first, int32_t last, unsigned char* out)>;

// FindLastBefore over a text of `textLength` bytes that is costly to read
// (every read of the control walks it to the position): each window is read
// once, with one byte more on each side for the whole-word test, and the
// bisection's finds are answered from the bytes read. A match near the bound
// costs one read of `firstWindow` bytes.
int32_t FindLastBeforeByReading(const ReadFunction& read, int32_t textLength, int32_t bound, const SearchQuery& query,
                                int32_t firstWindow);

// The final state of a replace-all run without prompt.
struct ReplaceAllOutcome {
    int32_t replaced = 0;       // number of matches replaced
    int32_t caret = 0;          // where the caret stands after the last replacement
    std::vector<unsigned char> text; // the whole new text (empty when nothing was replaced)
};

// Computes in one pass over `text` (n bytes) what a run that finds and
// replaces match after match leaves: downward from `from` onward, each next
// match searched after the inserted replacement; upward below `from`, each
// next match searched below the one just replaced. Word boundaries at the
// seams are judged by the bytes the earlier replacements put there, as the
// step-by-step run judges them. `text` is the caller's copy and is used as
// scratch: its bytes change.
ReplaceAllOutcome ReplaceAllInOnePass(unsigned char* text, int32_t n, const SearchQuery& query,
                                      const unsigned char* replacement, int32_t replacementLength, bool upward,
                                      int32_t from);
