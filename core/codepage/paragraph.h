// Paragraph formatting of the alignment menu: the text is rewritten into lines
// that end at a right margin, with the words justified, centred, or aligned
// left or right. A pure function of the bytes and four numbers.
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
