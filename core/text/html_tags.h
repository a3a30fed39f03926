// What counts as an HTML tag, for the colouring on the screen and the marks
// in print alike: a "<" opens a tag, a later "<" before the ">" opens it
// afresh, and the first ">" closes it; a "<" with no ">" after it opens none.
#pragma once

#include <cstddef>
#include <optional>

struct HtmlTagSpan {
    std::size_t start; // the "<"
    std::size_t end;   // just after the ">"
};

// The first tag of bytes[0, n) whose opening "<" lies at or after `from`;
// nothing when there is none. The search for the opening stops at
// `openBefore` (a caller that looks at part of the text need not read past
// it); a tag that opens there runs on to its ">" wherever that is.
std::optional<HtmlTagSpan> NextHtmlTag(const unsigned char* bytes, std::size_t n, std::size_t from,
                                       std::size_t openBefore = static_cast<std::size_t>(-1));
