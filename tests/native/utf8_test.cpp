#include "core/unicode/utf8.h"

#include "core/charset/char_map.h"
#include "core/charset/convert.h"
#include "core/charset/display_map.h"
#include "core/charset/tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The tests are compiled to Windows-1251; u8 literals keep their UTF-8.
std::string U8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }
std::string Str(const std::vector<unsigned char>& v) { return std::string(v.begin(), v.end()); }
const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

Utf8Conversion To(int cp, const std::string& utf8) { return Utf8ToCodePage(cp, Bytes(utf8), utf8.size()); }

TEST(Utf8, EveryByteOfEveryCodePageGoesToUtf8AndBack) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (int cp = 0; cp < kCodePageCount; ++cp) {
        SCOPED_TRACE(cp);
        std::set<char32_t> seen;
        for (int b = 0; b < 256; ++b) EXPECT_TRUE(seen.insert(CodePageChar(cp, static_cast<unsigned char>(b))).second) << b;
        const std::string utf8 = Str(CodePageToUtf8(cp, Bytes(all), all.size()));
        EXPECT_TRUE(LooksLikeUtf8(Bytes(utf8), utf8.size(), false));
        const Utf8Conversion back = To(cp, utf8);
        EXPECT_EQ(Str(back.bytes), all);
        EXPECT_EQ(back.substitutes, 0u);
    }
    // The three display code pages read as the editor shows them, but for
    // the two bytes of 1251 the editor shows as other characters than they
    // stand for: the soft hyphen and the unassigned 0x98 go to UTF-8 as
    // themselves, and the characters shown for them are missing from 1251.
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
        for (int b = 0; b < 256; ++b) {
            if (cp == kCodePageAnsi && (b == 0xAD || b == 0x98)) continue;
            EXPECT_EQ(CodePageChar(cp, static_cast<unsigned char>(b)), DisplayChar(cp, static_cast<unsigned char>(b)));
        }
    }
    EXPECT_EQ(Str(CodePageToUtf8(kCodePageAnsi, Bytes("a\xAD\x98"), 3)), "a\xC2\xAD\xC2\x98");
    const Utf8Conversion shown = To(kCodePageAnsi, U8(u8"\u2011\uFFFD"));
    EXPECT_EQ(Str(shown.bytes), "-?");
    EXPECT_EQ(shown.substitutes, 2u);
    EXPECT_EQ(Str(CodePageToUtf8(kCodePageKoi8, Bytes("\xF0\xD2\xC9"), 3)), U8(u8"При"));
    EXPECT_EQ(Str(CodePageToUtf8(kCodePageIso, Bytes("\xBF\xE0\xF0"), 3)), U8(u8"Пр№"));
    EXPECT_EQ(Str(CodePageToUtf8(kCodePageMac, Bytes("\x8F\xF0\xDF"), 3)), U8(u8"Пря"));
}

TEST(Utf8, IsoAndMacLettersAgreeWithTheConversionTables) {
    // The editor's tables take every Russian letter of ISO 8859-5 and Mac
    // Cyrillic to the CP866 byte of the same letter. (The other letters, such
    // as Є, go to look-alikes there; UTF-8 keeps their own bytes.)
    for (int cp : {kCodePageIso, kCodePageMac}) {
        int letters = 0;
        for (int b = 0x80; b < 0x100; ++b) {
            const char32_t c = CodePageChar(cp, static_cast<unsigned char>(b));
            if (!(c >= 0x0410 && c <= 0x044F) && c != 0x0401 && c != 0x0451) continue;
            unsigned char oem = static_cast<unsigned char>(b);
            ConvertBytes(&oem, 1, ToOemTable[cp], kNoTable);
            EXPECT_EQ(oem, DisplayByte(kCodePageOem, static_cast<char16_t>(c))) << cp << " byte " << b;
            ++letters;
        }
        EXPECT_EQ(letters, 66) << cp;
    }
}

