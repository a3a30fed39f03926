#include "core/charset/convert.h"
#include "core/charset/tables.h"
#include "core/text/line_breaks.h"
#include "core/text/quoted_printable.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;


std::string Convert(std::string text, int from, int to) {
    ConvertBytes(reinterpret_cast<unsigned char*>(text.data()), text.size(), from, to);
    return text;
}

std::string Translit(const std::string& text, int displayCodePage) {
    const Bytes out =
        Transliterate(reinterpret_cast<const unsigned char*>(text.data()), text.size(), displayCodePage);
    return std::string(out.begin(), out.end());
}

std::string Qp(const std::string& text) {
    const Bytes out = DecodeQuotedPrintable(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return std::string(out.begin(), out.end());
}

std::string LineBreak(const std::string& text) {
    const Bytes out = RepairLineBreaks(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return std::string(out.begin(), out.end());
}

// Conversions of the encodings menu.

TEST(TableConversion, AnsiToAnsiGoesThroughOemAndKeepsApproximations) {
    // euro, guillemet, em dash, and a letter that survives
    EXPECT_EQ(Convert("\x88\xAB\x97\xC0", ToOemTable[kCodePageAnsi], FromOemTable[kCodePageAnsi]), "?<-\xC0");
}

TEST(TableConversion, BetweenDisplayCodePagesWholeWord) {
    const std::string ansi = "Привет, мир";
    const std::string oem = "\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0";
    const std::string koi8 = "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2";
    EXPECT_EQ(Convert(ansi, ToOemTable[kCodePageAnsi], FromOemTable[kCodePageOem]), oem);
    EXPECT_EQ(Convert(ansi, ToOemTable[kCodePageAnsi], FromOemTable[kCodePageKoi8]), koi8);
    EXPECT_EQ(Convert(koi8, ToOemTable[kCodePageKoi8], FromOemTable[kCodePageAnsi]), ansi);
    EXPECT_EQ(Convert(oem, ToOemTable[kCodePageOem], FromOemTable[kCodePageAnsi]), ansi);
    EXPECT_EQ(Convert(oem, kNoTable, kNoTable), oem);
}

TEST(TableConversion, FidoSubstitutesEnAndErOnly) {
    // "Нр" and "на" shown as 1251: Н and р become Latin, the rest is CP866.
    EXPECT_EQ(Convert("Нр на", ToOemTable[kCodePageAnsi], kTableFido), "Hp \xAD\xA0");
    // Shown as CP866 already: only the substitution.
    EXPECT_EQ(Convert("\x8D\xE0\x8E", ToOemTable[kCodePageOem], kTableFido), "Hp\x8E");
}

TEST(TableConversion, MacGuillemetsAndDashesBecomeZero) {
    for (int cp : {kCodePageAnsi, kCodePageOem, kCodePageKoi8, kCodePageIso}) {
        const std::string out = Convert("\xC7\xC8\xD0\xD1", ToOemTable[kCodePageMac], FromOemTable[cp]);
        EXPECT_EQ(out, std::string(4, '\0')) << "to code page " << cp;
    }
}

TEST(TableConversion, BytesBelow0x80NeverChange) {
    std::string ascii;
    for (int b = 0; b < 0x80; ++b) ascii += static_cast<char>(b);
    ascii += ascii; // long enough for the wide path
    for (int from = -1; from < kTableCount; ++from)
        for (int to : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 9}) EXPECT_EQ(Convert(ascii, from, to), ascii);
}

TEST(TableConversion, IsoAndMacRoundTripOemLetters) {
    std::string letters;
    for (int b = 0x80; b <= 0xAF; ++b) letters += static_cast<char>(b);
    for (int b = 0xE0; b <= 0xF1; ++b) letters += static_cast<char>(b);
    letters += "\xFF";
    for (int cp : {kCodePageIso, kCodePageMac, kCodePageAnsi, kCodePageKoi8}) {
        // KOI8-R has no numero sign; the others do.
        if (cp != kCodePageKoi8) letters += "\xFC";
        const std::string there = Convert(letters, kNoTable, FromOemTable[cp]);
        EXPECT_NE(there, letters);
        EXPECT_EQ(Convert(there, ToOemTable[cp], kNoTable), letters) << "code page " << cp;
        if (cp != kCodePageKoi8) letters.pop_back();
    }
}

// Every buffer length and offset, every table, against a byte-by-byte
// reference: the wide path and its tail must agree with the table.
TEST(TableConversion, LongBuffersAgreeWithTheTableByteByByte) {
    std::mt19937 rng(1251);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes source(1000);
    for (auto& b : source) b = static_cast<unsigned char>(byte(rng));
    for (int t = 0; t < kTableCount; ++t) {
        const unsigned char* table = CodePageTableEntries(t);
        for (std::size_t offset : {0u, 1u, 7u}) {
            for (std::size_t n : {0u, 1u, 31u, 32u, 63u, 64u, 65u, 100u, 255u, 993u}) {
                Bytes data = source;
                TranslateTable(data.data() + offset, n, table);
                for (std::size_t i = 0; i < data.size(); ++i) {
                    const unsigned char s = source[i];
                    const bool inside = i >= offset && i < offset + n;
                    const unsigned char want = inside && s >= 0x80 ? table[s - 0x80] : s;
                    ASSERT_EQ(data[i], want) << "table " << t << " offset " << offset << " n " << n << " at " << i;
                }
            }
        }
    }
}

TEST(TableConversion, UnknownTableNumbersAreIgnored) {
    EXPECT_EQ(Convert("\x80\xFF", 8 + 2, 12), "\x80\xFF");
    EXPECT_EQ(Convert("\x80\xFF", kNoTable, kTableTranslit), "\x80\xFF"); // table 8 is no target
}

// Transliteration.

TEST(Transliteration, SameResultFromEveryDisplayCodePage) {
    EXPECT_EQ(Translit("Щука Ёж", kCodePageAnsi), "SHuka Ezh");
    EXPECT_EQ(Translit("\x99\xE3\xAA\xA0 \xF0\xA6", kCodePageOem), "SHuka Ezh");
    EXPECT_EQ(Translit("\xFD\xD5\xCB\xC1 \xB3\xD6", kCodePageKoi8), "SHuka Ezh");
    EXPECT_EQ(Translit("Ыы", kCodePageAnsi), "Iy");
}

TEST(Transliteration, TwelveLettersGetASecondLetter) {
    EXPECT_EQ(Translit("ЖЧШЩЮЯ", kCodePageAnsi), "ZHCHSHSHIUIA");
    EXPECT_EQ(Translit("жчшщюя", kCodePageAnsi), "zhchshshiuia");
    EXPECT_EQ(Translit("Съешь же ещё этих мягких французских булок, да выпей чаю", kCodePageAnsi),
              "S'esh' zhe eshe etih miagkih francuzskih bulok, da vypey chaiu");
}

TEST(Transliteration, OtherHighBytesStayCp866) {
    // Box drawing shown as CP866 stays as it is.
    EXPECT_EQ(Translit("\xB0\xC5\xDB\xF2\xFF", kCodePageOem), "\xB0\xC5\xDB\xF2\xFF");
    // Shown as 1251, the euro sign goes through CP866 to "?", and the
    // section sign to its CP866 byte.
    EXPECT_EQ(Translit("\x88\xA7", kCodePageAnsi), "?\x15");
    // NUL and line ends are copied.
    EXPECT_EQ(Translit(std::string("\x00\r\n", 3), kCodePageAnsi), std::string("\x00\r\n", 3));
}

TEST(Transliteration, OutputAtMostTwiceTheInput) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (int cp = 0; cp < kCodePageCount; ++cp) EXPECT_LE(Translit(all, cp).size(), 2 * all.size());
    EXPECT_EQ(Translit("", kCodePageAnsi), "");
}

