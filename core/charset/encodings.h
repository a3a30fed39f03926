// The encodings the program names: the five code pages, numbered as in
// tables.h, and UTF-8 after them. One row per encoding holds every name it
// goes by, so a new code page is a row here and its tables.
#pragma once

#include <string_view>

#include "core/charset/tables.h"

// UTF-8 as an encoding beside the code pages: in lork2-text's convert and
// repair, the encodings dialog's lists and the repair's readings.
constexpr int kEncodingUtf8 = kCodePageCount;
constexpr int kEncodingCount = kCodePageCount + 1;

struct Encoding {
    int id;                  // its index in kEncodings
    const char* cliName;     // as lork2-text takes it: "ansi"
    const char* caption;     // as the user sees it in the lists and the status bar: "ANSI (1251)"
    const char* iconvName;   // glibc iconv's name, for the tests and benches: "CP1251"
    const char* readingName; // in the repair's plain words: "cp1251"
    const char* shortName;   // in the repair's Russian words: "1251"
};
inline constexpr Encoding kEncodings[kEncodingCount] = {
    {kCodePageAnsi, "ansi", "ANSI (1251)", "CP1251", "cp1251", "1251"},
    {kCodePageOem, "oem", "OEM (866)", "CP866", "cp866", "866"},
    {kCodePageKoi8, "koi8", "KOI8 R", "KOI8-R", "koi8-r", "KOI8-R"},
    {kCodePageIso, "iso", "ISO", "ISO-8859-5", "iso-8859-5", "ISO 8859-5"},
    {kCodePageMac, "mac", "MAC", "MAC-CYRILLIC", "mac-cyrillic", "Mac"},
    {kEncodingUtf8, "utf8", "UTF-8", "UTF-8", "utf8", "UTF-8"},
};
static_assert([] {
    for (int e = 0; e < kEncodingCount; ++e)
        if (kEncodings[e].id != e) return false;
    return true;
}());

// The encoding lork2-text's `name` stands for among the ids 0..highest, or -1.
constexpr int EncodingByCliName(std::string_view name, int highest) {
    for (int e = 0; e <= highest && e < kEncodingCount; ++e)
        if (name == kEncodings[e].cliName) return e;
    return -1;
}
