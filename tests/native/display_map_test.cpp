#include "core/charset/display_map.h"
#include "core/editor/byte_find.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

const unsigned char* Bytes(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

TEST(DisplayMap, EveryByteHasItsOwnCharacterAndComesBack) {
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
        SCOPED_TRACE(cp);
        std::set<char16_t> seen;
        for (int b = 0; b < 256; ++b) {
            char16_t c = DisplayChar(cp, static_cast<unsigned char>(b));
            EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
            EXPECT_TRUE(HasDisplayByte(cp, c));
            EXPECT_EQ(DisplayByte(cp, c), b);
            if (b < 0x80) {
                EXPECT_EQ(c, b);
            }
        }
        unsigned char all[256];
        char16_t chars[256];
        unsigned char back[256];
        for (int b = 0; b < 256; ++b) all[b] = static_cast<unsigned char>(b);
        DecodeDisplayBytes(cp, all, 256, chars);
        EncodeDisplayChars(cp, chars, 256, back);
        EXPECT_EQ(0, memcmp(all, back, 256));
    }
}

TEST(DisplayMap, KnownLettersOfEachCodePage) {
    EXPECT_EQ(DisplayChar(0, 0xC0), u'А');
    EXPECT_EQ(DisplayChar(0, 0xB8), u'ё');
    EXPECT_EQ(DisplayChar(0, 0x98), 0xFFFD); // unassigned in 1251: the replacement character
    EXPECT_EQ(DisplayChar(1, 0x80), u'А');
    EXPECT_EQ(DisplayChar(1, 0xC9), 0x2554 /* ╔ */);
    EXPECT_EQ(DisplayChar(1, 0xF0), u'Ё');
    EXPECT_EQ(DisplayChar(2, 0xE1), u'А');
    EXPECT_EQ(DisplayChar(2, 0xC1), u'а');
    EXPECT_EQ(DisplayChar(2, 0xA0), 0x2550 /* ═ */);
    // Out-of-range code-page numbers read as 1251.
    EXPECT_EQ(DisplayChar(7, 0xC0), u'А');
}

// The control hides format characters, breaks and joins at them and puts
// combining marks onto the character before: no byte from the blank up may
// show as one, or it would hide itself or its neighbours.
TEST(DisplayMap, NoByteShowsAsAnInvisibleOrCombiningCharacter) {
    auto invisible = [](char16_t c) {
        return c == 0x00AD || (c >= 0x0080 && c <= 0x009F) || (c >= 0x0300 && c <= 0x036F) ||
               (c >= 0x0483 && c <= 0x0489) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
               (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
    };
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
        for (int b = 0x20; b < 256; ++b) {
            const char16_t c = DisplayChar(cp, static_cast<unsigned char>(b));
            EXPECT_FALSE(invisible(c)) << "code page " << cp << " byte " << b << " shows U+" << std::hex
                                       << static_cast<int>(c);
        }
    }
    // The soft hyphen of 1251 shows as a hyphen that is not a break.
    EXPECT_EQ(DisplayChar(0, 0xAD), 0x2011);
    EXPECT_EQ(DisplayByte(0, 0x2011), 0xAD);
}

TEST(DisplayMap, CharacterWithoutAByteTakesTheTablesApproximationElseQuestionMark) {
    EXPECT_FALSE(HasDisplayByte(0, 0x03B1 /* α */));
    EXPECT_EQ(DisplayByte(0, 0x03B1 /* α */), '?');
    EXPECT_EQ(DisplayByte(1, 0x4E00), '?');
    // Box drawing in 1251: the approximations of the 866 -> 1251 table.
    EXPECT_EQ(DisplayByte(0, 0x2554 /* ╔ */), 0xE3);
    EXPECT_EQ(DisplayByte(0, 0x2550 /* ═ */), '=');
    EXPECT_EQ(DisplayByte(0, 0x2502 /* │ */), 0xA6);
    // Typographic quotes and the euro sign in 866 and KOI8-R.
    EXPECT_EQ(DisplayByte(1, 0x00AB /* « */), '<');
    EXPECT_EQ(DisplayByte(1, 0x20AC /* € */), '?');
    EXPECT_EQ(DisplayByte(1, 0x2014 /* — */), '-');
    EXPECT_EQ(DisplayByte(2, 0x0404 /* Є */), 'E');
    EXPECT_FALSE(HasDisplayByte(2, 0x0404));
}

TEST(DisplayMap, CaseFoldAndWordLettersFollowTheShownCharacter) {
    EXPECT_EQ(FoldDisplayCase(0, 0xC0), 0xE0); // А -> а in 1251
    EXPECT_EQ(FoldDisplayCase(0, 0xA8), 0xB8); // Ё -> ё
    EXPECT_EQ(FoldDisplayCase(1, 0x80), 0xA0); // А -> а in 866
    EXPECT_EQ(FoldDisplayCase(1, 0x9F), 0xEF); // Я -> я
    EXPECT_EQ(FoldDisplayCase(2, 0xE1), 0xC1); // А -> а in KOI8-R
    EXPECT_EQ(FoldDisplayCase(2, 0xB3), 0xA3); // Ё -> ё
    EXPECT_EQ(FoldDisplayCase(0, 'Q'), 'q');
    EXPECT_EQ(FoldDisplayCase(1, 0xC9), 0xC9); // box drawing has no case
    EXPECT_TRUE(IsDisplayWordByte(0, 0xC0));
    EXPECT_TRUE(IsDisplayWordByte(1, 0xE0));
    EXPECT_FALSE(IsDisplayWordByte(1, 0xC9));
    EXPECT_FALSE(IsDisplayWordByte(0, 0xAB)); // «
    EXPECT_TRUE(IsDisplayWordByte(2, '_'));
    EXPECT_FALSE(IsDisplayWordByte(2, '-'));
}

