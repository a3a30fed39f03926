// UTF-8 and UTF-16 files as documents of a display code page. A file that is
// UTF-16 by its mark, or well-formed UTF-8 with a character above ASCII (or
// with the UTF-8 mark), is a Unicode document. It is read into the first
// display code page that holds every one of its characters (1251, then 866,
// then KOI8-R), or, when none holds them all, the one that holds the most
// (of equals, the first in that order); the document remembers how the file
// was written. A character is read into the byte that stands for it in the
// code page (CodePageChar of char_map.h, so 1251's soft hyphen and its
// unassigned 0x98 are themselves); characters only shown for a byte (1251's
// U+2011 and U+FFFD) are held by no code page. Every other character, and
// U+001A and U+001C (the stand-ins' own characters), is foreign
// (foreign_units.h): its units, two for one beyond the BMP, are kept in
// order beside the text, each read as its stand-in byte. Saving the text
// with its foreign units in the file's encoding again writes the very same
// bytes when nothing was edited. Any other file is a byte document; one
// that breaks the promise of its mark is one too, and the reading says why.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/unicode/foreign_units.h"

// How a document is written to its file. Bytes: the code page's own bytes,
// as shown. The UTF-16 encodings always start with their mark.
enum class FileEncoding : int { Bytes, Utf8, Utf8Bom, Utf16Le, Utf16Be };
constexpr int kFileEncodingCount = 5;

// A short name for the status bar and Save As: "UTF-8", "UTF-8 BOM",
// "UTF-16 LE", "UTF-16 BE"; "" for Bytes (the code page's name says it all).
const char* FileEncodingName(FileEncoding e);

// Why a file that looked like Unicode stays a byte document.
enum class UnicodeRefusal : int {
    None,             // a Unicode document, or an ordinary byte file
    Utf16OddLength,   // a UTF-16 mark, but an odd number of bytes
    Utf16Surrogate,   // a UTF-16 surrogate without its partner
    Utf8AfterMark,    // the UTF-8 mark, then bytes that are not UTF-8
};

struct UnicodeReading {
    FileEncoding encoding = FileEncoding::Bytes; // Bytes: open the file as it is
    int codePage = 0;                            // the display code page of `text`
    std::vector<unsigned char> text;             // the text in that code page, with stand-ins
    ForeignUnits foreign;                        // the units of the stand-ins, in order
    UnicodeRefusal refusal = UnicodeRefusal::None;
    char32_t character = 0;   // Utf16Surrogate: the unit; Utf8AfterMark: the byte
    std::size_t offset = 0;   // where in the file it starts
};

// The display code pages that have a byte for character `c`: bit k for
// code page k.
unsigned DisplayCodePagesHolding(char32_t c);

// Recognises the file and, for a Unicode document, reads its text and its
// foreign units. The text is never longer than the file (a character takes
// at least one byte in UTF-8 and two in UTF-16, and at most two bytes of the
// text), nor are the foreign units more, so the file's size bounds the
// memory it needs.
UnicodeReading ReadUnicodeFile(const unsigned char* bytes, std::size_t n);

// The status bar's explanation of a refusal, in the program's 1251; "" for None.
std::string UnicodeRefusalText(const UnicodeReading& r);

// Text in code page `cp` (0..4 as in tables.h) written as `e`: the mark
// first where `e` has one, then every byte as its character (CodePageChar).
// Line ends stay as they stand. Bytes writes the text unchanged. Without a
// cursor, a stand-in is written as its own character too. With one, each
// stand-in writes the cursor's next unit and advances it: in UTF-16 as that
// unit; in UTF-8 as its character, except that a high surrogate followed in
// the cursor by a low one writes the four bytes of the pair, and the low
// one's stand-in then writes nothing (ForeignCursor::lowTaken). A surrogate
// without its partner writes U+FFFD in both, and a stand-in with no unit
// left its own character. The size is at most 3n + 3 (UTF-8) or 2n + 2
// (UTF-16); EncodedUnicodeSize gives it exactly for the piece and the
// cursor as they are (the cursor is not advanced), and
// EncodeUnicodeFileInto fills a buffer of that size. A long text may go in
// pieces of any length through one reused buffer and one cursor: the first
// piece `withMark`, the others without.
std::size_t EncodedUnicodeSize(FileEncoding e, int cp, const unsigned char* text, std::size_t n,
                               bool withMark = true, const ForeignCursor* foreign = nullptr);
void EncodeUnicodeFileInto(FileEncoding e, int cp, const unsigned char* text, std::size_t n, unsigned char* out,
                           bool withMark = true, ForeignCursor* foreign = nullptr);

// Text of display code page `from` as the bytes of display code page `to`,
// into `out`; false (out unspecified) when `to` lacks one of its characters.
bool RecodeExactly(int from, const std::vector<unsigned char>& text, int to, std::vector<unsigned char>& out);

// A Unicode document's text (n bytes of code page `cp` with its foreign
// units) as UTF-8, and UTF-8 back as bytes of `cp` with the units of what
// it lacks (a sequence that is not UTF-8 as U+FFFD): for the commands that
// read the characters themselves (the text repair).
std::vector<unsigned char> CharactersAsUtf8(int cp, const unsigned char* text, std::size_t n,
                                            const ForeignUnits& foreign);
void Utf8AsCharacters(int cp, const unsigned char* utf8, std::size_t n, std::vector<unsigned char>& bytes,
                      ForeignUnits& foreign);
