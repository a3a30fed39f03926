#include "core/charset/tables.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

unsigned char Entry(int table, int byte) { return kCodePageTables[table * 128 + (byte - 0x80)]; }

// Substitutions for characters the target code page lacks: target byte ->
// source bytes.
using Substitutions = std::map<unsigned char, std::vector<int>>;

std::map<int, unsigned char> Flatten(const Substitutions& s) {
    std::map<int, unsigned char> out;
    for (const auto& [to, from] : s)
        for (int b : from) out[b] = to;
    return out;
}

const std::map<int, unsigned char>& OemToAnsiSubstitutes() {
    static const auto m = Flatten({
        {0x2D, {0xB0, 0xB1, 0xB2, 0xBC, 0xBD, 0xBE, 0xC4, 0xD5, 0xD9, 0xDA, 0xDB, 0xDC, 0xDF}},
        {0xA6, {0xB3, 0xB5, 0xB6, 0xB9, 0xBA, 0xC6, 0xC7, 0xCA, 0xCC, 0xCF, 0xD0, 0xDD, 0xDE, 0xFE}},
        {0x2B, {0xB4, 0xC1, 0xC3, 0xC5, 0xCE, 0xD7, 0xD8}},
        {0xAC, {0xB7, 0xB8, 0xBB, 0xBF}},
        {0x4C, {0xC0, 0xC8, 0xD3, 0xD4}},
        {0x54, {0xC2, 0xCB, 0xD1, 0xD2}},
        {0xE3, {0xC9, 0xD6}},
        {0x3D, {0xCD}},
        {0x95, {0xF9}},
        {0x76, {0xFB}},
    });
    return m;
}

const std::map<int, unsigned char>& AnsiToOemSubstitutes() {
    static const auto m = Flatten({
        {0x3F, {0x80, 0x81, 0x83, 0x88, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xA3,
                0xA5, 0xB4, 0xBC, 0xBD, 0xBE}},
        {0x27, {0x82, 0x91, 0x92}},
        {0x22, {0x84, 0x93, 0x94}},
        {0x3A, {0x85}},
        {0xC5, {0x86}},
        {0xD8, {0x87}},
        {0x25, {0x89}},
        {0x3C, {0x8B, 0xAB}},
        {0x3E, {0x9B, 0xBB}},
        {0x07, {0x95}},
        {0x15, {0xA7}},
        {0x14, {0xB6}},
        {0x2D, {0x96, 0x97, 0xAD}},
        {0x54, {0x99}},
        {0xB3, {0xA6}},
        {0x63, {0xA9}},
        {0xBF, {0xAC}},
        {0x52, {0xAE}},
        {0x2B, {0xB1}},
        {0x49, {0xB2}},
        {0x69, {0xB3}},
        {0xE7, {0xB5}},
    });
    return m;
}

const std::map<int, unsigned char> kOemToKoi8Substitutes = {
    {0xF2, 'E'}, {0xF3, 'e'}, {0xF4, 'I'}, {0xF5, 'i'}, {0xF6, 'Y'}, {0xF7, 'y'}, {0xFC, 'N'}, {0xFD, 0xBF}};
const std::map<int, unsigned char> kKoi8ToOemSubstitutes = {
    {0x93, 0xB3}, {0x9B, 0xB3}, {0x97, 0xCD}, {0x98, '<'}, {0x99, '>'}, {0x9D, 0xF8}, {0x9F, ':'}, {0xBF, 0xFD}};

TEST(CodePageTables, SubstitutionListsHaveTheDocumentedSizes) {
    EXPECT_EQ(OemToAnsiSubstitutes().size(), 51u);
    EXPECT_EQ(AnsiToOemSubstitutes().size(), 51u);
}

TEST(CodePageTables, PivotRuleIndexLists) {
    EXPECT_EQ(ToOemTable[kCodePageAnsi], 1);
    EXPECT_EQ(ToOemTable[kCodePageOem], -1);
    EXPECT_EQ(ToOemTable[kCodePageKoi8], 3);
    EXPECT_EQ(ToOemTable[kCodePageIso], 7);
    EXPECT_EQ(ToOemTable[kCodePageMac], 5);
    EXPECT_EQ(FromOemTable[kCodePageAnsi], 0);
    EXPECT_EQ(FromOemTable[kCodePageOem], -1);
    EXPECT_EQ(FromOemTable[kCodePageKoi8], 2);
    EXPECT_EQ(FromOemTable[kCodePageIso], 6);
    EXPECT_EQ(FromOemTable[kCodePageMac], 4);
    EXPECT_EQ(CodePageTableEntries(3), kCodePageTables + 3 * 128);
    EXPECT_EQ(CodePageTableEntries(9), nullptr);
    EXPECT_EQ(CodePageTableEntries(-1), nullptr);
}

#ifndef _WIN32
// Converts one byte with glibc; -1 when the target has no such character.
int IconvByte(const char* from, const char* to, unsigned char byte) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return -2;
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || outLeft != sizeof out - 1) return -1;
    return static_cast<unsigned char>(out[0]);
}

void CheckAgainstIconv(int table, const char* from, const char* to, const std::map<int, unsigned char>& subs) {
    ASSERT_GE(IconvByte(from, to, 'A'), 0) << "iconv lacks " << from << " or " << to;
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(testing::Message() << from << " -> " << to << " byte 0x" << std::hex << b);
        const int expected = IconvByte(from, to, static_cast<unsigned char>(b));
        const auto sub = subs.find(b);
        if (sub != subs.end()) {
            EXPECT_EQ(expected, -1) << "listed as a substitute, yet the target has the character";
            EXPECT_EQ(Entry(table, b), sub->second);
        } else {
            EXPECT_EQ(Entry(table, b), expected);
        }
    }
}