TEST(Utf8, MissingCharactersBecomeTheEditorsSubstitutesAndAreCounted) {
    // Box drawing in 1251 takes the display map's approximation, as pasted
    // Unicode text does in the editor.
    const Utf8Conversion box = To(kCodePageAnsi, U8(u8"╔═╗ ok"));
    EXPECT_EQ(box.substitutes, 3u);
    EXPECT_EQ(box.bytes[0], DisplayByte(kCodePageAnsi, 0x2554));
    EXPECT_EQ(Str(box.bytes).substr(3), " ok");
    // KOI8-R has no guillemets; the same rule holds for ISO and Mac through CP866.
    const Utf8Conversion koi = To(kCodePageKoi8, U8(u8"«Да»"));
    EXPECT_EQ(koi.substitutes, 2u);
    EXPECT_EQ(Str(koi.bytes).substr(1, 2), "\xE4\xC1");
    EXPECT_EQ(koi.bytes[0], DisplayByte(kCodePageKoi8, u'«'));
    const Utf8Conversion iso = To(kCodePageIso, U8(u8"─Ж"));
    EXPECT_EQ(iso.substitutes, 1u);
    unsigned char dash = DisplayByte(kCodePageOem, 0x2500);
    ConvertBytes(&dash, 1, kNoTable, FromOemTable[kCodePageIso]);
    EXPECT_EQ(Str(iso.bytes), std::string(1, static_cast<char>(dash)) + "\xB6");
    // Characters no code page has, above U+FFFF too, become '?'.
    const Utf8Conversion far = To(kCodePageOem, U8(u8"a中😀b"));
    EXPECT_EQ(Str(far.bytes), "a??b");
    EXPECT_EQ(far.substitutes, 2u);
    // A leading byte order mark is dropped, not substituted; a later one is a character.
    const Utf8Conversion bom = To(kCodePageAnsi, U8(u8"\xEF\xBB\xBFЯ\xEF\xBB\xBF"));
    EXPECT_EQ(Str(bom.bytes), "\xDF?");
    EXPECT_EQ(bom.substitutes, 1u);
}

TEST(Utf8, EachMalformedByteBecomesOneSubstitute) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"stray continuation", U8(u8"\x80Я"), "?\xDF"},
        {"lead without continuation", U8(u8"\xD0Я"), "?\xDF"},
        {"cut at the end", U8(u8"Я\xE2\x82"), "\xDF??"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"overlong three bytes", "\xE0\x80\xAF", "???"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"never a lead", "\xF5\xFF\xFE", "???"},
        {"Latin-1 byte in a word", "caf\xE9 ok", "caf? ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Utf8Conversion r = To(kCodePageAnsi, c.in);
        EXPECT_EQ(Str(r.bytes), c.out);
        std::size_t marks = 0;
        for (char ch : c.out) marks += ch == '?';
        EXPECT_EQ(r.substitutes, marks);
        const Utf8Conversion clean = CleanUtf8(Bytes(c.in), c.in.size());
        EXPECT_EQ(clean.substitutes, marks);
        EXPECT_FALSE(LooksLikeUtf8(Bytes(c.in), c.in.size(), false));
    }
    // Well-formed UTF-8 passes CleanUtf8 unchanged, four-byte characters included.
    const std::string good = U8(u8"Ёж 😀 ─ €");
    EXPECT_EQ(Str(CleanUtf8(Bytes(good), good.size()).bytes), good);
    EXPECT_EQ(CleanUtf8(Bytes(good), good.size()).substitutes, 0u);
}

TEST(Utf8, LooksLikeUtf8OnlyForWellFormedTextAboveAscii) {
    const std::string ascii = "plain ASCII text\r\n";
    EXPECT_FALSE(LooksLikeUtf8(Bytes(ascii), ascii.size(), false));
    EXPECT_FALSE(LooksLikeUtf8(nullptr, 0, true));
    const std::string russian = U8(u8"Привет, мир");
    EXPECT_TRUE(LooksLikeUtf8(Bytes(russian), russian.size(), false));
    // The same words in the three code pages are not UTF-8.
    for (int cp = 0; cp < kCodePageCount; ++cp) {
        const std::string bytes = Str(To(cp, russian).bytes);
        EXPECT_FALSE(LooksLikeUtf8(Bytes(bytes), bytes.size(), true)) << cp;
    }
    // A sample cut inside its last character still counts, a whole file does not.
    const std::string cut = russian.substr(0, russian.size() - 1);
    EXPECT_TRUE(LooksLikeUtf8(Bytes(cut), cut.size(), true));
    EXPECT_FALSE(LooksLikeUtf8(Bytes(cut), cut.size(), false));
    // A cut lead byte after nothing but ASCII is no evidence.
    EXPECT_FALSE(LooksLikeUtf8(Bytes("abc\xD0"), 4, true));
}

} // namespace
