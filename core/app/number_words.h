// Numbers as the program's Russian messages write them: thousands apart by a
// no-break space (0xA0 in 1251, so a message box never breaks "307 200"
// across two lines), and the noun after a number in the form Russian takes
// ("1 знак", "2 знака", "5 знаков", "21 знак", "11 знаков").
#pragma once

#include <cstdint>
#include <string>

// The no-break space of 1251 that separates the groups of three digits.
constexpr char kNoBreakSpace = '\xA0';

// n (0 for a negative one) with its groups of three digits apart.
std::string GroupedNumber(int64_t n);
// The noun's form after n: `one` after 1, 21, 101 ...; `few` after 2-4,
// 22-24 ...; `many` after 0, 5-20, 25-30 ... (11-14 take `many`).
const char* NounAfter(int64_t n, const char* one, const char* few, const char* many);
// The grouped number, a blank and the noun's form: "2 097 152 знака".
std::string CountWords(int64_t n, const char* one, const char* few, const char* many);
