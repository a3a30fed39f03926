// Paragraph formatting of the alignment menu: the text is rewritten into lines
// that end at a right margin, with the words justified, centred, or aligned
// left or right. A pure function of the bytes and four numbers; a text read
// in pieces formats line by line with the same result.
#pragma once

#include <cstddef>
#include <vector>

enum class Alignment { kJustify, kCenter, kLeft, kRight };

// The four values of the options dialog, in character columns.
struct ParagraphSettings {
    int right = 80;                // "RI": the column at which lines end, indent included
    int left = 0;                  // "LI": indent of every line after the first
    int first = 0;                 // "FI": indent of the first line (centring uses `left`)
    bool ignoreLineBreaks = false; // "IG": line ends inside the text are ordinary blanks
    // A byte that takes no column (0: none): in a Unicode document, the
    // stand-in of a combining mark or of a character's second half.
    unsigned char noColumnByte = 0;
};

// Numbers outside what the options dialog offers still give a well-defined
// result: a right margin below 1 is taken as 1 and above kMaxRightMargin as
// that; a negative indent as 0; an indent at or beyond the margin less 8 as 0.
constexpr int kMaxRightMargin = 4096;

// Formats `text` (n bytes; blanks are NUL, tab, LF, CR and space). Every
// output line ends with CR LF, the last one too; an empty text gives an empty
// result. With line ends kept, each LF reached after a blank ends the line
// (a paragraph end), and an empty line stays an empty line of indent spaces.
std::vector<unsigned char> FormatParagraphs(const unsigned char* text, std::size_t n, Alignment alignment,
                                            const ParagraphSettings& settings);

// The same result handed out in pieces of bounded size, in order, through
// `sink` (for writing a large result straight to a file). `sink` returns
// false to stop; FormatParagraphs then returns false too.
using ByteSink = bool (*)(void* context, const unsigned char* bytes, std::size_t n);
bool FormatParagraphs(const unsigned char* text, std::size_t n, Alignment alignment,
                      const ParagraphSettings& settings, ByteSink sink, void* context);

// Formatting of a text read in pieces (a file of any size in a small buffer).
// Each line depends only on the words it gathers and the blanks around them,
// so a line is written as soon as its bytes are in; what is kept for the next
// piece is the start of one line: at most its words (a few times the right
// margin) and one byte of each run of blanks, whose length changes nothing.
// A word longer than the line is written as it comes. The pieces together
// give exactly the bytes of FormatParagraphs on the whole text.
struct ParagraphState {
    Alignment alignment = Alignment::kLeft;
    ParagraphSettings settings;
    bool firstLine = true;      // no line written yet
    bool inLongWord = false;    // in the middle of writing a word longer than a line
    bool skippingBlanks = false; // after a line, before the start of the next
};

// The most a piece can keep: a line of kMaxRightMargin columns, its blanks
// and the start of the word after it. A buffer larger than this always lets
// the formatting move on.
constexpr std::size_t kParagraphHeldMax = 5 * kMaxRightMargin + 64;

// Formats text[0..n), the bytes read since the last call after those the
// last call kept at the front of the buffer. Writes every line these bytes
// decide through `sink`, moves the bytes the next line still needs to the
// front of `text` and returns their count (at most kParagraphHeldMax); the
// next piece is to be read after them. With `end` the text ends here, all of
// it is formatted and 0 returned. `*ok` becomes false when the sink refuses.
std::size_t FormatParagraphsPiece(ParagraphState& state, unsigned char* text, std::size_t n, bool end, ByteSink sink,
                                  void* context, bool* ok);
