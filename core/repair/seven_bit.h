// KOI8-R whose eighth bit a mail relay stripped: its letters are left as
// ASCII 0x40..0x7E ("tEKST" for "Текст"), and its ё as '#'.
#pragma once

#include <cstddef>

#include "core/repair/encodings.h"

namespace repair {

// The text restored: '#' between two letters is ё. `before` is the byte
// before the text (0 for none); `letterAfter` says whether a letter
// follows it.
void SevenBitText(const unsigned char* p, std::size_t n, unsigned char before, bool letterAfter, const Tables& t,
                  Text& out);

// Whether ASCII text is such KOI8-R: the restored text must read as Russian
// clearly better than its letters as they stand read as Latin (English, or
// Russian written in Latin letters), and as Russian text does. Then `text`
// is the restored text and `cost` its cost.
bool ReadsAsSevenBit(const unsigned char* p, std::size_t n, const Tables& t, Text& text, long& cost);

} // namespace repair
