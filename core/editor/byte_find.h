// Finding bytes and word boundaries in document text, judged by what each
// byte shows in the display code page. These work on a view of the text the
// caller has fetched; the view may be only a piece of the document.
#pragma once

#include <cstddef>

// Find flags, with the values of the rich-edit control's FR_ flags.
constexpr unsigned kFindWholeWord = 2; // FR_WHOLEWORD
constexpr unsigned kFindMatchCase = 4; // FR_MATCHCASE

// The first match of `needle` (m bytes, m > 0) lying wholly inside
// [from, to) of the view `text` (n bytes), or -1. Without kFindMatchCase the
// bytes are compared case-folded in display code page `cp`; with
// kFindWholeWord the bytes just before and just after the match (which may
// lie outside [from, to), inside the view) must not be word letters.
std::ptrdiff_t FindInView(const unsigned char* text, std::size_t n, std::size_t from, std::size_t to,
                          const unsigned char* needle, std::size_t m, unsigned flags, int cp);

// The word rule. A line break (CR LF, a lone CR or a lone LF) is a unit of
// its own; spaces and tabs are blanks; every other byte is a word letter or
// a sign, and a word is a run of one of the two kinds.
// Right of `pos`: over the line break at `pos`, or over the run at `pos` and
// the blanks after it. Left of `pos`: back over blanks, then over one line
// break or over the run before them. The result is a position in [0, n].
std::size_t WordBreakRightInView(const unsigned char* text, std::size_t n, std::size_t pos, int cp);
std::size_t WordBreakLeftInView(const unsigned char* text, std::size_t n, std::size_t pos, int cp);
