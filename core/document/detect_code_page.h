// The code-page guess made after every load.
#pragma once

#include <cstddef>

// The loader hands over at most this many bytes from the start of the text.
constexpr std::size_t kDetectSampleSize = 1276;

// Guesses the code page of `n` bytes: 0 (Windows-1251), 1 (CP866) or
// 2 (KOI8-R). The bytes are taken as unsigned values; the two bytes after the
// end read as 0. Counts typical CP866 bytes against typical 1251 small letters
// and, failing CP866, looks for the start of a capitalised KOI8-R word.
int DetectCodePage(const unsigned char* b, std::size_t n);