// Quoted-printable decoding.

TEST(QuotedPrintable, UpperCaseHexPairsBecomeBytes) {
    EXPECT_EQ(Qp("=D8=E0"), "\xD8\xE0");
    EXPECT_EQ(Qp("a=3Db=00c"), std::string("a=b\0c", 5));
    EXPECT_EQ(Qp("==41"), "=A");
}

TEST(QuotedPrintable, EverythingElseStaysAsItIs) {
    EXPECT_EQ(Qp("=d8"), "=d8");
    EXPECT_EQ(Qp("=D8x=\r\n"), "\xD8x=\r\n"); // soft line break kept
    EXPECT_EQ(Qp("=4"), "=4");
    EXPECT_EQ(Qp("="), "=");
    EXPECT_EQ(Qp("=G1=1G"), "=G1=1G");
    EXPECT_EQ(Qp(""), "");
}

// Line-break repair.

TEST(LineBreak, LoneCrGetsLf) {
    EXPECT_EQ(LineBreak("a\rb"), "a\r\nb");
    EXPECT_EQ(LineBreak("a\r"), "a\r\n");
    EXPECT_EQ(LineBreak("\r\r"), "\r\n\r\n");
    EXPECT_EQ(LineBreak("a\r\nb\nc\n\r"), "a\r\nb\nc\n\r\n");
    EXPECT_EQ(LineBreak(""), "");
}

} // namespace