TEST(CodePageTables, OemToAnsiMatchesIconvAndSubstitutes) {
    CheckAgainstIconv(0, "CP866", "CP1251", OemToAnsiSubstitutes());
}
TEST(CodePageTables, AnsiToOemMatchesIconvAndSubstitutes) {
    CheckAgainstIconv(1, "CP1251", "CP866", AnsiToOemSubstitutes());
}
TEST(CodePageTables, OemToKoi8MatchesIconvAndSubstitutes) {
    CheckAgainstIconv(2, "CP866", "KOI8-R", kOemToKoi8Substitutes);
}
TEST(CodePageTables, Koi8ToOemMatchesIconvAndSubstitutes) {
    CheckAgainstIconv(3, "KOI8-R", "CP866", kKoi8ToOemSubstitutes);
}
#endif

// Tables 4-7 map only the listed bytes and keep every other byte.
void CheckListed(int table, const std::map<int, int>& listed) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(testing::Message() << "table " << table << " byte 0x" << std::hex << b);
        const auto it = listed.find(b);
        EXPECT_EQ(Entry(table, b), it == listed.end() ? b : it->second);
    }
}

std::map<int, int> Ranges(std::initializer_list<std::pair<std::pair<int, int>, int>> ranges,
                          std::initializer_list<std::pair<int, int>> singles) {
    std::map<int, int> m;
    for (const auto& [range, to] : ranges)
        for (int b = range.first; b <= range.second; ++b) m[b] = to + (b - range.first);
    for (const auto& [b, to] : singles) m[b] = to;
    return m;
}

TEST(CodePageTables, OemToMacMapsOnlyLettersNumeroAndNoBreakSpace) {
    CheckListed(4, Ranges({{{0x80, 0x9F}, 0x80}, {{0xA0, 0xAF}, 0xE0}, {{0xE0, 0xEE}, 0xF0}},
                          {{0xEF, 0xDF}, {0xF0, 0xDD}, {0xF1, 0xDE}, {0xFC, 0xDC}, {0xFF, 0xCA}}));
}

TEST(CodePageTables, MacToOemMapsLettersAndZeroesGuillemetsAndDashes) {
    CheckListed(5, Ranges({{{0x80, 0x9F}, 0x80}, {{0xE0, 0xEF}, 0xA0}, {{0xF0, 0xFE}, 0xE0}},
                          {{0xDF, 0xEF}, {0xDD, 0xF0}, {0xDE, 0xF1}, {0xDC, 0xFC}, {0xCA, 0xFF},
                           {0xC7, 0x00}, {0xC8, 0x00}, {0xD0, 0x00}, {0xD1, 0x00}}));
}

TEST(CodePageTables, OemToIsoAndBackMapOnlyLettersNumeroAndNoBreakSpace) {
    CheckListed(6, Ranges({{{0x80, 0xAF}, 0xB0}, {{0xE0, 0xEF}, 0xE0}},
                          {{0xF0, 0xA1}, {0xF1, 0xF1}, {0xFC, 0xF0}, {0xFF, 0xA0}}));
    CheckListed(7, Ranges({{{0xB0, 0xDF}, 0x80}, {{0xE0, 0xEF}, 0xE0}},
                          {{0xA1, 0xF0}, {0xF1, 0xF1}, {0xF0, 0xFC}, {0xA0, 0xFF}}));
}

TEST(CodePageTables, TransliterationFirstLetters) {
    const char* capitals = "ABVGDEZZIYKLMNOPRSTUFHCCSS'I'EII";
    const char* smalls = "abvgdezziyklmnoprstufhccss'y'eii";
    std::map<int, int> listed;
    for (int i = 0; i < 32; ++i) {
        listed[0x80 + i] = capitals[i];
        listed[i < 16 ? 0xA0 + i : 0xE0 + i - 16] = smalls[i];
    }
    listed[0xF0] = 'E';
    listed[0xF1] = 'e';
    CheckListed(8, listed);
}

#ifndef _WIN32
// Letters of CP866 that the other code page also has come back unchanged.
TEST(CodePageTables, RoundTripThroughEveryCodePageKeepsSharedLetters) {
    const std::set<int> isoMacLetters = [] {
        std::set<int> s;
        for (int b = 0x80; b <= 0xAF; ++b) s.insert(b);
        for (int b = 0xE0; b <= 0xF1; ++b) s.insert(b);
        s.insert(0xFC);
        s.insert(0xFF);
        return s;
    }();
    for (int cp = 0; cp < kCodePageCount; ++cp) {
        if (cp == kCodePageOem) continue;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const unsigned char there = Entry(FromOemTable[cp], b);
            const int back = there >= 0x80 ? Entry(ToOemTable[cp], there) : there;
            bool shared;
            if (cp == kCodePageAnsi) shared = IconvByte("CP866", "CP1251", static_cast<unsigned char>(b)) >= 0;
            else if (cp == kCodePageKoi8) shared = IconvByte("CP866", "KOI8-R", static_cast<unsigned char>(b)) >= 0;
            else shared = isoMacLetters.count(b) > 0;
            if (shared) {
                EXPECT_EQ(back, b) << "code page " << cp << " byte 0x" << std::hex << b;
            }
        }
    }
}
#endif

} // namespace
