#include "core/unicode/unicode_file.h"

#include "core/charset/char_map.h"
#include "core/charset/display_map.h"
#include "core/charset/tables.h"
#include "core/unicode/foreign_units.h"
#include "core/unicode/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Of(const char8_t* s) { return Of(std::string(reinterpret_cast<const char*>(s))); }

// The characters of well-formed UTF-8, and characters written as a file of
// each encoding, independently of the code under test.
std::u32string Chars(const Bytes& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned b = utf8[i];
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (int k = 1; k < length; ++k) c = c << 6 | (utf8[i + k] & 0x3F);
        out += c;
        i += length;
    }
    return out;
}

Bytes FileOf(FileEncoding e, const std::u32string& chars) {
    Bytes out;
    const bool utf16 = e == FileEncoding::Utf16Le || e == FileEncoding::Utf16Be;
    const auto unit = [&](char32_t u) {
        out.push_back(static_cast<unsigned char>(e == FileEncoding::Utf16Be ? u >> 8 : u));
        out.push_back(static_cast<unsigned char>(e == FileEncoding::Utf16Be ? u : u >> 8));
    };
    if (e == FileEncoding::Utf8Bom) out = {0xEF, 0xBB, 0xBF};
    if (utf16) unit(0xFEFF);
    for (char32_t c : chars) {
        if (utf16 && c > 0xFFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else if (utf16) {
            unit(c);
        } else if (c < 0x80) {
            out.push_back(static_cast<unsigned char>(c));
        } else {
            const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
            out.push_back(static_cast<unsigned char>((0xF00 >> length) | c >> (6 * (length - 1))));
            for (int k = length - 2; k >= 0; --k) out.push_back(static_cast<unsigned char>(0x80 | ((c >> (6 * k)) & 0x3F)));
        }
    }
    return out;
}

const FileEncoding kUnicode[] = {FileEncoding::Utf8, FileEncoding::Utf8Bom, FileEncoding::Utf16Le,
                                 FileEncoding::Utf16Be};

// The text written as Save writes it, with its foreign units where it has
// them.
Bytes Encoded(FileEncoding e, int cp, const Bytes& text, const ForeignUnits* foreign = nullptr) {
    ForeignCursor cursor{foreign ? foreign->data() : nullptr, foreign ? foreign->size() : 0};
    ForeignCursor* c = foreign ? &cursor : nullptr;
    Bytes out(EncodedUnicodeSize(e, cp, text.data(), text.size(), true, c));
    EncodeUnicodeFileInto(e, cp, text.data(), text.size(), out.data(), true, c);
    return out;
}

// Reads `file` and checks that the reading writes the file back byte for byte.
UnicodeReading ReadBack(const Bytes& file) {
    const UnicodeReading r = ReadUnicodeFile(file.data(), file.size());
    EXPECT_EQ(UnicodeRefusalText(r).empty(), r.refusal == UnicodeRefusal::None);
    if (r.encoding == FileEncoding::Bytes) return r;
    EXPECT_EQ(Encoded(r.encoding, r.codePage, r.text, &r.foreign), file);
    return r;
}

std::string ReadSource(const char* name) {
    std::ifstream in(std::string(LORK2_SOURCE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Russian texts of each display code page, in every encoding, with LF and
// CR LF line ends: each is read into the first code page that holds it (as
// lork2-text converts it without a substitute), each writes itself back, and
// the text read from one encoding writes the file of every other one.
TEST(UnicodeFile, RussianTextsComeBackByteForByteInEveryEncoding) {
    std::vector<Bytes> texts = {
        Of(u8"Съешь же ещё этих мягких французских булок, да выпей чаю.\r\n«Ёлка» — №\u00A05, "
           u8"цена 10\u00A0€,\tмяг\u00ADкий знак\r\n\r\nКонец абзаца.\n"),
        Of(u8"╔═════╗\r\n║ Итог ║ ░▒▓ √ ∙ 20°\r\n╚═════╝\r\nЁжик в тумане\n"),
        Of(u8"Температура ≈ 20°, давление ≤ 760 ⌠ мм ⌡ ÷ 2²\nЪ ъ Ё ё ┼ ▀\n"),
        Of(u8"Ёлка\u0098 мяг\u00ADкий\x01\x1F\x7F\r\n"),
    };
    for (const char* name : {"resources/search.rc", "packaging/README.txt", "resources/dialogs.rc", "core/app/command_list.h"})
        texts.push_back(Of(ReadSource(name)));
    const int expectedCodePages[] = {kCodePageAnsi, kCodePageOem, kCodePageKoi8, kCodePageAnsi};
    for (std::size_t t = 0; t < texts.size(); ++t) {
        SCOPED_TRACE(t);
        ASSERT_GT(texts[t].size(), 8u);
        int cp = 0;
        while (cp < kDisplayCodePageCount && Utf8ToCodePage(cp, texts[t].data(), texts[t].size()).substitutes) ++cp;
        ASSERT_LT(cp, kDisplayCodePageCount);
        if (t < std::size(expectedCodePages)) {
            EXPECT_EQ(cp, expectedCodePages[t]);
        }
        const Bytes shown = Utf8ToCodePage(cp, texts[t].data(), texts[t].size()).bytes;
        for (FileEncoding e : kUnicode) {
            SCOPED_TRACE(FileEncodingName(e));
            const Bytes file = FileOf(e, Chars(texts[t]));
            const UnicodeReading r = ReadBack(file);
            EXPECT_EQ(r.encoding, e);
            Bytes pieces;
            for (std::size_t at = 0; at < shown.size(); at += 5) {
                const std::size_t k = std::min<std::size_t>(5, shown.size() - at);
                Bytes piece(EncodedUnicodeSize(e, cp, shown.data() + at, k, at == 0));
                EncodeUnicodeFileInto(e, cp, shown.data() + at, k, piece.data(), at == 0);
                pieces.insert(pieces.end(), piece.begin(), piece.end());
            }
            EXPECT_EQ(pieces, file);
            EXPECT_EQ(r.codePage, cp);
            EXPECT_EQ(r.text, shown);
            for (FileEncoding other : kUnicode)
                EXPECT_EQ(Encoded(other, cp, shown), FileOf(other, Chars(texts[t])));
        }
        EXPECT_EQ(Encoded(FileEncoding::Bytes, cp, shown), shown);
    }
}

// Every character of the BMP and a few beyond, alone in a file of each
// encoding: one that a display code page holds is read into its byte there
// (its own, not the character shown for another) and written back the same;
// any other, the characters only shown for a byte, and the stand-ins' own
// characters are foreign units of 1251.
TEST(UnicodeFile, EveryCharacterIsHeldExactlyOrForeign) {
    std::vector<int> first(0x110000, kDisplayCodePageCount);
    for (int cp = kDisplayCodePageCount - 1; cp >= 0; --cp)
        for (int b = 0; b < 256; ++b) first[CodePageChar(cp, static_cast<unsigned char>(b))] = cp;
    std::vector<unsigned> all = {0x10000, 0x1F600, 0x10FFFF};
    for (unsigned c = 0; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) all.push_back(c);
    for (unsigned c : all) {
        const int held = first[c];
        for (FileEncoding e : kUnicode) {
            // U+FEFF first in UTF-8 is the mark.
            if (c == 0xFEFF && e == FileEncoding::Utf8) continue;
            const UnicodeReading r = ReadBack(FileOf(e, std::u32string(1, static_cast<char32_t>(c)) + U"ж"));
            ASSERT_EQ(r.encoding, e) << std::hex << c;
            if (held == kDisplayCodePageCount || c == kForeignByte || c == kForeignMarkByte) {
                ASSERT_EQ(r.codePage, kCodePageAnsi);
                ASSERT_EQ(r.foreign.size(), c > 0xFFFF ? 2u : 1u) << std::hex << c;
                EXPECT_TRUE(IsForeignByte(r.text.at(0)));
            } else {
                ASSERT_EQ(r.codePage, held);
                EXPECT_TRUE(r.foreign.empty());
                EXPECT_EQ(static_cast<unsigned>(CodePageChar(held, r.text.at(0))), c);
            }
        }
    }
}

// The control's units of `chars`, as UTF-16 LE writes them.
std::u16string UnitsOf(const std::u32string& chars) {
    const Bytes file = FileOf(FileEncoding::Utf16Le, chars);
    std::u16string units;
    for (std::size_t i = 2; i < file.size(); i += 2) units += static_cast<char16_t>(file[i] | file[i + 1] << 8);
    return units;
}

// A reading with foreign units: its text joined with them is the control's
// units and splits back into them; it writes the file in pieces of every
// small length through one cursor; recoded into any display code page it
// writes the same file, and recoded back it is itself again.
void CheckForeignRoundTrips(const UnicodeReading& r, const Bytes& file, const std::u16string& units) {
    const FileEncoding e = r.encoding;
    ForeignCursor cursor{r.foreign.data(), r.foreign.size()};
    std::u16string joined(r.text.size(), u'\0');
    JoinUnicodeUnits(r.codePage, r.text.data(), r.text.size(), cursor, joined.data());
    ASSERT_EQ(joined, units);
    Bytes split(units.size());
    ForeignUnits foreign;
    SplitUnicodeUnits(r.codePage, units.data(), units.size(), split.data(), foreign);
    EXPECT_EQ(split, r.text);
    EXPECT_EQ(foreign, r.foreign);

    for (std::size_t k = 1; k <= 9; ++k) {
        ForeignCursor c{r.foreign.data(), r.foreign.size()};
        Bytes pieces;
        for (std::size_t at = 0; at < r.text.size(); at += k) {
            const std::size_t m = std::min(k, r.text.size() - at);
            Bytes piece(EncodedUnicodeSize(e, r.codePage, r.text.data() + at, m, at == 0, &c));
            EncodeUnicodeFileInto(e, r.codePage, r.text.data() + at, m, piece.data(), at == 0, &c);
            pieces.insert(pieces.end(), piece.begin(), piece.end());
        }
        ASSERT_EQ(pieces, file) << k;
    }
    for (int to = 0; to < kDisplayCodePageCount; ++to) {
        Bytes there, back;
        ForeignUnits thereUnits, backUnits;
        RecodeWithForeign(r.codePage, r.text.data(), r.text.size(), r.foreign, to, there, thereUnits);
        EXPECT_EQ(Encoded(e, to, there, &thereUnits), file) << to;
        RecodeWithForeign(to, there.data(), there.size(), thereUnits, r.codePage, back, backUnits);
        EXPECT_EQ(back, r.text);
        EXPECT_EQ(backUnits, r.foreign);
    }
}

// Russian texts with characters no display code page holds together with
// the rest, in every encoding: each is read into the code page that holds
// the most of its characters, with a stand-in for each foreign unit; it is
// the control's very units, written back whole or in pieces of any length
// through one cursor it gives the file's bytes, and it reads the same
// recoded into every display code page and back.
TEST(UnicodeFile, TextsWithForeignCharactersComeBackByteForByte) {
    const char8_t* texts[] = {
        u8"Mañana — встреча в «Café Müller», потом в Łódź.\r\nЭто за\u0301мок, а не замо\u0301к.\n",
        u8"😀 Цена 100 ₽ → 2 × 50 ≈ 10² ✓ и всё 🎉",
        u8"中文文本，全部是中文。",
        u8"Ελληνικά κείμενα, όλα ελληνικά",
        u8"\u0301Начало строки\r\n\u0300и после\n\u0483\u20DD конца\u200D\uFE0F",
        u8"╔══╗ Café ║ ╚══╝ ░▒▓ ≤ ≥ ⌠ ⌡ ÷",
        u8"╔══╗ Café ║ Їжак, Єва і № 5 ╚══╝",
        u8"Стрелка \x1A и \x1C, ёлка 👍🏽",
    };
    std::u32string held[kDisplayCodePageCount];
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp)
        for (int b = 0; b < 256; ++b) held[cp] += CodePageChar(cp, static_cast<unsigned char>(b));
    const auto holds = [&](int cp, char32_t c) { return held[cp].find(c) != std::u32string::npos; };
    unsigned chosen = 0;
    for (const char8_t* t : texts) {
        const std::u32string chars = Chars(Of(t));
        const std::u16string units = UnitsOf(chars);
        std::size_t count[kDisplayCodePageCount] = {};
        for (char32_t c : chars)
            for (int cp = 0; cp < kDisplayCodePageCount; ++cp) count[cp] += holds(cp, c);
        const int most = static_cast<int>(std::max_element(count, count + kDisplayCodePageCount) - count);
        chosen |= 1u << most;
        for (FileEncoding e : kUnicode) {
            SCOPED_TRACE(std::string(reinterpret_cast<const char*>(t)) + " " + FileEncodingName(e));
            const Bytes file = FileOf(e, chars);
            const UnicodeReading r = ReadBack(file);
            ASSERT_EQ(r.encoding, e);
            ASSERT_EQ(r.codePage, most);
            EXPECT_EQ(static_cast<std::size_t>(std::count_if(r.text.begin(), r.text.end(), IsForeignByte)),
                      r.foreign.size());

            CheckForeignRoundTrips(r, file, units);
        }
    }
    EXPECT_EQ(chosen, 7u); // each display code page chosen for some text
}

// What stand-ins write when their units are not as a file gives them: a
// surrogate without its partner is U+FFFD, and a stand-in with no unit left
// its own character; without a cursor every stand-in is its own character.
TEST(UnicodeFile, StandInsWithoutTheirUnitsStillWriteACharacter) {
    const Bytes text = {'a', kForeignMarkByte, kForeignByte, kForeignByte, kForeignMarkByte, kForeignByte};
    const ForeignUnits foreign = {0xDC00, 0xD83D, 0x00E9, 0xD83D};
    EXPECT_EQ(Encoded(FileEncoding::Utf8, 0, text, &foreign),
              Of(u8"a\uFFFD\uFFFD\u00E9\uFFFD\x1A"));
    EXPECT_EQ(Encoded(FileEncoding::Utf16Be, 0, text, &foreign), FileOf(FileEncoding::Utf16Be, U"a\uFFFD\uFFFD\u00E9\uFFFD\x1A"));
    EXPECT_EQ(Encoded(FileEncoding::Utf8, 0, text), Of("a\x1C\x1A\x1A\x1C\x1A"));
    EXPECT_EQ(CountForeignChars(u"\xD83D\xDE00\xDE00\xD83D\x0301", 5), 4u);
    EXPECT_EQ(ForeignByteOf(u'\u00E9'), kForeignByte);
    EXPECT_EQ(ForeignByteOf(u'\u0301'), kForeignMarkByte);
    EXPECT_EQ(ForeignByteOf(u'\xDE00'), kForeignMarkByte);
}

// The answers for files that only look like Unicode, or are not.
TEST(UnicodeFile, BadInputStaysBytesAndSaysWhy) {
    const std::string ansi = "Привет, мир! Р°д и Рµ"; // 1251, with valid UTF-8 pairs among the rest
    struct Case {
        Bytes file;
        UnicodeRefusal refusal;
        unsigned character;
        std::size_t offset;
    } cases[] = {
        {{}, UnicodeRefusal::None, 0, 0},
        {Of("plain ASCII\r\n"), UnicodeRefusal::None, 0, 0},
        {Of(ansi), UnicodeRefusal::None, 0, 0},
        {{0xFF, 0xFE, 0x3D, 0xD8, 0x41, 0x00}, UnicodeRefusal::Utf16Surrogate, 0xD83D, 2},
        {{0xFE, 0xFF, 0x04, 0x10, 0xDC, 0x00}, UnicodeRefusal::Utf16Surrogate, 0xDC00, 4},
        {{0xFF, 0xFE, 0x10, 0x04, 0x3D, 0xD8}, UnicodeRefusal::Utf16Surrogate, 0xD83D, 4},
        {{0xFF, 0xFE, 0x10}, UnicodeRefusal::Utf16OddLength, 0, 0},
        {{0xEF, 0xBB, 0xBF, 0xD0, 0x9F, 0xC0, 0xAF}, UnicodeRefusal::Utf8AfterMark, 0xC0, 5},
        {Of(u8"Привет \xC0\x80"), UnicodeRefusal::None, 0, 0},          // overlong
        {Of(u8"Привет \xE0\x80\x80"), UnicodeRefusal::None, 0, 0},      // overlong
        {Of(u8"Привет \xED\xA0\x80"), UnicodeRefusal::None, 0, 0},      // surrogate
        {Of(u8"Привет \xF4\x90\x80\x80"), UnicodeRefusal::None, 0, 0},  // above U+10FFFF
        {Of(u8"Привет \xD0"), UnicodeRefusal::None, 0, 0},              // cut
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file.begin(), c.file.end()));
        const UnicodeReading r = ReadBack(c.file);
        EXPECT_EQ(r.encoding, FileEncoding::Bytes);
        EXPECT_EQ(r.refusal, c.refusal);
        EXPECT_EQ(static_cast<unsigned>(r.character), c.character);
        EXPECT_EQ(r.offset, c.offset);
    }

    // A mark alone, or a mark before ASCII, is a Unicode document; saving
    // it writes the mark again.
    const struct { Bytes file; FileEncoding encoding; } marked[] = {{{0xEF, 0xBB, 0xBF}, FileEncoding::Utf8Bom},
                  {{0xFF, 0xFE}, FileEncoding::Utf16Le},
                  {{0xFE, 0xFF}, FileEncoding::Utf16Be},
                  {{0xEF, 0xBB, 0xBF, 'a', '\r', '\n'}, FileEncoding::Utf8Bom}};
    for (const auto& m : marked) {
        const UnicodeReading r = ReadBack(m.file);
        EXPECT_EQ(r.encoding, m.encoding);
        EXPECT_EQ(r.codePage, kCodePageAnsi);
        EXPECT_EQ(r.text.size(), m.file.size() == 6 ? 3u : 0u);
    }
}

} // namespace