TEST(ByteFind, CaseFoldingCoversCyrillicOfTheDisplayCodePage) {
    // "Привет мир" in 1251 and in 866, searched for in the other case.
    const char ansi[] = "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0";
    const char ansiNeedle[] = "\xEF\xd0\xc8\xc2\xc5\xd2"; // "пРИВЕТ"
    EXPECT_EQ(FindInView(Bytes(ansi), 10, 0, 10, Bytes(ansiNeedle), 6, 0, 0), 0);
    EXPECT_EQ(FindInView(Bytes(ansi), 10, 0, 10, Bytes(ansiNeedle), 6, kFindMatchCase, 0), -1);
    const char oem[] = "abc \x8F\xE0\xA8\xA2\xA5\xE2"; // "abc Привет"
    const char oemNeedle[] = "\xAF\x90\x88"; // "пРИ"
    EXPECT_EQ(FindInView(Bytes(oem), 10, 0, 10, Bytes(oemNeedle), 3, 0, 1), 4);
    // The same bytes read as 1251 are not letters of one case pair.
    EXPECT_EQ(FindInView(Bytes(oem), 10, 0, 10, Bytes(oemNeedle), 3, 0, 0), -1);
}

TEST(ByteFind, MatchMustLieInsideTheRange) {
    const char text[] = "one two one";
    EXPECT_EQ(FindInView(Bytes(text), 11, 1, 11, Bytes("one"), 3, 0, 0), 8);
    EXPECT_EQ(FindInView(Bytes(text), 11, 0, 10, Bytes("one"), 3, 0, 0), 0);
    EXPECT_EQ(FindInView(Bytes(text), 11, 1, 10, Bytes("one"), 3, 0, 0), -1);
    EXPECT_EQ(FindInView(Bytes(text), 11, 5, 5, Bytes("o"), 1, 0, 0), -1);
    EXPECT_EQ(FindInView(Bytes(text), 11, 0, 99, Bytes("one"), 3, kFindMatchCase, 0), 0);
    // Bytes zero and line breaks are ordinary bytes.
    const unsigned char raw[] = {'a', 0, '\r', 0, 'b'};
    const unsigned char needle[] = {0, 'b'};
    EXPECT_EQ(FindInView(raw, 5, 0, 5, needle, 2, 0, 0), 3);
}

TEST(ByteFind, WholeWordLooksAtTheNeighboursOutsideTheRange) {
    const char text[] = "cat concat cat_ cat.";
    EXPECT_EQ(FindInView(Bytes(text), 20, 0, 20, Bytes("cat"), 3, kFindWholeWord, 0), 0);
    EXPECT_EQ(FindInView(Bytes(text), 20, 1, 20, Bytes("cat"), 3, kFindWholeWord, 0), 16);
    // The range starts inside "concat": the letter before still counts.
    EXPECT_EQ(FindInView(Bytes(text), 20, 7, 10, Bytes("cat"), 3, kFindWholeWord, 0), -1);
    // Cyrillic letters are word letters: "кот" inside "котик" is no whole word.
    const char ru[] = "\xEA\xEE\xF2\xE8\xEA \xEA\xEE\xF2";
    EXPECT_EQ(FindInView(Bytes(ru), 9, 0, 9, Bytes("\xEA\xEE\xF2"), 3, kFindWholeWord, 0), 6);
}

size_t Right(const std::string& s, size_t p) {
    return WordBreakRightInView(Bytes(s.c_str()), s.size(), p, 0);
}
size_t Left(const std::string& s, size_t p) { return WordBreakLeftInView(Bytes(s.c_str()), s.size(), p, 0); }

TEST(WordRule, RightStepsOverTheRunAndTheBlanksAfterIt) {
    std::string s = "ab  cd,,  e\r\nf\rg";
    EXPECT_EQ(Right(s, 0), 4u);
    EXPECT_EQ(Right(s, 1), 4u);
    EXPECT_EQ(Right(s, 2), 4u);
    EXPECT_EQ(Right(s, 4), 6u);  // letters stop at the signs
    EXPECT_EQ(Right(s, 6), 10u); // signs and the blanks after them
    EXPECT_EQ(Right(s, 10), 11u);
    EXPECT_EQ(Right(s, 11), 13u); // CR LF is one step
    EXPECT_EQ(Right(s, 14), 15u); // a lone CR too
    EXPECT_EQ(Right(s, 16), 16u); // the end stays the end
    EXPECT_EQ(Right(s, 99), 16u);
    EXPECT_EQ(Right("", 0), 0u);
}

TEST(WordRule, LeftStepsBackToTheWordStart) {
    std::string s = "ab  cd,,  e\r\n  f";
    EXPECT_EQ(Left(s, 0), 0u);
    EXPECT_EQ(Left(s, 1), 0u);
    EXPECT_EQ(Left(s, 4), 0u);
    EXPECT_EQ(Left(s, 6), 4u);
    EXPECT_EQ(Left(s, 10), 6u);
    EXPECT_EQ(Left(s, 13), 11u); // back over CR LF
    EXPECT_EQ(Left(s, 15), 13u); // blanks opening a line stop at its start
    EXPECT_EQ(Left(s, 16), 15u);
    EXPECT_EQ(Left(s, 99), 15u);
    // Cyrillic letters of the display code page make one word.
    std::string ru = "x \x8F\xE0\xA8";
    EXPECT_EQ(WordBreakLeftInView(Bytes(ru.c_str()), 5, 5, 1), 2u);
    EXPECT_EQ(WordBreakRightInView(Bytes(ru.c_str()), 5, 2, 1), 5u);
}

} // namespace
