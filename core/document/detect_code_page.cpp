#include "core/document/detect_code_page.h"

namespace {

// Which class each byte value belongs to.
enum : unsigned char { kOther = 0, kAnsiLetter = 1, kOemByte = 2 };

struct ByteClasses {
    unsigned char of[256] = {};
    constexpr ByteClasses() {
        // Windows-1251 small letters т у ы ь ю я.
        const unsigned char ansi[] = {0xF2, 0xF3, 0xFB, 0xFC, 0xFE, 0xFF};
        for (unsigned char c : ansi) of[c] = kAnsiLetter;
        // CP866 А Е И О У а е и к and the box drawing ░ ▒ ▓ ┤ ║ ┐.
        const unsigned char oem[] = {0x80, 0x85, 0x88, 0x8E, 0x93, 0xA0, 0xA5, 0xA8,
                                     0xAA, 0xB0, 0xB1, 0xB2, 0xB4, 0xBA, 0xBF};
        for (unsigned char c : oem) of[c] = kOemByte;
    }
};
constexpr ByteClasses kClasses;

} // namespace

int DetectCodePage(const unsigned char* b, std::size_t n) {
    std::size_t ansi = 0;
    std::size_t oem = 0;
    bool koi8Word = false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = b[i];
        ansi += kClasses.of[c] == kAnsiLetter;
        oem += kClasses.of[c] == kOemByte;
        // A byte below "a", a KOI8-R capital (E0..FF), then a KOI8-R small
        // letter (C0..DF); the bytes past the end read as 0 and never match.
        if (!koi8Word && c < 0x61 && i + 2 < n && b[i + 1] >= 0xE0 && b[i + 2] >= 0xC0 && b[i + 2] <= 0xDF)
            koi8Word = true;
    }
    if (oem > ansi) return 1;
    if (koi8Word) return 2;
    return 0;
}
